// Reading a folder's entries and ordering names the way file managers do.
//
// One readdir pass: the entry's type comes from the directory itself where
// the file system gives it, and a stat is made only for links and unknown
// types. Names keep their raw bytes for opening again and get a display text
// with U+FFFD for every byte that is not valid UTF-8.
//
//   std::vector<FolderEntry> files = read_folder("/tmp", EntryKind::File);
//   sort_by_name(files);
#pragma once

#include <QByteArray>
#include <QString>

#include <string>
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

// By the user's locale ignoring case, runs of digits by value (file2 before
// file10), the raw bytes breaking any remaining tie, so the order never
// depends on the order the file system returned.
void sort_by_name(std::vector<FolderEntry>& entries);

// Throws `Error` unless the folder can be listed.
void check_listable(const QByteArray& folder);

QString display_path(const QByteArray& path);
QByteArray bytes_of(const std::string& text);
std::string string_of(const QByteArray& bytes);
QByteArray join_path(const QByteArray& folder, const QByteArray& name);

}  // namespace toolkit
