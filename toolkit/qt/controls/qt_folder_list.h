// The folder list: the open folder's ancestors from the root, the folder
// itself, then its subfolders, each a step deeper, as a tree.
#pragma once

#include "toolkit/qt/controls/qt_row_list.h"

#include <vector>

namespace toolkit {

class EntryListModel;

class QtFolderList final : public QtRowList {
public:
    QtFolderList(QWidget* parent, FolderHub& folders, std::string_view name,
                 std::optional<std::int32_t> index);

    // Takes the read a gesture committed for the folder, failing and
    // changing nothing when it found the folder cannot be listed. With
    // nothing read, the list goes there at once and fills once it is read.
    // Raises Change when the path is another one.
    void set_path(std::string path);
    // The highlighted entry's folder, opened as the user asked: read
    // first, then committed.
    void open_highlighted();

protected:
    std::span<const Property> own_properties() const override;
    void show_change(const FolderRead& read) override;
    const OrderedNames& shown_part(const FolderRead& read) const override { return *read.folders; }
    void lose_folder(const std::string& error) override;
    bool shows_folders() const override { return true; }

private:
    // Lists `folder`'s ancestors and subfolders, with the entry at
    // `highlight` highlighted, or the folder itself.
    void show(const QByteArray& folder, const OrderedNames& subfolders,
              const QByteArray& highlight);
    // Shows a folder read, then raises Change when it is another folder.
    void open(const QByteArray& folder, FolderRead read);
    QByteArray highlighted_path() const;
    // Opens the nearest readable folder above `below`, while `lost` is
    // still the folder listed.
    void move_above(const QByteArray& lost, const QByteArray& below);

    EntryListModel* m_model;
    std::vector<QByteArray> m_entry_paths;
    int m_open_row = 0;
};

}  // namespace toolkit
