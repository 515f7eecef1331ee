// The drive list: the mounted volumes, read again each time the list opens,
// so drives mounted or removed while the tool runs show up.
#pragma once

#include "toolkit/qt/core/qt_control.h"

#include <QByteArray>

#include <memory>

class QComboBox;

namespace toolkit {

class QtDriveList final : public QtControl {
public:
    QtDriveList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);
    ~QtDriveList() override;

    // The selected volume's mount point, raw bytes.
    // A drop-down list keeps the one height it was made with: a move that
    // asks another is refused, so that a layout moves and widens it instead.
    void move(float left_twips, float top_twips, std::optional<float> width_twips,
              std::optional<float> height_twips) override;

    std::string drive() const;
    void set_drive(std::string drive);
    enum class Waiting { ForAnswers, None };
    // Reads the mounted volumes again, keeping the selected one. Each volume
    // is asked for its label off the window's thread; one that has not
    // answered within a second (at once, without waiting) is listed by its
    // mount point until it does.
    void refresh(Waiting waiting = Waiting::ForAnswers);
    // Shows the volume that holds a folder, as a change the list did not
    // make: no Change event.
    void show_volume_of(const QByteArray& folder);

protected:
    std::span<const Property> own_properties() const override;

private:
    void take_late_answer(std::size_t volume);
    void forget_answers();

    QComboBox* m_combo;
    // The answers of the last refresh, while late ones may still come.
    std::shared_ptr<void> m_answers;
};

}  // namespace toolkit
