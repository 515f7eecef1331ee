// The base of every control in the Qt adapter: identity, geometry in twips,
// events, and the named-property tables that serve every caller.
//
// Each control kind declares one static table of {name, getter, setter}; a
// null setter makes the property read-only. Named access walks the kind's own
// table, then the tables every control shares. The twips a control was given
// are the truth: reading "Left" returns them, never pixels converted back.
#pragma once

#include "toolkit/object.h"

#include <array>
#include <map>
#include <span>

class QWidget;

namespace toolkit {

class QtControl;

struct Property {
    std::string_view name;
    Value (*get)(const QtControl& control);
    void (*set)(QtControl& control, std::string_view name, const Value& value);
};

// Converts a property value to the type a setter takes, or throws `Error`.
template <class T>
T value_as(const QtControl& control, std::string_view name, const Value& value);
template <> std::int32_t value_as(const QtControl&, std::string_view, const Value&);
template <> float value_as(const QtControl&, std::string_view, const Value&);
template <> bool value_as(const QtControl&, std::string_view, const Value&);
template <> std::string value_as(const QtControl&, std::string_view, const Value&);

// Table entries made from member functions, so that a table row reads as
// {name, getter, setter} and the typed member stays the only implementation.
template <class> struct member_traits;
template <class C, class R> struct member_traits<R (C::*)() const> {
    using Class = C;
};
template <class C, class A> struct member_traits<void (C::*)(A)> {
    using Class = C;
    using Arg = std::remove_cvref_t<A>;
};

template <auto Getter>
Value get_via(const QtControl& control)
{
    using C = typename member_traits<decltype(Getter)>::Class;
    return Value((static_cast<const C&>(control).*Getter)());
}

template <auto Setter>
void set_via(QtControl& control, std::string_view name, const Value& value)
{
    using Traits = member_traits<decltype(Setter)>;
    auto& typed = static_cast<typename Traits::Class&>(control);
    (typed.*Setter)(value_as<typename Traits::Arg>(control, name, value));
}

class QtControl : public Object {
public:
    QtControl(QWidget* widget, std::string_view name, std::optional<std::int32_t> index);
    ~QtControl() override;

    Value get(std::string_view property) const override;
    void set(std::string_view property, const Value& value) override;
    void move(float left_twips, float top_twips, std::optional<float> width_twips,
              std::optional<float> height_twips) override;
    void on(Event event, Handler handler) override;

    QWidget* widget() const { return m_widget; }

    std::string name() const { return m_name; }
    std::int32_t index() const;
    float left() const { return m_left_twips; }
    float top() const { return m_top_twips; }
    float width() const { return m_width_twips; }
    float height() const { return m_height_twips; }
    void set_left(float twips);
    void set_top(float twips);
    void set_width(float twips);
    void set_height(float twips);
    bool enabled() const;
    void set_enabled(bool enabled);
    std::int32_t tab_index() const { return m_tab_index; }
    void set_tab_index(std::int32_t tab_index) { m_tab_index = tab_index; }

    // Lays the widget out from the stored twips.
    virtual void place();
    // What assistive technology calls the control.
    virtual void set_spoken_name(std::string_view name);

protected:
    virtual std::span<const Property> own_properties() const = 0;
    // The events this kind raises; connecting another one fails.
    virtual bool raises(Event event) const = 0;
    const Handler& handler(Event event) const;
    // Where a kind draws its widget shorter than asked (whole rows of a list).
    virtual int drawn_height_px(int height_px) const { return height_px; }

private:
    const Property* find(std::string_view property) const;

    QWidget* m_widget;
    std::string m_name;
    std::optional<std::int32_t> m_index;
    float m_left_twips = 0;
    float m_top_twips = 0;
    float m_width_twips = 0;
    float m_height_twips = 0;
    std::int32_t m_tab_index = 0;
    std::map<Event, Handler> m_handlers;
};

}  // namespace toolkit
