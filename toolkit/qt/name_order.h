// Ordering names the way file managers do.
//
//   std::vector<FolderEntry> files = read_folder("/tmp", EntryKind::File);
//   sort_by_name(files);  // file2 before file10, "Alpha" beside "alpha".
#pragma once

#include "folder_reader.h"

#include <vector>

namespace toolkit {

// By the user's locale ignoring case, runs of digits by value (file2 before
// file10), the raw bytes breaking any remaining tie, so the order never
// depends on the order the file system returned.
void sort_by_name(std::vector<FolderEntry>& entries);

}  // namespace toolkit
