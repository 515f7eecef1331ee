// Named properties answered from static tables, for windows and controls
// alike.
//
// Each kind declares one table of {name, getter, setter}, made from its typed
// member functions, so the typed member stays the only implementation and
// the named access cannot drift from it. A null setter makes the property
// read-only.
//
//   constexpr Property button_properties[] = {
//       {prop::Caption, get_via<&QtButton::caption>, set_via<&QtButton::set_caption>},
//   };
//   Value caption = get_property(button, {button_properties}, prop::Caption);
#pragma once

#include "toolkit/object.h"

#include <initializer_list>
#include <span>
#include <type_traits>

namespace toolkit {

struct Property {
    std::string_view name;
    Value (*get)(const Object& owner);
    void (*set)(Object& owner, std::string_view name, const Value& value);
};

// The tables an object answers from, looked up in order.
using PropertyTables = std::initializer_list<std::span<const Property>>;

// Throw `Error` for a property none of the tables has, a read-only one, or a
// value of the wrong type.
Value get_property(const Object& owner, PropertyTables tables, std::string_view name);
void set_property(Object& owner, PropertyTables tables, std::string_view name, const Value& value);

template <class> struct member_traits;
template <class C, class R> struct member_traits<R (C::*)() const> {
    using Class = C;
};
template <class C, class A> struct member_traits<void (C::*)(A)> {
    using Class = C;
    using Arg = std::remove_cvref_t<A>;
};

template <auto Getter> Value get_via(const Object& owner)
{
    using C = typename member_traits<decltype(Getter)>::Class;
    return Value((static_cast<const C&>(owner).*Getter)());
}

template <auto Setter> void set_via(Object& owner, std::string_view name, const Value& value)
{
    using Traits = member_traits<decltype(Setter)>;
    auto& typed = static_cast<typename Traits::Class&>(owner);
    (typed.*Setter)(value_for<typename Traits::Arg>(owner, name, value));
}

}  // namespace toolkit
