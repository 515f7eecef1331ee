// The base of every control in the Qt adapter: identity, geometry in twips,
// events, and named properties.
//
// Named access walks the kind's own table, then the rows every control
// shares. The twips a control was given are the truth: reading "Left"
// returns them, never pixels converted back.
#pragma once

#include "toolkit/qt/core/event_table.h"
#include "toolkit/qt/core/property_table.h"

#include "toolkit/form.h"

#include <QSize>

class QWidget;

namespace toolkit {

class QtControl : public Object {
public:
    QtControl(QWidget* widget, std::string_view name, std::optional<std::int32_t> index,
              std::initializer_list<Event> raised);
    ~QtControl() override;

    Value get(std::string_view property) const override;
    void set(std::string_view property, const Value& value) override;
    void move(float left_twips, float top_twips, std::optional<float> width_twips,
              std::optional<float> height_twips) override;
    void on(Event event, Handler handler, Turn turn = Turn::InOrder) override;

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
    int tab_index() const { return m_tab_index; }
    void set_tab_index(int tab_index) { m_tab_index = tab_index; }

    // Lays the widget out from the stored twips.
    void place();
    // The fewest pixels the control can still be used in, in either
    // direction; 0 where any size serves.
    virtual QSize smallest_usable_px() const;
    // What assistive technology calls the control, and how it tells what
    // the control is for.
    void set_spoken_name(std::string_view name);
    void set_description(std::string_view description);
    // The menu the control opens on its context gestures; a kind that has
    // none throws `Error`.
    virtual void set_context_menu(const Menu& menu);
    // Opens it at the control, as the keyboard would.
    virtual void open_context_menu();

protected:
    virtual std::span<const Property> own_properties() const = 0;
    // The widget a screen reader meets for this control.
    virtual QWidget* spoken_widget() const { return m_widget; }
    const Handler& handler(Event event) const { return m_events[event]; }
    // The user acted (a click, a shortcut, the accessibility bus): the
    // event's handler runs in its turn.
    void act(Event event);
    // Where a kind draws its widget shorter than asked (whole rows of a list).
    virtual int drawn_height_px(int height_px) const { return height_px; }

private:
    QWidget* m_widget;
    std::string m_name;
    std::optional<std::int32_t> m_index;
    float m_left_twips = 0;
    float m_top_twips = 0;
    float m_width_twips = 0;
    float m_height_twips = 0;
    int m_tab_index = 0;
    EventTable m_events;
};

}  // namespace toolkit
