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
QString display_name(std::string_view raw);
// The same as UTF-8; a name that is valid UTF-8 already (nearly all are)
// comes back as it is, without a round trip through UTF-16.
std::string display_text(std::string_view raw);

// Whether the bytes are well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_valid_utf8(std::string_view bytes);

}  // namespace toolkit
