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

[[noreturn]] void fail_type(const Object& object, std::string_view property, const Value& value,
                            const char* wanted)
{
    throw Error(describe(object) + "." + std::string(property) + " is " + type_name(value) +
                ", not " + wanted + ".");
}

}  // namespace

Value Object::get_at(std::string_view property, std::int32_t) const { fail_missing(property); }

void Object::set_at(std::string_view property, std::int32_t, const Value&) { fail_missing(property); }

void Object::move(float, float, std::optional<float>, std::optional<float>) { fail_missing("Move"); }

void Object::on(Event, Handler) { throw Error(describe(*this) + " raises no such event."); }

void Object::fail_missing(std::string_view property) const
{
    // An object without a name cannot describe itself by it.
    std::string who = property == prop::Name ? "The object" : describe(*this);
    throw Error(who + " has no property or method " + std::string(property) + ".");
}

std::int32_t get_int(const Object& object, std::string_view property)
{
    Value value = object.get(property);
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    fail_type(object, property, value, "a whole number");
}

float get_twips(const Object& object, std::string_view property)
{
    Value value = object.get(property);
    if (auto* length = std::get_if<float>(&value))
        return *length;
    if (auto* number = std::get_if<std::int32_t>(&value))
        return static_cast<float>(*number);
    fail_type(object, property, value, "a length");
}

std::string get_text(const Object& object, std::string_view property)
{
    Value value = object.get(property);
    if (auto* text = std::get_if<std::string>(&value))
        return std::move(*text);
    fail_type(object, property, value, "a text");
}

bool get_flag(const Object& object, std::string_view property)
{
    Value value = object.get(property);
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    fail_type(object, property, value, "a flag");
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
