#include "toolkit/qt_simple_controls.h"

#include "toolkit/qt_dispatch.h"
#include "toolkit/qt_units.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace toolkit {

namespace {

QString qt_text(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label that reports pointer moves over itself and clicks. One that
// answers clicks is a link to assistive technology.
class EventLabel final : public QLabel {
public:
    explicit EventLabel(QWidget* parent) : QLabel(parent) { setMouseTracking(true); }
    std::function<void()> on_move;
    std::function<void()> on_click;
    bool is_link = false;

protected:
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
};

// Our labels' face to assistive technology: a link while it answers clicks
// (known only once the program connects them), plain text otherwise.
class LabelAccessible final : public QAccessibleWidget {
public:
    explicit LabelAccessible(EventLabel* label) : QAccessibleWidget(label), m_label(label) {}
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

private:
    EventLabel* m_label;
};

QAccessibleInterface* label_accessible(const QString&, QObject* object)
{
    auto* label = dynamic_cast<EventLabel*>(object);
    return label ? new LabelAccessible(label) : nullptr;
}

class LineWidget final : public QWidget {
public:
    explicit LineWidget(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QPoint from_px;
    QPoint to_px;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawLine(from_px - pos(), to_px - pos());
    }
};

constexpr Property button_properties[] = {
    {prop::Caption, get_via<&QtButton::caption>, set_via<&QtButton::set_caption>},
};

constexpr Property label_properties[] = {
    {prop::Caption, get_via<&QtLabel::caption>, set_via<&QtLabel::set_caption>},
    {prop::ForeColor, get_via<&QtLabel::fore_color>, set_via<&QtLabel::set_fore_color>},
    {prop::FontUnderline, get_via<&QtLabel::font_underline>,
     set_via<&QtLabel::set_font_underline>},
};

// A 0xBBGGRR colour, or a system colour by number, as the desktop draws it.
std::optional<QColor> qt_colour(std::int32_t colour)
{
    if ((colour & colour::SystemFlag) == 0) {
        if (colour > 0xFFFFFF)
            return std::nullopt;
        return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
    switch (colour) {
    case colour::MenuText: return QApplication::palette("QMenu").color(QPalette::WindowText);
    case colour::WindowText: return QApplication::palette().color(QPalette::Text);
    case colour::ButtonText: return QApplication::palette().color(QPalette::ButtonText);
    default: return std::nullopt;
    }
}

constexpr Property line_properties[] = {
    {prop::X1, get_via<&QtLine::x1>, set_via<&QtLine::set_x1>},
    {prop::Y1, get_via<&QtLine::y1>, set_via<&QtLine::set_y1>},
    {prop::X2, get_via<&QtLine::x2>, set_via<&QtLine::set_x2>},
    {prop::Y2, get_via<&QtLine::y2>, set_via<&QtLine::set_y2>},
};

}  // namespace

QtButton::QtButton(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QPushButton(parent), name, index), m_button(static_cast<QPushButton*>(widget()))
{
    QObject::connect(m_button, &QPushButton::clicked, m_button,
                     [this] { dispatch(handler(Event::Click)); });
}

std::string QtButton::caption() const { return m_button->text().toStdString(); }

void QtButton::set_caption(std::string caption) { m_button->setText(qt_text(caption)); }

std::span<const Property> QtButton::own_properties() const { return button_properties; }

bool QtButton::raises(Event event) const { return event == Event::Click; }

QtLabel::QtLabel(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new EventLabel(parent), name, index), m_label(static_cast<QLabel*>(widget()))
{
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label->setTextFormat(Qt::PlainText);
    auto* label = static_cast<EventLabel*>(m_label);
    label->on_move = [this] { dispatch(handler(Event::MouseMove)); };
    label->on_click = [this] { dispatch(handler(Event::Click)); };
    static const bool factory_installed = [] {
        QAccessible::installFactory(label_accessible);
        return true;
    }();
    (void)factory_installed;
}

void QtLabel::on(Event event, Handler handler)
{
    QtControl::on(event, std::move(handler));
    if (event == Event::Click)
        static_cast<EventLabel*>(m_label)->is_link = true;
}

std::string QtLabel::caption() const { return m_label->text().toStdString(); }

void QtLabel::set_caption(std::string caption) { m_label->setText(qt_text(caption)); }

void QtLabel::set_fore_color(std::int32_t colour)
{
    std::optional<QColor> shown = qt_colour(colour);
    if (!shown)
        throw Error(name() + ".ForeColor: invalid property value.");
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, *shown);
    m_label->setPalette(palette);
    m_fore_color = colour;
}

bool QtLabel::font_underline() const { return m_label->font().underline(); }

void QtLabel::set_font_underline(bool underline)
{
    QFont font = m_label->font();
    font.setUnderline(underline);
    m_label->setFont(font);
}

std::span<const Property> QtLabel::own_properties() const { return label_properties; }

bool QtLabel::raises(Event event) const
{
    return event == Event::MouseMove || event == Event::Click;
}

QtLine::QtLine(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new LineWidget(parent), name, index)
{
}

void QtLine::set_x1(float twips) { set_ends(twips, m_y1_twips, m_x2_twips, m_y2_twips); }
void QtLine::set_y1(float twips) { set_ends(m_x1_twips, twips, m_x2_twips, m_y2_twips); }
void QtLine::set_x2(float twips) { set_ends(m_x1_twips, m_y1_twips, twips, m_y2_twips); }
void QtLine::set_y2(float twips) { set_ends(m_x1_twips, m_y1_twips, m_x2_twips, twips); }

void QtLine::set_ends(float x1_twips, float y1_twips, float x2_twips, float y2_twips)
{
    for (float twips : {x1_twips, y1_twips, x2_twips, y2_twips})
        if (!std::isfinite(twips))
            throw Error(name() + ": invalid property value.");
    m_x1_twips = x1_twips;
    m_y1_twips = y1_twips;
    m_x2_twips = x2_twips;
    m_y2_twips = y2_twips;
    place();
}

void QtLine::place()
{
    auto* line = static_cast<LineWidget*>(widget());
    line->from_px = {units::px_from_twips(m_x1_twips), units::px_from_twips(m_y1_twips)};
    line->to_px = {units::px_from_twips(m_x2_twips), units::px_from_twips(m_y2_twips)};
    QRect bounds = QRect(line->from_px, line->to_px).normalized();
    line->setGeometry(bounds.adjusted(0, 0, 1, 1));
    line->update();
}

std::span<const Property> QtLine::own_properties() const { return line_properties; }

bool QtLine::raises(Event) const { return false; }

}  // namespace toolkit
