#include "toolkit/qt/controls/qt_label.h"

#include "toolkit/qt/controls/readable.h"
#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace toolkit {

namespace {

// A label that reports pointer moves over itself and clicks.
class EventLabel final : public QLabel {
public:
    explicit EventLabel(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }
    std::function<void()> on_move;
    std::function<void()> on_click;
    std::function<void()> on_palette;
    bool is_link = false;

protected:
    // A theme changed: the colour asked for may no longer stand out.
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::PaletteChange && on_palette)
            on_palette();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (on_move)
            on_move();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            on_click)
            on_click();
        event->accept();
    }
    // A link is followed from the keyboard as from a button.
    void keyPressEvent(QKeyEvent* event) override
    {
        bool follows = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
            event->key() == Qt::Key_Space;
        if (!is_link || !follows || event->modifiers() & ~Qt::KeypadModifier) {
            QLabel::keyPressEvent(event);
            return;
        }
        if (on_click)
            on_click();
        event->accept();
    }
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QStylePainter painter(this);
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = contentsRect();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }
};

// Our labels' face to assistive technology: a link while it answers clicks
// (known only once the program connects them), plain text otherwise.
class LabelAccessible final : public QAccessibleWidget {
public:
    explicit LabelAccessible(EventLabel* label) : QAccessibleWidget(label), m_label(label) { }
    QAccessible::Role role() const override
    {
        return m_label->is_link ? QAccessible::Link : QAccessible::StaticText;
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && m_label->accessibleName().isEmpty())
            return m_label->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override
    {
        if (!m_label->is_link)
            return QAccessibleWidget::actionNames();
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && m_label->is_link && m_label->on_click)
            m_label->on_click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    EventLabel* m_label;
};

QAccessibleInterface* label_accessible(const QString&, QObject* object)
{
    auto* label = dynamic_cast<EventLabel*>(object);
    return label ? new LabelAccessible(label) : nullptr;
}

constexpr Property label_properties[] = {
    {prop::Caption, get_via<&QtLabel::caption>, set_via<&QtLabel::set_caption>},
    {prop::ForeColor, get_via<&QtLabel::fore_color>, set_via<&QtLabel::set_fore_color>},
    {prop::FontUnderline, get_via<&QtLabel::font_underline>, set_via<&QtLabel::set_font_underline>},
};

// A 0xBBGGRR color, or a system color by number, as the desktop draws it.
std::optional<QColor> qt_color(std::int32_t value)
{
    if ((value & color::SystemFlag) == 0) {
        if (value > 0xFFFFFF)
            return std::nullopt;
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    }
    switch (value) {
    case color::MenuText: return QApplication::palette("QMenu").color(QPalette::WindowText);
    case color::ButtonText: return QApplication::palette().color(QPalette::ButtonText);
    default: return std::nullopt;
    }
}

}  // namespace

QtLabel::QtLabel(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new EventLabel(parent), name, index, {Event::MouseMove, Event::Click}),
      m_label(static_cast<QLabel*>(widget()))
{
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label->setTextFormat(Qt::PlainText);
    auto* label = static_cast<EventLabel*>(m_label);
    label->on_move = [this] { dispatch(handler(Event::MouseMove)); };
    label->on_click = [this] { act(Event::Click); };
    label->on_palette = [this] { show_fore_color(); };
    install_accessible_factory<label_accessible>();
}

void QtLabel::on(Event event, Handler handler, Turn turn)
{
    QtControl::on(event, std::move(handler), turn);
    if (event == Event::Click) {
        static_cast<EventLabel*>(m_label)->is_link = true;
        m_label->setFocusPolicy(Qt::StrongFocus);
    }
}

std::string QtLabel::caption() const { return utf8_of(m_label->text()); }

void QtLabel::set_caption(std::string caption) { m_label->setText(qt_text(caption)); }

void QtLabel::set_fore_color(std::int32_t value)
{
    if (!qt_color(value))
        fail_value(*this, prop::ForeColor);
    m_fore_color = value;
    show_fore_color();
}

// The colour is read back as it was set; only its drawing gives way to a
// theme in which it would not stand out from the window.
void QtLabel::show_fore_color()
{
    std::optional<QColor> wanted = qt_color(m_fore_color);
    if (!wanted)
        return;
    QPalette palette = m_label->palette();
    QColor shown = readable_on(*wanted, palette);
    if (palette.color(QPalette::WindowText) == shown)
        return;
    palette.setColor(QPalette::WindowText, shown);
    m_label->setPalette(palette);
}

bool QtLabel::font_underline() const { return m_label->font().underline(); }

void QtLabel::set_font_underline(bool underline)
{
    QFont font = m_label->font();
    font.setUnderline(underline);
    m_label->setFont(font);
}

std::span<const Property> QtLabel::own_properties() const { return label_properties; }

}  // namespace toolkit
