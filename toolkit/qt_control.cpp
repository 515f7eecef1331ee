#include "toolkit/qt_control.h"

#include "toolkit/qt_units.h"

#include <QWidget>

#include <cmath>

namespace toolkit {

namespace {

// Rows every control shares: who it is.
constexpr Property identity_properties[] = {
    {prop::Name, get_via<&QtControl::name>, nullptr},
    {prop::Index, get_via<&QtControl::index>, nullptr},
};

// Rows every control placed by a rectangle shares.
constexpr Property box_properties[] = {
    {prop::Left, get_via<&QtControl::left>, set_via<&QtControl::set_left>},
    {prop::Top, get_via<&QtControl::top>, set_via<&QtControl::set_top>},
    {prop::Width, get_via<&QtControl::width>, set_via<&QtControl::set_width>},
    {prop::Height, get_via<&QtControl::height>, set_via<&QtControl::set_height>},
    {prop::Enabled, get_via<&QtControl::enabled>, set_via<&QtControl::set_enabled>},
    {prop::TabIndex, get_via<&QtControl::tab_index>, set_via<&QtControl::set_tab_index>},
};

const Property* find_in(std::span<const Property> table, std::string_view property)
{
    for (const Property& row : table)
        if (row.name == property)
            return &row;
    return nullptr;
}

[[noreturn]] void fail_value(const QtControl& control, std::string_view name, const char* why)
{
    throw Error(control.name() + "." + std::string(name) + ": " + why);
}

// Sizes cannot be negative, and a length must be a number.
float checked_size(const QtControl& control, std::string_view name, float twips)
{
    if (std::isnan(twips) || twips < 0)
        fail_value(control, name, "invalid property value.");
    return twips;
}

float checked_position(const QtControl& control, std::string_view name, float twips)
{
    if (!std::isfinite(twips))
        fail_value(control, name, "invalid property value.");
    return twips;
}

}  // namespace

template <>
std::int32_t value_as<std::int32_t>(const QtControl& control, std::string_view name,
                                    const Value& value)
{
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (auto* length = std::get_if<float>(&value)) {
        if (std::nearbyint(*length) == *length && std::abs(*length) < 2147483648.0f)
            return static_cast<std::int32_t>(*length);
    }
    fail_value(control, name, "a whole number is needed.");
}

template <>
float value_as<float>(const QtControl& control, std::string_view name, const Value& value)
{
    if (auto* length = std::get_if<float>(&value))
        return *length;
    if (auto* number = std::get_if<std::int32_t>(&value))
        return static_cast<float>(*number);
    fail_value(control, name, "a number is needed.");
}

template <>
bool value_as<bool>(const QtControl& control, std::string_view name, const Value& value)
{
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    fail_value(control, name, "true or false is needed.");
}

template <>
std::string value_as<std::string>(const QtControl& control, std::string_view name,
                                  const Value& value)
{
    if (auto* text = std::get_if<std::string>(&value))
        return *text;
    fail_value(control, name, "a text is needed.");
}

QtControl::QtControl(QWidget* widget, std::string_view name, std::optional<std::int32_t> index)
    : m_widget(widget), m_name(name), m_index(index)
{
    m_widget->setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

// The widget belongs to the window's widget tree, which deletes it.
QtControl::~QtControl() = default;

const Property* QtControl::find(std::string_view property) const
{
    if (const Property* row = find_in(own_properties(), property))
        return row;
    if (const Property* row = find_in(identity_properties, property))
        return row;
    if (!is_line())
        return find_in(box_properties, property);
    return nullptr;
}

Value QtControl::get(std::string_view property) const
{
    const Property* row = find(property);
    if (!row)
        fail_missing(property);
    return row->get(*this);
}

void QtControl::set(std::string_view property, const Value& value)
{
    const Property* row = find(property);
    if (!row)
        fail_missing(property);
    if (!row->set)
        fail_value(*this, property, "the property is read-only.");
    row->set(*this, property, value);
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
    if (is_line())
        fail_missing("Move");
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

void QtControl::set_spoken_name(std::string_view name)
{
    m_widget->setAccessibleName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void QtControl::on(Event event, Handler handler)
{
    if (!raises(event))
        Object::on(event, std::move(handler));
    m_handlers[event] = std::move(handler);
}

const Handler& QtControl::handler(Event event) const
{
    static const Handler none;
    auto found = m_handlers.find(event);
    return found == m_handlers.end() ? none : found->second;
}

}  // namespace toolkit
