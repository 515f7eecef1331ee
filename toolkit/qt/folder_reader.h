// Reading a folder's entries in one readdir pass.
//
// The entry's type comes from the directory itself where the file system
// gives it, and a stat is made only for links and unknown types. Names keep
// their raw bytes for opening again and get a display text with U+FFFD for
// every byte that is not valid UTF-8.
//
//   std::vector<FolderEntry> files = read_folder("/tmp", EntryKind::File);
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace toolkit {

enum class EntryKind { File, Folder };

struct FolderEntry {
    QByteArray raw_name;
    QString display_name;
};

// The folder's visible entries of one kind: hidden names (a leading dot) are
// left out, links count as what they point to, and dangling links as
// nothing. Throws `Error` when the folder cannot be listed.
std::vector<FolderEntry> read_folder(const QByteArray& folder, EntryKind kind);

}  // namespace toolkit
