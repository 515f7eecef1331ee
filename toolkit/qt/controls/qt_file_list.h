// The file list: the folder's files, sorted by name, with one selected entry
// whose `FileName` is display text (UTF-8, U+FFFD for invalid bytes).
#pragma once

#include "toolkit/qt/controls/qt_row_list.h"

#include "toolkit/names.h"

namespace toolkit {

class FileListModel;

class QtFileList final : public QtRowList {
public:
    QtFileList(QWidget* parent, FolderHub& folders, std::string_view name,
               std::optional<std::int32_t> index);

    void set_path(std::string path);
    std::int32_t list_count() const;
    std::int32_t list_index() const { return m_selected; }
    void set_list_index(std::int32_t index);
    std::string file_name() const;
    // The names shown now, with the folder they are in.
    std::shared_ptr<const ListedNames> listed_names() const;

    Value get_at(std::string_view property, std::int32_t index) const override;
    void set_at(std::string_view property, std::int32_t index, const Value& value) override;

protected:
    std::span<const Property> own_properties() const override;
    void show_change(const FolderRead& read) override;
    const OrderedNames& shown_part(const FolderRead& read) const override;
    void lose_folder(const std::string& error) override;
    bool shows_folders() const override { return false; }

private:
    void check_index(std::int32_t index) const;
    void show(std::shared_ptr<const OrderedNames> files);
    // Tells a screen reader which folder the list now shows, and how many
    // files it holds, once for each folder it is pointed at.
    void announce_folder();

    FileListModel* m_model;
    // Shows the selected entry once control returns to the event loop.
    void show_selection_later();
    void show_selection();

    // The selected entry, -1 for none. The list keeps it itself: stepping
    // the view's selection through a million entries would cost more than
    // everything else the scan does, and no one sees the steps between.
    std::int32_t m_selected = -1;
    bool m_showing_later = false;
    bool m_showing = false;
    bool m_announce_next = false;
};

}  // namespace toolkit
