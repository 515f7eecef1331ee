// Reading a folder's entries in one readdir pass, for both lists at once.
//
// The entry's type comes from the directory itself where the file system
// gives it, and a stat is made only for links and unknown types. Names keep
// their raw bytes, all of one kind in one block: a million names cost two
// allocations, not two million.
//
//   FolderListing listing = read_folder("/tmp");
//   std::string_view first = listing.files[0];  // Raw bytes, not always UTF-8.
#pragma once

#include "toolkit/qt/folders/raw_names.h"

#include <QByteArray>

namespace toolkit {

// A folder's visible files and subfolders: hidden names (a leading dot) are
// left out, links count as what they point to, dangling links as nothing,
// and devices, pipes and sockets as neither.
struct FolderListing {
    RawNames files;
    RawNames folders;
};

// Throws `Error` when the folder cannot be listed.
FolderListing read_folder(const QByteArray& folder);

}  // namespace toolkit
