#include "app/name_forms.h"

#include <charconv>
#include <ctime>

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

void append_digits(std::string& text, std::int64_t value, int width)
{
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value < 0 ? -value : value);
    (void)error;
    if (value < 0)
        text += '-';
    for (auto length = end - digits; length < width; ++length)
        text += '0';
    text.append(digits, end);
}

bool needs_quotes(std::string_view field)
{
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

void append_quoted(std::string& text, std::string_view field)
{
    text += '"';
    for (char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
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

void LocalTimes::append(std::string& text, std::int64_t seconds)
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

    append_digits(text, year, 4);
    text += '-';
    append_digits(text, month, 2);
    text += '-';
    append_digits(text, day, 2);
    text += 'T';
    append_digits(text, in_day / 3600, 2);
    text += ':';
    append_digits(text, in_day / 60 % 60, 2);
    text += ':';
    append_digits(text, in_day % 60, 2);
    text += offset < 0 ? '-' : '+';
    long away = offset < 0 ? -offset : offset;
    append_digits(text, away / 3600, 2);
    text += ':';
    append_digits(text, away / 60 % 60, 2);
}

std::string write_names(NameForm form, const toolkit::ListedNames& names,
                        std::span<const toolkit::FileFacts> facts)
{
    std::size_t count = names.size();
    std::string prefix = form == NameForm::FullPaths ? folder_prefix(names) : std::string();
    std::size_t bytes = 0;
    for (std::size_t place = 0; place < count; ++place)
        bytes += names.raw(place).size();
    // Room for what nearly every name takes; a name to quote or mark grows it.
    std::size_t per_name = form == NameForm::Table ? 40 : 2;
    std::string text;
    text.reserve(bytes + count * (per_name + prefix.size()) + 32);

    std::string_view between = form == NameForm::WindowsLines || form == NameForm::Csv ? "\r\n"
        : form == NameForm::Tabs                                                       ? "\t"
                                                                                       : "\n";
    if (form == NameForm::Csv)
        text += "name";
    if (form == NameForm::Table)
        text += "name\tsize\tmodified";
    bool header = form == NameForm::Csv || form == NameForm::Table;
    LocalTimes times;
    std::string scratch;
    for (std::size_t place = 0; place < count; ++place) {
        if (place > 0 || header)
            text += between;
        std::string_view name = names.name(place, scratch);
        switch (form) {
        case NameForm::Csv:
            if (needs_quotes(name))
                append_quoted(text, name);
            else
                text += name;
            break;
        case NameForm::WithoutExtensions: text += without_extension(name); break;
        case NameForm::FullPaths: text.append(prefix).append(name); break;
        case NameForm::Table: {
            text += name;
            text += '\t';
            const toolkit::FileFacts* fact = place < facts.size() ? &facts[place] : nullptr;
            if (fact && fact->known)
                append_digits(text, static_cast<std::int64_t>(fact->size), 1);
            text += '\t';
            if (fact && fact->known)
                times.append(text, fact->modified);
            break;
        }
        default: text += name; break;
        }
    }
    return text;
}

}  // namespace app
