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

namespace {

// What stands for a character that must not act unseen; empty for any other.
QString mark_for(char16_t c)
{
    switch (c) {
    case u'\n': return QStringLiteral("\u2039LF\u203A");
    case u'\r': return QStringLiteral("\u2039CR\u203A");
    default: break;
    }
    bool acts_unseen = c < 0x20 || c == 0x7F || (c >= 0x202A && c <= 0x202E) ||
        (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C || c == 0x2028 ||
        c == 0x2029;
    if (!acts_unseen)
        return {};
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
    for (QChar c : decoded) {
        QString mark = mark_for(c.unicode());
        if (mark.isEmpty()) {
            run += c;
            continue;
        }
        marked = true;
        end_run();
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
