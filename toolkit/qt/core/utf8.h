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
// A name as a list shows it, where one name must not pass for another:
// direction controls and line breaks, which would reorder or split what is
// drawn, and characters that draw nothing (zero-width spaces, the byte-order
// mark, soft hyphens), are shown as marks ("‹U+202E›", "‹LF›", "‹U+FEFF›"),
// except the joiners and selectors inside an emoji; the text between
// them, where the name holds right-to-left letters, is isolated so that it
// cannot be reordered across them.
QString shown_name(std::string_view raw);
// The same as UTF-8; a name that is valid UTF-8 already (nearly all are)
// comes back as it is, without a round trip through UTF-16.
std::string display_text(std::string_view raw);

// Whether every byte is ASCII, as most names are.
bool is_ascii(std::string_view bytes);

// Calls visit(code point, where it starts, valid) for each character of
// UTF-8 bytes. Well-formed means no stray or missing continuation bytes, no
// overlong forms, no surrogates and nothing past U+10FFFF; a byte that
// starts no well-formed character comes alone, with valid false.
template <class Visit> void for_each_code_point(std::string_view bytes, Visit&& visit)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = at + bytes.size();
    while (at != end) {
        unsigned char lead = *at;
        if (lead < 0x80) {
            visit(char32_t(lead), at, true);
            ++at;
            continue;
        }
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = length > 1 && static_cast<std::size_t>(end - at) >= length;
        for (std::size_t i = 1; valid && i < length; ++i) {
            valid = (at[i] & 0xC0) == 0x80;
            c = (c << 6) | (at[i] & 0x3F);
        }
        constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= smallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!valid)
            length = 1;
        visit(c, at, valid);
        at += length;
    }
}

bool is_valid_utf8(std::string_view bytes);

}  // namespace toolkit
