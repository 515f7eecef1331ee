#include "toolkit/qt/core/qt_control.h"

#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/units.h"
#include "toolkit/qt/core/utf8.h"

#include <QWidget>

#include <cmath>

namespace toolkit {

namespace {

// Rows every control shares: who it is, where it is, whether it answers.
constexpr Property shared_properties[] = {
    {prop::Name, get_via<&QtControl::name>, nullptr},
    {prop::Index, get_via<&QtControl::index>, nullptr},
    {prop::Left, get_via<&QtControl::left>, set_via<&QtControl::set_left>},
    {prop::Top, get_via<&QtControl::top>, set_via<&QtControl::set_top>},
    {prop::Width, get_via<&QtControl::width>, set_via<&QtControl::set_width>},
    {prop::Height, get_via<&QtControl::height>, set_via<&QtControl::set_height>},
    {prop::Enabled, get_via<&QtControl::enabled>, set_via<&QtControl::set_enabled>},
};

// Sizes cannot be negative, and a length must be a number.
float checked_size(const QtControl& control, std::string_view name, float twips)
{
    if (std::isnan(twips) || twips < 0)
        fail_value(control, name);
    return twips;
}

float checked_position(const QtControl& control, std::string_view name, float twips)
{
    if (!std::isfinite(twips))
        fail_value(control, name);
    return twips;
}

}  // namespace

QtControl::QtControl(QWidget* widget, std::string_view name, std::optional<std::int32_t> index,
                     std::initializer_list<Event> raised)
    : m_widget(widget), m_name(name), m_index(index), m_events(raised)
{
    m_widget->setObjectName(qt_text(name));
}

// The widget belongs to the window's widget tree, which deletes it.
QtControl::~QtControl() = default;

Value QtControl::get(std::string_view property) const
{
    return get_property(*this, {own_properties(), shared_properties}, property);
}

void QtControl::set(std::string_view property, const Value& value)
{
    set_property(*this, {own_properties(), shared_properties}, property, value);
}

std::int32_t QtControl::index() const
{
    if (!m_index)
        throw Error(m_name + " is not an element of a control array.");
    return *m_index;
}

void QtControl::set_left(float twips)
{
    m_left_twips = checked_position(*this, prop::Left, twips);
    place();
}

void QtControl::set_top(float twips)
{
    m_top_twips = checked_position(*this, prop::Top, twips);
    place();
}

void QtControl::set_width(float twips)
{
    m_width_twips = checked_size(*this, prop::Width, twips);
    place();
}

void QtControl::set_height(float twips)
{
    m_height_twips = checked_size(*this, prop::Height, twips);
    place();
}

void QtControl::move(float left_twips, float top_twips, std::optional<float> width_twips,
                     std::optional<float> height_twips)
{
    // Check every argument first, so a refused one changes nothing.
    float left = checked_position(*this, prop::Left, left_twips);
    float top = checked_position(*this, prop::Top, top_twips);
    float width = width_twips ? checked_size(*this, prop::Width, *width_twips) : m_width_twips;
    float height = height_twips ? checked_size(*this, prop::Height, *height_twips) : m_height_twips;
    m_left_twips = left;
    m_top_twips = top;
    m_width_twips = width;
    m_height_twips = height;
    place();
}

bool QtControl::enabled() const { return m_widget->isEnabled(); }

void QtControl::set_enabled(bool enabled) { m_widget->setEnabled(enabled); }

void QtControl::place()
{
    int height_px = units::px_from_twips(m_height_twips);
    m_widget->setGeometry(units::px_from_twips(m_left_twips), units::px_from_twips(m_top_twips),
                          units::px_from_twips(m_width_twips), drawn_height_px(height_px));
}

QSize QtControl::smallest_usable_px() const { return {0, 0}; }

void QtControl::set_spoken_name(std::string_view name)
{
    spoken_widget()->setAccessibleName(qt_text(name));
}

void QtControl::set_description(std::string_view description)
{
    spoken_widget()->setAccessibleDescription(qt_text(description));
}

void QtControl::on(Event event, Handler handler, Turn turn)
{
    m_events.connect(*this, event, std::move(handler), turn);
}

void QtControl::set_context_menu(const Menu&) { throw Error(m_name + " has no context menu."); }

void QtControl::open_context_menu() { throw Error(m_name + " has no context menu."); }

void QtControl::act(Event event)
{
    Handler run = handler(event);
    if (m_events.turn(event) == Turn::AtOnce)
        dispatch(run);
    else
        Turns::instance().take([run] { dispatch(run); });
}

}  // namespace toolkit
