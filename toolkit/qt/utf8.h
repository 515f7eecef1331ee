// Text across the adapter's boundary: the contract's UTF-8 `std::string`,
// Qt's `QString`, and the file system's raw bytes, which need not be UTF-8.
//
//   widget->setToolTip(qt_text(caption));
//   QByteArray path = bytes_of(folder_list_path);  // Opened again as it is.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

namespace toolkit {

QString qt_text(std::string_view utf8);
std::string utf8_of(const QString& text);

QByteArray bytes_of(std::string_view raw);
std::string string_of(const QByteArray& raw);

// A path or name as the user reads it: U+FFFD for each byte that is not
// valid UTF-8.
QString display_path(const QByteArray& raw);

}  // namespace toolkit
