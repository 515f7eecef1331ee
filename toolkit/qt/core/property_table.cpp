#include "toolkit/qt/core/property_table.h"

#include "toolkit/testing.h"

#include <algorithm>
#include <vector>

namespace toolkit {

namespace {

struct BrokenProperty {
    const Object* object;
    std::string property;
    std::string message;
};

// Empty outside tests, so the check costs one comparison.
std::vector<BrokenProperty>& broken_properties()
{
    static std::vector<BrokenProperty> broken;
    return broken;
}

void fail_if_broken(const Object& owner, std::string_view name)
{
    for (const BrokenProperty& broken : broken_properties())
        if (broken.object == &owner && broken.property == name)
            throw Error(broken.message);
}

const Property& find(const Object& owner, PropertyTables tables, std::string_view name)
{
    fail_if_broken(owner, name);
    for (std::span<const Property> table : tables)
        for (const Property& row : table)
            if (row.name == name)
                return row;
    owner.fail_missing(name);
}

}  // namespace

Value get_property(const Object& owner, PropertyTables tables, std::string_view name)
{
    return find(owner, tables, name).get(owner);
}

void set_property(Object& owner, PropertyTables tables, std::string_view name, const Value& value)
{
    const Property& row = find(owner, tables, name);
    if (!row.set)
        throw Error(property_path(owner, name) + ": the property is read-only.");
    row.set(owner, name, value);
}

ScopedBrokenProperty::ScopedBrokenProperty(const Object& object, std::string_view property,
                                           std::string message)
{
    broken_properties().push_back({&object, std::string(property), std::move(message)});
}

ScopedBrokenProperty::~ScopedBrokenProperty() { broken_properties().pop_back(); }

}  // namespace toolkit
