#include "toolkit/qt/core/utf8.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace toolkit {

QString qt_text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string utf8_of(const QString& text) { return text.toStdString(); }

QByteArray bytes_of(std::string_view raw)
{
    return QByteArray(raw.data(), static_cast<qsizetype>(raw.size()));
}

std::string string_of(const QByteArray& raw)
{
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

QString display_path(const QByteArray& raw) { return QFile::decodeName(raw); }

QString display_name(std::string_view raw)
{
    // Qt's decoder puts U+FFFD for each byte that is not valid UTF-8.
    return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

std::string display_text(std::string_view raw)
{
    if (is_valid_utf8(raw))
        return std::string(raw);
    return display_name(raw).toStdString();
}

bool is_ascii(std::string_view bytes)
{
    // Eight bytes at a time: whole folders of names go through here.
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; at += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        if (word & 0x8080808080808080u)
            return false;
    }
    for (; left > 0; ++at, --left)
        if (static_cast<unsigned char>(*at) >= 0x80)
            return false;
    return true;
}

bool is_valid_utf8(std::string_view bytes)
{
    if (is_ascii(bytes))
        return true;
    bool valid = true;
    for_each_code_point(bytes,
                        [&](char32_t, const unsigned char*, bool ok) { valid = valid && ok; });
    return valid;
}

}  // namespace toolkit
