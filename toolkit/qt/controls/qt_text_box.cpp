#include "toolkit/qt/controls/qt_text_box.h"

#include "toolkit/qt/controls/text_view.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
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

// The document marks paragraph and line breaks with U+2029 and U+2028; the
// text box's own line break is a carriage return.
QString with_own_breaks(QString text)
{
    text.replace(QChar::ParagraphSeparator, QChar::CarriageReturn);
    text.replace(QChar::LineSeparator, QChar::CarriageReturn);
    return text;
}

// Raw text also keeps the no-break spaces that toPlainText() would flatten.
std::string text_from_document(const QTextDocument& document)
{
    return utf8_of(with_own_breaks(document.toRawText()));
}

// The editor the box turns into. Tab leaves it, as it leaves every other
// control; what Ctrl+C or a drag takes out keeps the box's own line break.
class NamesEditor final : public QPlainTextEdit {
public:
    explicit NamesEditor(QWidget* parent) : QPlainTextEdit(parent)
    {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setTabChangesFocus(true);
    }

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        auto* data = new QMimeData;
        data->setText(with_own_breaks(textCursor().selectedText()));
        return data;
    }
};

}  // namespace

QtTextBox::QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QWidget(parent), name, index, {}), m_stack(new QStackedLayout(widget())),
      m_view(new TextView(widget()))
{
    m_stack->setContentsMargins(0, 0, 0, 0);
    // In the keyboard order itself, though the focus goes on to what it shows.
    widget()->setFocusPolicy(Qt::StrongFocus);
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
        m_edit = new NamesEditor(widget());
        m_edit->setAccessibleName(m_spoken_name);
        m_stack->addWidget(m_edit);
        // Where the view is in the keyboard order; the one hidden is skipped.
        // Its viewport must not stand for it elsewhere in the order.
        QWidget::setTabOrder(m_view, m_edit);
        m_edit->viewport()->setFocusProxy(nullptr);
        QObject::connect(m_edit->document(), &QTextDocument::contentsChanged, m_edit,
                         [this] { m_edited = true; });
    }
    int first_line = m_view->first_visible_line();
    std::size_t caret_line = m_view->caret_line();
    int caret_column = m_view->caret_column();
    m_stack->setCurrentWidget(m_edit);
    widget()->setFocusProxy(m_edit);
    // Built while on screen, so the scroll range is known at once and the
    // editor opens at the lines the user was looking at.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_edit->setPlainText(qt_text(m_text));
    QApplication::restoreOverrideCursor();
    m_edited = false;
    // The key that asked to edit acts where the view's caret was.
    QTextBlock block = m_edit->document()->findBlockByNumber(static_cast<int>(caret_line));
    QTextCursor caret(block);
    caret.setPosition(block.position() + std::min(caret_column, block.length() - 1));
    m_edit->verticalScrollBar()->setValue(first_line);
    m_edit->setTextCursor(caret);
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
    // A listener hears what went and what came; the strings are built only
    // when one listens.
    QString removed =
        QAccessible::isActive() ? m_view->text_between(0, m_view->character_count()) : QString();
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
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(m_view, 0, removed,
                                           m_view->text_between(0, m_view->character_count()));
        QAccessible::updateAccessibility(&changed);
    }
}

void QtTextBox::set_spoken_name(std::string_view name)
{
    // Only the text is named: a frame of the same name around it would be
    // spoken twice on the way in.
    m_spoken_name = qt_text(name);
    m_view->setAccessibleName(m_spoken_name);
    if (m_edit)
        m_edit->setAccessibleName(m_spoken_name);
}

std::span<const Property> QtTextBox::own_properties() const { return text_box_properties; }

}  // namespace toolkit
