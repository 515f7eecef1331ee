#include "text_box.h"

#include "utf8.h"
#include "text_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTextBlock>
#include <QTextCursor>
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
    return utf8_of(raw);
}

}  // namespace

QtTextBox::QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QWidget(parent), name, index, {}),
      m_stack(new QStackedLayout(widget())),
      m_view(new TextView(widget()))
{
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_view);
    widget()->setFocusProxy(m_view);
    m_view->show_text(&m_text);
    m_view->on_edit = [this](QEvent* event) {
        start_editing();
        // The click or key that asked to edit goes on to the editor.
        if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
            QMouseEvent press(mouse->type(), mouse->position(), mouse->scenePosition(),
                              mouse->globalPosition(), mouse->button(), mouse->buttons(),
                              mouse->modifiers());
            QApplication::sendEvent(m_edit->viewport(), &press);
        } else {
            QApplication::sendEvent(m_edit, event);
        }
    };
}

void QtTextBox::start_editing()
{
    if (!m_edit) {
        m_edit = new QPlainTextEdit(widget());
        m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_edit->setAccessibleName(widget()->accessibleName());
        m_stack->addWidget(m_edit);
        QObject::connect(m_edit->document(), &QTextDocument::contentsChanged, m_edit,
                         [this] { m_edited = true; });
    }
    int first_line = m_view->first_visible_line();
    m_stack->setCurrentWidget(m_edit);
    widget()->setFocusProxy(m_edit);
    // Built while on screen, so the scroll range is known at once and the
    // editor opens at the lines the user was looking at.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_edit->setPlainText(qt_text(m_text));
    QApplication::restoreOverrideCursor();
    m_edited = false;
    // A key typed before there was a caret acts at the top line in view.
    m_edit->setTextCursor(QTextCursor(m_edit->document()->findBlockByNumber(first_line)));
    m_edit->verticalScrollBar()->setValue(first_line);
    m_edit->setFocus();
}

std::string QtTextBox::text() const
{
    if (m_edit && m_edited && m_stack->currentWidget() == m_edit)
        return text_from_document(*m_edit->document());
    return m_text;
}

void QtTextBox::set_text(std::string text)
{
    m_text = std::move(text);
    bool had_focus = widget()->isAncestorOf(QApplication::focusWidget());
    m_view->show_text(&m_text);
    m_stack->setCurrentWidget(m_view);
    widget()->setFocusProxy(m_view);
    if (m_edit) {
        // The old document would only hold memory; a new one is built when
        // the user edits again.
        m_edit->clear();
        m_edited = false;
    }
    if (had_focus)
        m_view->setFocus();
}

void QtTextBox::set_spoken_name(std::string_view name)
{
    QtControl::set_spoken_name(name);
    m_view->setAccessibleName(widget()->accessibleName());
    if (m_edit)
        m_edit->setAccessibleName(widget()->accessibleName());
}

std::span<const Property> QtTextBox::own_properties() const { return text_box_properties; }

}  // namespace toolkit
