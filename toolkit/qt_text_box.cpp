#include "toolkit/qt_text_box.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace toolkit {

namespace {

constexpr Property text_box_properties[] = {
    {prop::Text, get_via<&QtTextBox::text>, set_via<&QtTextBox::set_text>},
};

// The document's raw text marks paragraph and line breaks with U+2029 and
// U+2028; the text box's own line break is a carriage return. Raw text also
// keeps the no-break spaces that toPlainText() would flatten.
std::string text_from_document(const QTextDocument& document)
{
    QString raw = document.toRawText();
    raw.replace(QChar::ParagraphSeparator, QChar::CarriageReturn);
    raw.replace(QChar::LineSeparator, QChar::CarriageReturn);
    return raw.toStdString();
}

}  // namespace

QtTextBox::QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QPlainTextEdit(parent), name, index),
      m_edit(static_cast<QPlainTextEdit*>(widget()))
{
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QObject::connect(m_edit->document(), &QTextDocument::contentsChanged, m_edit, [this] {
        if (!m_writing)
            m_edited = true;
    });
}

std::string QtTextBox::text() const
{
    return m_edited ? text_from_document(*m_edit->document()) : m_text;
}

void QtTextBox::set_text(std::string text)
{
    m_text = std::move(text);
    m_edited = false;
    m_writing = true;
    m_edit->setPlainText(QString::fromUtf8(m_text.data(), static_cast<qsizetype>(m_text.size())));
    m_writing = false;
}

std::span<const Property> QtTextBox::own_properties() const { return text_box_properties; }

bool QtTextBox::raises(Event) const { return false; }

}  // namespace toolkit
