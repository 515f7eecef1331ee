#include "app/name_forms.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <ctime>
#include <initializer_list>

namespace app {

namespace {

std::int64_t floor_div(std::int64_t value, std::int64_t by)
{
    std::int64_t quotient = value / by;
    return quotient - (value % by < 0 ? 1 : 0);
}

long offset_at(std::int64_t seconds)
{
    std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&moment, &local))
        return 0;
    return local.tm_gmtoff;
}

// Writes `value` with at least `width` digits at `at`; returns the end.
char* put_digits(char* at, std::int64_t value, int width)
{
    if (value < 0) {
        *at++ = '-';
        value = -value;
    }
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    for (auto length = end - digits; length < width; ++length)
        *at++ = '0';
    return std::copy(digits, end, at);
}

// Names between two looks at whether to stop: a few milliseconds' writing.
constexpr std::size_t names_between_looks = 4096;

// Calls `take(name)` for each name as FileName gives it, in order; through
// the names' one block where every name is its own bytes. False when it
// stopped early, asked to.
template <class Take>
bool each_name(const toolkit::ListedNames& names, std::stop_token stop, Take&& take)
{
    if (names.all_utf8()) {
        const char* all = names.all_raw().data();
        std::uint32_t begin = 0;
        std::size_t place = 0;
        for (std::uint32_t end : names.raw_ends()) {
            if (place++ % names_between_looks == 0 && stop.stop_requested())
                return false;
            take(std::string_view(all + begin, end - begin));
            begin = end;
        }
        return true;
    }
    std::string scratch;
    for (std::size_t place = 0; place < names.size(); ++place) {
        if (place % names_between_looks == 0 && stop.stop_requested())
            return false;
        take(names.name(place, scratch));
    }
    return true;
}

using SpecialBytes = std::array<bool, 256>;

constexpr SpecialBytes special_bytes(std::initializer_list<unsigned char> bytes)
{
    SpecialBytes special{};
    for (unsigned char c : bytes)
        special[c] = true;
    return special;
}

// A CSV field must be quoted when it holds a comma, a quote or a line break.
constexpr SpecialBytes csv_special = special_bytes({',', '"', '\r', '\n'});
// A tab-separated field is quoted, as spreadsheets write one, only when it
// holds what would end it or the quote that starts a quoted one; every other
// field, commas included, stays bare.
constexpr SpecialBytes tab_special = special_bytes({'\t', '"', '\r', '\n'});

bool needs_quotes(std::string_view field, const SpecialBytes& special)
{
    for (char c : field)
        if (special[static_cast<unsigned char>(c)])
            return true;
    return false;
}

void put_quoted(toolkit::ClipboardWriter& text, std::string_view field)
{
    text.put('"');
    for (std::size_t quote; (quote = field.find('"')) != std::string_view::npos;) {
        text.put(field.substr(0, quote + 1));
        text.put('"');
        field.remove_prefix(quote + 1);
    }
    text.put(field);
    text.put('"');
}

void put_field(toolkit::ClipboardWriter& text, std::string_view field, const SpecialBytes& special)
{
    if (needs_quotes(field, special))
        put_quoted(text, field);
    else
        text.put(field);
}

// A name's place in the folder's path: one slash between them.
std::string folder_prefix(const toolkit::ListedNames& names)
{
    std::string prefix = toolkit::display_text(names.folder());
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    return prefix;
}

}  // namespace

std::string_view without_extension(std::string_view name)
{
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string_view LocalTimes::text_of(std::int64_t seconds)
{
    // The offset holds across a quarter hour when it is the same at both
    // ends; clocks change on the quarter hour, and never twice in one.
    std::int64_t quarter = floor_div(seconds, 900);
    long offset;
    if (quarter == m_quarter) {
        offset = m_offset;
    } else {
        offset = offset_at(seconds);
        if (offset_at(quarter * 900) == offset_at(quarter * 900 + 899)) {
            m_quarter = quarter;
            m_offset = offset;
        }
    }
    std::int64_t local = seconds + offset;
    std::int64_t days = floor_div(local, 86400);
    std::int64_t in_day = local - days * 86400;
    // The civil date of a count of days since 1970-01-01 (proleptic Gregorian).
    std::int64_t shifted = days + 719468;
    std::int64_t era = floor_div(shifted, 146097);
    std::int64_t day_of_era = shifted - era * 146097;
    std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    std::int64_t day_of_year =
        day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    std::int64_t month_index = (5 * day_of_year + 2) / 153;
    std::int64_t day = day_of_year - (153 * month_index + 2) / 5 + 1;
    std::int64_t month = month_index < 10 ? month_index + 3 : month_index - 9;
    std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);

    char* at = m_text;
    at = put_digits(at, year, 4);
    *at++ = '-';
    at = put_digits(at, month, 2);
    *at++ = '-';
    at = put_digits(at, day, 2);
    *at++ = 'T';
    at = put_digits(at, in_day / 3600, 2);
    *at++ = ':';
    at = put_digits(at, in_day / 60 % 60, 2);
    *at++ = ':';
    at = put_digits(at, in_day % 60, 2);
    *at++ = offset < 0 ? '-' : '+';
    long away = offset < 0 ? -offset : offset;
    at = put_digits(at, away / 3600, 2);
    *at++ = ':';
    at = put_digits(at, away / 60 % 60, 2);
    return {m_text, static_cast<std::size_t>(at - m_text)};
}

std::size_t expected_bytes(NameForm form, const toolkit::ListedNames& names)
{
    std::size_t prefix = form == NameForm::FullPaths ? folder_prefix(names).size() : 0;
    std::size_t per_name = prefix + (form == NameForm::Table ? 48 : 2);
    return names.all_raw().size() + names.size() * per_name + 32;
}

bool write_names(toolkit::ClipboardWriter& text, NameForm form, const toolkit::ListedNames& names,
                 std::span<const toolkit::FileFacts> facts, std::stop_token stop)
{
    std::string prefix = form == NameForm::FullPaths ? folder_prefix(names) : std::string();

    std::string_view between = form == NameForm::WindowsLines || form == NameForm::Csv ? "\r\n"
        : form == NameForm::Tabs                                                       ? "\t"
                                                                                       : "\n";
    bool first = true;
    auto next = [&] {
        if (!first)
            text.put(between);
        first = false;
    };
    bool whole = true;
    switch (form) {
    case NameForm::Csv:
        text.put("name");
        first = false;
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            put_field(text, name, csv_special);
        });
        break;
    case NameForm::Tabs:
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            put_field(text, name, tab_special);
        });
        break;
    case NameForm::WithoutExtensions:
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            text.put(without_extension(name));
        });
        break;
    case NameForm::FullPaths:
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            text.put(prefix);
            text.put(name);
        });
        break;
    case NameForm::Table: {
        text.put("name\tsize\tmodified");
        first = false;
        LocalTimes times;
        std::size_t place = 0;
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            put_field(text, name, tab_special);
            text.put('\t');
            const toolkit::FileFacts* fact = place < facts.size() ? &facts[place] : nullptr;
            ++place;
            if (!fact || !fact->known) {
                text.put('\t');
                return;
            }
            char size[24];
            text.put(std::string_view(
                size,
                static_cast<std::size_t>(
                    put_digits(size, static_cast<std::int64_t>(fact->size), 1) - size)));
            text.put('\t');
            text.put(times.text_of(fact->modified));
        });
        break;
    }
    default:
        whole = each_name(names, stop, [&](std::string_view name) {
            next();
            text.put(name);
        });
        break;
    }
    return whole;
}

}  // namespace app
