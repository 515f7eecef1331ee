// The drive list: the mounted volumes, read again each time the list opens,
// so drives mounted or removed while the tool runs show up.
#pragma once

#include "toolkit/qt/core/qt_control.h"

#include <QByteArray>

#include <map>
#include <optional>
#include <set>

#include <QObject>

class QComboBox;

namespace toolkit {
class FolderHub;
}

namespace toolkit {

class QtDriveList final : public QtControl {
public:
    QtDriveList(QWidget* parent, FolderHub& folders, std::string_view name,
                std::optional<std::int32_t> index);
    ~QtDriveList() override;

    // A drop-down list keeps the one height it was made with: a move that
    // asks another is refused, so that a layout moves and widens it instead.
    void move(float left_twips, float top_twips, std::optional<float> width_twips,
              std::optional<float> height_twips) override;

    // The selected volume's mount point, raw bytes.
    std::string drive() const;
    void set_drive(std::string drive);
    // Reads the mounted volumes again, keeping the selected one, and never
    // waits: each volume is asked for its label off the window's thread, one
    // question at a time, and is listed by its mount point until it answers.
    void refresh();
    // Shows the volume that holds a folder, as a change the list did not
    // make: no Change event.
    void show_volume_of(const QByteArray& folder);

protected:
    std::span<const Property> own_properties() const override;

private:
    // The user picked a drive: its root is read first, and Change is raised
    // once it is, with the read there for the folder list to take.
    void picked();
    void take_answer(const std::string& root, const std::optional<std::string>& label);
    void select(const QByteArray& root);
    // Marks the volume shown as the selected row of the closed popup.
    void mark_shown();

    QComboBox* m_combo;
    FolderHub& m_folders;
    // The drive the program last heard of, shown again when the user gives
    // up a pick.
    QByteArray m_committed;
    // Each volume's last answer: its label, or nothing for no drive.
    std::map<std::string, std::optional<std::string>> m_answers;
    // The volumes asked and not answered yet.
    std::set<std::string> m_asking;
    // The answers that come after the list is gone go with it.
    QObject m_context;
};

}  // namespace toolkit
