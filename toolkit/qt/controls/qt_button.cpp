#include "toolkit/qt/controls/qt_button.h"

#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/utf8.h"

#include <QPushButton>

namespace toolkit {

namespace {

constexpr Property button_properties[] = {
    {prop::Caption, get_via<&QtButton::caption>, set_via<&QtButton::set_caption>},
};

}  // namespace

QtButton::QtButton(QWidget* parent, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(new QPushButton(parent), name, index, {Event::Click}),
      m_button(static_cast<QPushButton*>(widget()))
{
    QObject::connect(m_button, &QPushButton::clicked, m_button,
                     [this] { act(Event::Click); });
}

std::string QtButton::caption() const { return utf8_of(m_button->text()); }

void QtButton::set_caption(std::string caption) { m_button->setText(qt_text(caption)); }

std::span<const Property> QtButton::own_properties() const { return button_properties; }

}  // namespace toolkit
