// Command buttons, labels and lines.
#pragma once

#include "toolkit/qt_control.h"

class QLabel;
class QPushButton;

namespace toolkit {

class QtButton final : public QtControl {
public:
    QtButton(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string caption() const;
    void set_caption(std::string caption);

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    QPushButton* m_button;
};

class QtLabel final : public QtControl {
public:
    QtLabel(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string caption() const;
    void set_caption(std::string caption);
    std::int32_t fore_color() const { return m_fore_color; }
    void set_fore_color(std::int32_t colour);
    bool font_underline() const;
    void set_font_underline(bool underline);
    // A label that answers clicks is a link.
    void on(Event event, Handler handler) override;

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    QLabel* m_label;
    std::int32_t m_fore_color = colour::ButtonText;
};

// A straight line between two points of its window. It has no rectangle of
// its own: no Left, Top, Width, Height or Move.
class QtLine final : public QtControl {
public:
    QtLine(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    bool is_line() const override { return true; }
    float x1() const { return m_x1_twips; }
    float y1() const { return m_y1_twips; }
    float x2() const { return m_x2_twips; }
    float y2() const { return m_y2_twips; }
    void set_x1(float twips);
    void set_y1(float twips);
    void set_x2(float twips);
    void set_y2(float twips);
    void set_ends(float x1_twips, float y1_twips, float x2_twips, float y2_twips);

    void place() override;

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    float m_x1_twips = 0;
    float m_y1_twips = 0;
    float m_x2_twips = 0;
    float m_y2_twips = 0;
};

}  // namespace toolkit
