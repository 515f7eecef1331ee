#include "utf8.h"

#include <QFile>

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

bool is_valid_utf8(std::string_view bytes)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at != end) {
        unsigned char lead = *at;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        // The lead byte gives the length and the range the second byte must
        // fall in, which rules out overlong forms, surrogates and too-high
        // code points at once.
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high)
            return false;
        for (std::size_t i = 2; i < length; ++i)
            if (at[i] < 0x80 || at[i] > 0xBF)
                return false;
        at += length;
    }
    return true;
}

}  // namespace toolkit
