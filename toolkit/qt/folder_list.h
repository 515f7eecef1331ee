// The folder list: the open folder's ancestors from the root, the folder
// itself, then its subfolders, each a step deeper, as a tree.
#pragma once

#include "row_list.h"

#include <vector>

namespace toolkit {

class EntryListModel;

class QtFolderList final : public QtRowList {
public:
    QtFolderList(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    // Fails, changing nothing, when the folder cannot be listed; raises
    // Change when the path is another one.
    void set_path(std::string path);
    // The highlighted entry's folder, opened as the user asked.
    void open_highlighted();

protected:
    std::span<const Property> own_properties() const override;

private:
    EntryListModel* m_model;
    std::vector<QByteArray> m_entry_paths;
};

}  // namespace toolkit
