#include "toolkit/object.h"

#include <cmath>

namespace toolkit {

namespace {

const char* type_name(const Value& value)
{
    switch (value.index()) {
    case 0: return "a whole number";
    case 1: return "a length";
    case 2: return "a text";
    default: return "a flag";
    }
}

[[noreturn]] void fail_type(const Value& value, std::string_view what, const char* wanted)
{
    throw Error(std::string(what) + ": " + wanted + " is needed, not " + type_name(value) + ".");
}

}  // namespace

template <> std::int32_t value_as<std::int32_t>(const Value& value, std::string_view what)
{
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (auto* length = std::get_if<float>(&value)) {
        if (std::nearbyint(*length) == *length && std::abs(*length) < 2147483648.0f)
            return static_cast<std::int32_t>(*length);
    }
    fail_type(value, what, "a whole number");
}

template <> float value_as<float>(const Value& value, std::string_view what)
{
    if (auto* length = std::get_if<float>(&value))
        return *length;
    if (auto* number = std::get_if<std::int32_t>(&value))
        return static_cast<float>(*number);
    fail_type(value, what, "a number");
}

template <> bool value_as<bool>(const Value& value, std::string_view what)
{
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    fail_type(value, what, "true or false");
}

template <> std::string value_as<std::string>(const Value& value, std::string_view what)
{
    if (auto* text = std::get_if<std::string>(&value))
        return *text;
    fail_type(value, what, "a text");
}

Value Object::get_at(std::string_view property, std::int32_t) const { fail_missing(property); }

void Object::set_at(std::string_view property, std::int32_t, const Value&)
{
    fail_missing(property);
}

void Object::move(float, float, std::optional<float>, std::optional<float>)
{
    fail_missing("Move");
}

void Object::on(Event, Handler, Turn) { throw Error(describe(*this) + " raises no such event."); }

void Object::fail_missing(std::string_view property) const
{
    // An object without a name cannot describe itself by it.
    std::string who = property == prop::Name ? "The object" : describe(*this);
    throw Error(who + " has no property or method " + std::string(property) + ".");
}

std::string property_path(const Object& owner, std::string_view property)
{
    return describe(owner) + "." + std::string(property);
}

void fail_value(const Object& owner, std::string_view property)
{
    throw Error(property_path(owner, property) + ": invalid property value.");
}

std::int32_t get_int(const Object& object, std::string_view property)
{
    return value_for<std::int32_t>(object, property, object.get(property));
}

float get_twips(const Object& object, std::string_view property)
{
    return value_for<float>(object, property, object.get(property));
}

std::string get_text(const Object& object, std::string_view property)
{
    return value_for<std::string>(object, property, object.get(property));
}

std::string describe(const Object& object)
{
    try {
        Value name = object.get(prop::Name);
        if (auto* text = std::get_if<std::string>(&name))
            return *text;
    } catch (const Error&) {
        // An object without a name is still worth describing.
    }
    return "The object";
}

}  // namespace toolkit
