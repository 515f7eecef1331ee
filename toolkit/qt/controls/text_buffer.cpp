#include "toolkit/qt/controls/text_buffer.h"

#include "toolkit/qt/core/utf8.h"

#include "toolkit/object.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace toolkit {

namespace {

bool is_break(char c) { return c == '\r' || c == '\n'; }

bool has_break(std::string_view bytes)
{
    // An empty view may have no data at all, which memchr must not be given.
    if (bytes.empty())
        return false;
    return std::memchr(bytes.data(), '\r', bytes.size()) ||
        std::memchr(bytes.data(), '\n', bytes.size());
}

// Finds the breaks of a text in order, each kind with memchr, so that a
// paste of many megabytes is indexed at the speed of memory.
class BreakFinder {
public:
    BreakFinder(std::string_view bytes, std::size_t from)
        : m_bytes(bytes), m_cr(find(from, '\r')), m_lf(find(from, '\n'))
    {
    }
    // The first break at or after `at`, or the text's size.
    std::size_t next(std::size_t at)
    {
        if (m_cr < at)
            m_cr = find(at, '\r');
        if (m_lf < at)
            m_lf = find(at, '\n');
        return std::min(m_cr, m_lf);
    }

private:
    std::size_t find(std::size_t at, char c) const
    {
        if (at >= m_bytes.size())
            return m_bytes.size();
        const void* found = std::memchr(m_bytes.data() + at, c, m_bytes.size() - at);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - m_bytes.data())
                     : m_bytes.size();
    }

    std::string_view m_bytes;
    std::size_t m_cr;
    std::size_t m_lf;
};

// A byte that is not a continuation byte always starts a character, however
// the bytes before it read: counting may start there.
bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

constexpr std::size_t mark_spacing = std::size_t(64) << 10;

int clamp_units(long long units) { return static_cast<int>(std::min<long long>(units, INT_MAX)); }

void check_size(std::size_t bytes)
{
    if (bytes > std::numeric_limits<std::uint32_t>::max())
        throw Error("The text is too long for the box.");
}

}  // namespace

std::size_t utf16_units(std::string_view bytes)
{
    if (is_ascii(bytes))
        return bytes.size();
    std::size_t units = 0;
    for_each_code_point(bytes, [&](char32_t c, const unsigned char*, bool valid) {
        units += valid && c >= 0x10000 ? 2 : 1;
    });
    return units;
}

std::size_t byte_at_utf16(std::string_view bytes, int units)
{
    if (is_ascii(bytes))
        return std::min(bytes.size(), static_cast<std::size_t>(std::max(units, 0)));
    std::size_t found = bytes.size();
    int counted = 0;
    for_each_code_point(bytes, [&](char32_t c, const unsigned char* at, bool valid) {
        if (found == bytes.size() && counted >= units)
            found = static_cast<std::size_t>(reinterpret_cast<const char*>(at) - bytes.data());
        counted += valid && c >= 0x10000 ? 2 : 1;
    });
    return found;
}

std::string TextBuffer::assign(std::string bytes)
{
    check_size(bytes.size());
    std::string gone = std::exchange(m_bytes, std::move(bytes));
    std::vector<TextChange>().swap(m_done);
    std::vector<TextChange>().swap(m_undone);
    m_typing_open = false;
    m_marked_line = SIZE_MAX;
    index_all();
    return gone;
}

void TextBuffer::index_all()
{
    // Fresh vectors: a cleared one would keep a million lines' worth of room.
    std::size_t breaks = static_cast<std::size_t>(std::count(m_bytes.begin(), m_bytes.end(), '\r') +
                                                  std::count(m_bytes.begin(), m_bytes.end(), '\n'));
    std::vector<std::uint32_t> starts;
    starts.reserve(breaks + 1);
    starts.push_back(0);
    m_starts.swap(starts);
    std::vector<int>().swap(m_units);
    m_longest = 0;
    std::size_t longest_bytes = 0;
    std::size_t size = m_bytes.size();
    BreakFinder finder(m_bytes, 0);
    for (std::size_t at = finder.next(0); at < size; at = finder.next(at + 1)) {
        if (at - m_starts.back() > longest_bytes) {
            longest_bytes = at - m_starts.back();
            m_longest = m_starts.size() - 1;
        }
        if (m_bytes[at] == '\r' && at + 1 < size && m_bytes[at + 1] == '\n')
            ++at;
        m_starts.push_back(static_cast<std::uint32_t>(at + 1));
    }
    if (size - m_starts.back() > longest_bytes)
        m_longest = m_starts.size() - 1;
}

std::size_t TextBuffer::line_end(std::size_t line) const
{
    std::size_t end = line + 1 < m_starts.size() ? m_starts[line + 1] : m_bytes.size();
    while (end > m_starts[line] && is_break(m_bytes[end - 1]))
        --end;
    return end;
}

std::string_view TextBuffer::line_bytes(std::size_t line) const
{
    return std::string_view(m_bytes).substr(m_starts[line], line_end(line) - m_starts[line]);
}

std::size_t TextBuffer::line_of(std::size_t byte) const
{
    auto after = std::upper_bound(m_starts.begin(), m_starts.end(), byte);
    return static_cast<std::size_t>(after - m_starts.begin()) - 1;
}

void TextBuffer::ensure_units() const
{
    if (!m_units.empty())
        return;
    m_units.reserve(m_starts.size() + 1);
    long long units = 0;
    for (std::size_t line = 0; line < m_starts.size(); ++line) {
        m_units.push_back(clamp_units(units));
        units += static_cast<long long>(utf16_units(line_bytes(line))) + 1;
    }
    m_units.push_back(clamp_units(units - 1));
}

int TextBuffer::unit_count() const
{
    ensure_units();
    return m_units.back();
}

int TextBuffer::line_units(std::size_t line) const
{
    ensure_units();
    return m_units[std::min(line, m_starts.size())];
}

bool TextBuffer::marked(std::size_t line) const
{
    std::string_view bytes = line_bytes(line);
    if (bytes.size() < 2 * mark_spacing)
        return false;
    if (m_marked_line == line)
        return true;
    m_marks.clear();
    long long units = 0;
    std::size_t counted = 0;
    for (std::size_t at = mark_spacing; at < bytes.size(); at += mark_spacing) {
        while (at < bytes.size() && is_continuation(bytes[at]))
            ++at;
        if (at >= bytes.size())
            break;
        units += static_cast<long long>(utf16_units(bytes.substr(counted, at - counted)));
        m_marks.push_back({at, units});
        counted = at;
    }
    m_marked_line = line;
    return true;
}

long long TextBuffer::units_within(std::size_t line, std::size_t within) const
{
    Mark from;
    if (marked(line)) {
        auto after = std::upper_bound(
            m_marks.begin(), m_marks.end(), within,
            [](std::size_t byte, const Mark& mark) { return byte < mark.byte; });
        if (after != m_marks.begin())
            from = *(after - 1);
    }
    return from.units +
        static_cast<long long>(utf16_units(line_bytes(line).substr(from.byte, within - from.byte)));
}

int TextBuffer::units_at(std::size_t byte) const
{
    byte = std::min(byte, m_bytes.size());
    std::size_t line = line_of(byte);
    std::size_t within = std::min(byte, line_end(line)) - m_starts[line];
    return clamp_units(line_units(line) + units_within(line, within));
}

std::size_t TextBuffer::byte_at_units(int units) const
{
    ensure_units();
    units = std::clamp(units, 0, m_units.back());
    auto after = std::upper_bound(m_units.begin(), m_units.end() - 1, units);
    std::size_t line = static_cast<std::size_t>(after - m_units.begin()) - 1;
    return byte_in_line(line, units - m_units[line]);
}

std::size_t TextBuffer::byte_in_line(std::size_t line, int column) const
{
    std::string_view bytes = line_bytes(line);
    // Counting starts from the last mark at or before the column, if any.
    std::size_t skipped = 0;
    long long skipped_units = 0;
    if (marked(line)) {
        auto after = std::upper_bound(
            m_marks.begin(), m_marks.end(), static_cast<long long>(column),
            [](long long units, const Mark& mark) { return units < mark.units; });
        if (after != m_marks.begin()) {
            skipped = (after - 1)->byte;
            skipped_units = (after - 1)->units;
        }
    }
    column -= static_cast<int>(std::min<long long>(skipped_units, column));
    return m_starts[line] + skipped + byte_at_utf16(bytes.substr(skipped), column);
}

TextChange TextBuffer::apply(std::size_t from, std::size_t to, std::string_view with)
{
    // Only the lines around the change can gain or lose a break: a carriage
    // return just before it may pair with a line feed just after. Starts two
    // bytes past its end and beyond only move.
    check_size(m_bytes.size() - (to - from) + with.size());
    if (from == 0 && to == m_bytes.size())
        return apply_to_all(std::string(with));
    std::size_t first = from > 0 ? line_of(from - 1) : 0;
    // A break that ends just before the change may pair with what comes in:
    // two bytes back are enough, and the rest of a long line is not read.
    std::size_t region = std::max<std::size_t>(m_starts[first], from > 2 ? from - 2 : 0);
    auto kept = std::lower_bound(m_starts.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                                 m_starts.end(), to + 2);
    std::size_t kept_line = static_cast<std::size_t>(kept - m_starts.begin());
    int kept_units_before = m_units.empty() ? 0 : m_units[kept_line];

    TextChange change{from, m_bytes.substr(from, to - from), with.size()};
    std::size_t size = m_bytes.size() - (to - from) + with.size();
    // Room to type into after a big paste, so the next key does not copy it all.
    if (size > m_bytes.capacity())
        m_bytes.reserve(size + size / 16);
    m_bytes.replace(from, to - from, with);
    auto moved = static_cast<std::ptrdiff_t>(with.size()) - static_cast<std::ptrdiff_t>(to - from);

    std::vector<std::uint32_t> found;
    std::size_t bound = std::min(from + with.size() + 2, m_bytes.size() + 1);
    BreakFinder breaks(m_bytes, region);
    for (std::size_t at = breaks.next(region); at < m_bytes.size() && at + 1 < bound;
         at = breaks.next(at + 1)) {
        if (m_bytes[at] == '\r' && at + 1 < m_bytes.size() && m_bytes[at + 1] == '\n')
            ++at;
        if (at + 1 < bound)
            found.push_back(static_cast<std::uint32_t>(at + 1));
    }
    auto erase_from = m_starts.begin() + static_cast<std::ptrdiff_t>(first) + 1;
    auto resume = m_starts.insert(m_starts.erase(erase_from, kept), found.begin(), found.end()) +
        static_cast<std::ptrdiff_t>(found.size());
    for (auto it = resume; it != m_starts.end(); ++it)
        *it = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(*it) + moved);

    bool same_lines = found.size() == kept_line - first - 1;
    std::size_t line = line_of(from);
    if (same_lines && !has_break(change.removed) && !has_break(with)) {
        shift_units_within_line(line, from, change.removed, with);
        return change;
    }
    m_marked_line = SIZE_MAX;
    if (!m_units.empty()) {
        std::size_t new_kept = static_cast<std::size_t>(resume - m_starts.begin());
        std::vector<int> units;
        long long count = m_units[first];
        for (std::size_t line = first; line < new_kept; ++line) {
            if (line > first)
                units.push_back(clamp_units(count));
            count += static_cast<long long>(utf16_units(line_bytes(line))) + 1;
        }
        if (new_kept == m_starts.size())
            --count;  // The last line has no break after it.
        int shift = clamp_units(count) - kept_units_before;
        auto units_from = m_units.begin() + static_cast<std::ptrdiff_t>(first) + 1;
        auto units_kept = m_units.begin() + static_cast<std::ptrdiff_t>(kept_line);
        auto units_resume =
            m_units.insert(m_units.erase(units_from, units_kept), units.begin(), units.end()) +
            static_cast<std::ptrdiff_t>(units.size());
        for (auto it = units_resume; it != m_units.end(); ++it)
            *it += shift;
    }
    return change;
}

void TextBuffer::shift_units_within_line(std::size_t line, std::size_t from,
                                         std::string_view removed, std::string_view with)
{
    // Count again from the last character start before the edit to the first
    // one after it, in the line as it was and as it is: the difference is
    // what every later offset moves by.
    std::string_view bytes = line_bytes(line);
    std::size_t edit = from - m_starts[line];
    std::size_t start = edit;
    while (start > 0 && (start == edit || is_continuation(bytes[start])))
        --start;
    std::size_t end = edit + with.size();
    while (end < bytes.size() && is_continuation(bytes[end]))
        ++end;
    std::string before(bytes.substr(start, edit - start));
    before.append(removed).append(bytes.substr(edit + with.size(), end - edit - with.size()));
    long long shift = static_cast<long long>(utf16_units(bytes.substr(start, end - start))) -
        static_cast<long long>(utf16_units(before));
    if (!m_units.empty())
        for (auto it = m_units.begin() + static_cast<std::ptrdiff_t>(line) + 1; it != m_units.end();
             ++it)
            *it = clamp_units(*it + shift);
    if (m_marked_line == line) {
        // Marks inside the edit may no longer start a character: they go.
        std::size_t old_end = end - with.size() + removed.size();
        auto moved = static_cast<std::ptrdiff_t>(with.size()) -
            static_cast<std::ptrdiff_t>(removed.size());
        std::vector<Mark> kept;
        for (const Mark& mark : m_marks) {
            if (mark.byte <= start)
                kept.push_back(mark);
            else if (mark.byte >= old_end)
                kept.push_back(
                    {static_cast<std::size_t>(static_cast<std::ptrdiff_t>(mark.byte) + moved),
                     mark.units + shift});
        }
        m_marks.swap(kept);
    }
}

TextChange TextBuffer::apply_to_all(std::string with)
{
    // The text that goes is the step's to keep, moved rather than copied.
    std::size_t inserted = with.size();
    TextChange change{0, std::exchange(m_bytes, std::move(with)), inserted};
    m_marked_line = SIZE_MAX;
    index_all();
    return change;
}

TextEdit TextBuffer::replace_all_taking(std::string with)
{
    check_size(with.size());
    if (with.empty())
        return replace(0, m_bytes.size(), {});
    TextChange change = apply_to_all(std::move(with));
    TextEdit made{0, change.removed.size(), change.inserted, has_break(change.removed)};
    record(std::move(change), Typing::Alone);
    return made;
}

void TextBuffer::record(TextChange change, Typing typing)
{
    m_undone.clear();
    bool joins = typing == Typing::Merge && m_typing_open && change.removed.empty() &&
        !m_done.empty() && m_done.back().at + m_done.back().inserted == change.at;
    if (joins)
        m_done.back().inserted += change.inserted;
    else
        m_done.push_back(std::move(change));
    m_typing_open = typing == Typing::Merge;
}

TextEdit TextBuffer::replace(std::size_t from, std::size_t to, std::string_view with,
                             Typing typing)
{
    to = std::min(to, m_bytes.size());
    from = std::min(from, to);
    if (from == to && with.empty())
        return {from, 0, 0, false};
    TextChange change = apply(from, to, with);
    TextEdit made{from, change.removed.size(), with.size(), has_break(change.removed)};
    record(std::move(change), typing);
    return made;
}

std::optional<TextEdit> TextBuffer::undo()
{
    return take_back(m_done, m_undone);
}

std::optional<TextEdit> TextBuffer::redo()
{
    return take_back(m_undone, m_done);
}

std::optional<TextEdit> TextBuffer::take_back(std::vector<TextChange>& from,
                                              std::vector<TextChange>& to)
{
    if (from.empty())
        return std::nullopt;
    TextChange step = std::move(from.back());
    from.pop_back();
    m_typing_open = false;
    TextChange again = apply(step.at, step.at + step.inserted, step.removed);
    TextEdit made{step.at, again.removed.size(), again.inserted, has_break(again.removed)};
    to.push_back(std::move(again));
    return made;
}

}  // namespace toolkit
