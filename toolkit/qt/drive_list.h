// The drive list: the mounted volumes, read again each time the list opens,
// so drives mounted or removed while the tool runs show up.
#pragma once

#include "control.h"

class QComboBox;

namespace toolkit {

class QtDriveList final : public QtControl {
public:
    QtDriveList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    // The selected volume's mount point, raw bytes.
    std::string drive() const;
    void set_drive(std::string drive);
    // Reads the mounted volumes again, keeping the selected one.
    void refresh();
    // On Linux a combo box's own accessible name is its current text, so
    // the name reaches a screen reader as a label for the list.
    void set_spoken_name(std::string_view name) override;

protected:
    std::span<const Property> own_properties() const override;

private:
    QComboBox* m_combo;
};

}  // namespace toolkit
