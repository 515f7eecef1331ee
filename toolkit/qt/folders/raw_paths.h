// Paths as the file system's raw bytes, joined and cleaned without asking
// the file system anything.
//
//   clean_path("../b/./c", "/home/a") == "/home/b/c"
#pragma once

#include <QByteArray>

namespace toolkit {

QByteArray join_path(const QByteArray& folder, const QByteArray& name);

// Lexically absolute and clean: no empty, "." or ".." parts. A relative path
// is taken from `base`.
QByteArray clean_path(const QByteArray& path, const QByteArray& base);

}  // namespace toolkit
