// The forms the file list's names can be copied in, beside the text box's
// own: each a whole text, written in one pass straight into what the
// clipboard serves, so a million names cost about what copying them once does.
//
//   toolkit::ClipboardWriter text(app::expected_bytes(app::NameForm::Csv, *names));
//   app::write_names(text, app::NameForm::Csv, *names);
//   toolkit::put_clipboard_text(*std::move(text).finish());
#pragma once

#include "toolkit/names.h"
#include "toolkit/services.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>

namespace app {

enum class NameForm {
    Lines,  // LF between names, none at the end.
    WindowsLines,  // CRLF between names.
    Tabs,  // One line, a tab between names; a name holding a tab, a line
           // break or a quote is quoted, its quotes doubled.
    Csv,  // A header row "name", then a row for each, quoted as RFC 4180 asks.
    WithoutExtensions,  // One per line, each without its last dot's suffix.
    FullPaths,  // One per line, the folder's path joined to each.
    Table,  // Tab-separated rows under "name", "size", "modified", names
            // quoted as in Tabs.
};

// A name without its extension: up to its last dot, unless that dot starts
// the name (".profile") or there is none.
std::string_view without_extension(std::string_view name);

// Moments as ISO 8601 local time with the offset from UTC in force then
// ("2026-12-09T14:03:07+01:00"). It asks the C library for the offset once
// for each quarter hour it meets, as files of a folder tend to share them.
class LocalTimes {
public:
    // Good until the next call.
    std::string_view text_of(std::int64_t seconds_since_1970);

private:
    std::int64_t m_quarter = INT64_MIN;
    long m_offset = 0;
    char m_text[48];
};

// What `form` takes for `names` where no name is to be quoted or marked.
std::size_t expected_bytes(NameForm form, const toolkit::ListedNames& names);
// Writes `names` in `form`; `facts`, one for each name, only for the table
// (a name whose facts are not known has its size and time left empty).
// False when `stop` was asked for before the end: what is written is then
// only a part, for no clipboard.
bool write_names(toolkit::ClipboardWriter& text, NameForm form, const toolkit::ListedNames& names,
                 std::span<const toolkit::FileFacts> facts = {}, std::stop_token stop = {});

}  // namespace app
