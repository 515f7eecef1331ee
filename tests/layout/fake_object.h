// A window or control for the layout engine's tests: a map from property
// name to value that can lack a property or refuse a value, with no Qt.
//
//   FakeObject text("txtNames", {{"Left", 1680.0f}, {"Width", 3120.0f}});
//   text.refuse("Height");  // Setting Height, or Move with one, now fails.
#pragma once

#include "toolkit/object.h"

#include <map>
#include <set>

class FakeObject : public toolkit::Window {
public:
    FakeObject(std::string name, std::map<std::string, toolkit::Value, std::less<>> properties = {})
        : m_properties(std::move(properties))
    {
        m_properties["Name"] = std::move(name);
    }

    // Geometry as a control placed by a rectangle.
    static FakeObject box(std::string name, float left, float top, float width, float height)
    {
        return FakeObject(std::move(name),
                          {{"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}});
    }

    toolkit::Value get(std::string_view property) const override
    {
        auto found = m_properties.find(property);
        if (found == m_properties.end())
            fail_missing(property);
        return found->second;
    }

    void set(std::string_view property, const toolkit::Value& value) override
    {
        if (!m_properties.contains(property))
            fail_missing(property);
        if (m_refused.contains(property))
            throw toolkit::Error("refused " + std::string(property));
        m_properties.find(property)->second = value;
    }

    void move(float left, float top, std::optional<float> width,
              std::optional<float> height) override
    {
        ++moves;
        if (m_line || m_refused.contains("Move") || (width && m_refused.contains("Width")) ||
            (height && m_refused.contains("Height")))
            throw toolkit::Error("refused Move");
        m_properties["Left"] = left;
        m_properties["Top"] = top;
        if (width)
            m_properties["Width"] = *width;
        if (height)
            m_properties["Height"] = *height;
    }

    bool is_line() const override { return m_line; }
    std::vector<toolkit::Object*> controls() override { return m_controls; }

    FakeObject& refuse(std::string property)
    {
        m_refused.insert(std::move(property));
        return *this;
    }
    FakeObject& lack(const std::string& property)
    {
        m_properties.erase(property);
        return *this;
    }
    FakeObject& make_line()
    {
        m_line = true;
        return *this;
    }
    FakeObject& with(const std::string& property, toolkit::Value value)
    {
        m_properties[property] = std::move(value);
        return *this;
    }
    void add(FakeObject& control) { m_controls.push_back(&control); }

    float twips(const std::string& property) const { return toolkit::get_twips(*this, property); }

    int moves = 0;

private:
    std::map<std::string, toolkit::Value, std::less<>> m_properties;
    std::set<std::string, std::less<>> m_refused;
    std::vector<toolkit::Object*> m_controls;
    bool m_line = false;
};
