// A label: a caption, its color and underline, and the pointer's moves over
// it and clicks on it. A label that answers clicks is a link to assistive
// technology.
#pragma once

#include "toolkit/qt/core/qt_control.h"

class QLabel;

namespace toolkit {

class QtLabel final : public QtControl {
public:
    QtLabel(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string caption() const;
    void set_caption(std::string caption);
    std::int32_t fore_color() const { return m_fore_color; }
    void set_fore_color(std::int32_t color);
    bool font_underline() const;
    void set_font_underline(bool underline);
    void on(Event event, Handler handler, Turn turn = Turn::InOrder) override;

protected:
    std::span<const Property> own_properties() const override;

private:
    void show_fore_color();

    QLabel* m_label;
    std::int32_t m_fore_color = color::ButtonText;
};

}  // namespace toolkit
