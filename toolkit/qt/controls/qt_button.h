// A command button: a caption with its access key, and a Click event.
#pragma once

#include "toolkit/qt/core/qt_control.h"

class QPushButton;

namespace toolkit {

class QtButton final : public QtControl {
public:
    QtButton(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string caption() const;
    void set_caption(std::string caption);
    QSize smallest_usable_px() const override;

protected:
    std::span<const Property> own_properties() const override;

private:
    QPushButton* m_button;
};

}  // namespace toolkit
