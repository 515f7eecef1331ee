#include "toolkit/qt/core/utf8.h"

#include <QFile>

#include <algorithm>
#include <iterator>
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

namespace {

// Code points that draw nothing by themselves (Unicode's default ignorables),
// besides the direction controls: a name holding one would look like the
// same name without it.
bool draws_nothing(char32_t c)
{
    struct Range {
        char32_t first, last;
    };
    static constexpr Range ranges[] = {
        {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
        {0x180B, 0x180F}, {0x200B, 0x200D}, {0x2060, 0x2065}, {0x206A, 0x206F},
        {0x3164, 0x3164}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0},
        {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    return std::any_of(std::begin(ranges), std::end(ranges),
                       [c](Range range) { return c >= range.first && c <= range.last; });
}

bool acts_unseen(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
        c == 0x200E || c == 0x200F || c == 0x061C || c == 0x2028 || c == 0x2029 ||
        draws_nothing(c);
}

// Characters that emoji sequences are built from, broadly: where a joiner,
// a variation selector or a flag's tags sit between these, they draw one
// picture, as they should, and are left alone.
bool is_pictographic(char32_t c)
{
    return c == 0x00A9 || c == 0x00AE || (c >= 0x2100 && c <= 0x2BFF) || c == 0x3030 ||
        c == 0x303D || c == 0x3297 || c == 0x3299 || (c >= 0x1F000 && c <= 0x1FAFF);
}

constexpr char32_t zero_width_joiner = 0x200D, keycap = 0x20E3, black_flag = 0x1F3F4;

bool is_emoji_variation(char32_t c) { return c == 0xFE0E || c == 0xFE0F; }
bool is_tag(char32_t c) { return c >= 0xE0020 && c <= 0xE007F; }

// Whether the ignorable code point at `place` belongs to an emoji sequence:
// a presentation selector after a pictograph or before a keycap, a joiner
// between two pictographs, or a flag's tags after the black flag.
bool in_emoji_sequence(const std::u32string& text, std::size_t place)
{
    char32_t c = text[place];
    char32_t before = place > 0 ? text[place - 1] : 0;
    char32_t after = place + 1 < text.size() ? text[place + 1] : 0;
    if (is_emoji_variation(c))
        return is_pictographic(before) || after == keycap;
    if (is_tag(c)) {
        std::size_t start = place;
        while (start > 0 && is_tag(text[start - 1]))
            --start;
        return start > 0 && text[start - 1] == black_flag;
    }
    if (c == zero_width_joiner) {
        // A pictograph may carry its presentation selector before the joiner.
        std::size_t base = place;
        while (base > 0 && is_emoji_variation(text[base - 1]))
            --base;
        return base > 0 && is_pictographic(text[base - 1]) && is_pictographic(after);
    }
    return false;
}

// What stands for a character that must not act unseen.
QString mark_for(char32_t c)
{
    switch (c) {
    case U'\n': return QStringLiteral("\u2039LF\u203A");
    case U'\r': return QStringLiteral("\u2039CR\u203A");
    default: break;
    }
    return QStringLiteral("\u2039U+%1\u203A").arg(unsigned(c), 4, 16, QChar(u'0')).toUpper();
}

bool is_plain_ascii(std::string_view raw)
{
    return is_ascii(raw) &&
        std::none_of(raw.begin(), raw.end(), [](char c) { return c < 0x20 || c == 0x7F; });
}

}  // namespace

QString shown_name(std::string_view raw)
{
    if (is_plain_ascii(raw))
        return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
    QString decoded = display_name(raw);
    // Only right-to-left letters can move text across a mark; without them
    // isolates would change nothing drawn, yet still take a fallback font.
    bool has_right_to_left = std::any_of(decoded.begin(), decoded.end(), [](QChar c) {
        QChar::Direction direction = c.direction();
        return direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN;
    });
    constexpr char16_t isolate_first_strong = 0x2068, isolate_left_to_right = 0x2066,
                       end_isolate = 0x2069;
    QString shown, run;
    bool marked = false;
    auto end_run = [&] {
        if (run.isEmpty())
            return;
        shown += has_right_to_left ? QChar(isolate_first_strong) + run + QChar(end_isolate) : run;
        run.clear();
    };
    std::u32string code_points = decoded.toStdU32String();
    for (std::size_t place = 0; place < code_points.size(); ++place) {
        char32_t c = code_points[place];
        if (!acts_unseen(c) || in_emoji_sequence(code_points, place)) {
            run += QString::fromUcs4(&c, 1);
            continue;
        }
        marked = true;
        end_run();
        QString mark = mark_for(c);
        shown +=
            has_right_to_left ? QChar(isolate_left_to_right) + mark + QChar(end_isolate) : mark;
    }
    if (!marked)
        return decoded;
    end_run();
    return shown;
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
