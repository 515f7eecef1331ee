// The text box's one copy of its text: the bytes exactly as written, an
// index of where each line starts, and the edits that can be undone.
//
// A carriage return, a line feed or the pair of the two ends a line. To
// assistive technology and input methods the text is its lines joined by
// one line feed each, counted in UTF-16 units; those offsets are worked out
// on the first question and then kept up to date by each edit, so no edit
// or question costs more than the lines it touches (plus one pass over the
// index, which is a few milliseconds at a million lines).
//
//   TextBuffer buffer;
//   buffer.assign("\ra.txt\rb.txt");       // Three lines, the first empty.
//   buffer.replace(1, 1, "x", Typing::Merge);
//   buffer.undo();                          // Back to the text as assigned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// Whether a typed insertion may join the undo step before it.
enum class Typing { Merge, Alone };

// A step of the history: from `at`, `inserted` bytes stand in the buffer
// where `removed` stood. Taking it back puts `removed` over them, and what
// that takes out is kept to put back again, so the bytes that came in are
// held once, by the buffer, and never copied into the history.
struct TextChange {
    std::size_t at = 0;
    std::string removed;
    std::size_t inserted = 0;
};

// What an edit, an undo or a redo did to the bytes: from `at`, `removed`
// bytes went and `inserted` came, which the buffer now holds.
struct TextEdit {
    std::size_t at = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
    bool removed_break = false;  // Whether what went held a line break.
};

class TextBuffer {
public:
    // Replaces everything and forgets the history; gives back the text that
    // went. Throws `Error` for a text beyond 4 GiB, as `replace` does for an
    // edit that would make one.
    std::string assign(std::string bytes);
    const std::string& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

    std::size_t line_count() const { return m_starts.size(); }
    std::size_t line_start(std::size_t line) const { return m_starts[line]; }
    // Where the line's break starts (or the text ends).
    std::size_t line_end(std::size_t line) const;
    std::string_view line_bytes(std::size_t line) const;
    std::size_t line_of(std::size_t byte) const;
    // The line with the most bytes when the text was assigned.
    std::size_t longest_line() const { return m_longest; }

    // Offsets in UTF-16 units, lines joined by one unit each.
    int unit_count() const;
    int line_units(std::size_t line) const;
    int units_at(std::size_t byte) const;
    std::size_t byte_at_units(int units) const;
    // The byte where a column of a line (in UTF-16 units) starts; past its
    // end, the line's end.
    std::size_t byte_in_line(std::size_t line, int column) const;

    // Replaces the bytes in [from, to) and says what changed. Positions are
    // clamped to the text.
    TextEdit replace(std::size_t from, std::size_t to, std::string_view with,
                     Typing typing = Typing::Alone);
    // The same for the whole text, taking the bytes over rather than copying
    // them, as a paste into an empty box can.
    TextEdit replace_all_taking(std::string with);
    bool can_undo() const { return !m_done.empty(); }
    bool can_redo() const { return !m_undone.empty(); }
    // The steps undo and redo would take next, if any.
    const TextChange* undo_step() const { return m_done.empty() ? nullptr : &m_done.back(); }
    const TextChange* redo_step() const { return m_undone.empty() ? nullptr : &m_undone.back(); }
    // What each did, or nothing when there was none to take back.
    std::optional<TextEdit> undo();
    std::optional<TextEdit> redo();

private:
    // Replaces [from, to) and gives back the step that would take it back.
    TextChange apply(std::size_t from, std::size_t to, std::string_view with);
    TextChange apply_to_all(std::string with);
    // Keeps a change as a step of the history, joining typing to the step before.
    void record(TextChange change, Typing typing);
    // Takes back the last step of one history and keeps its opposite in the other.
    std::optional<TextEdit> take_back(std::vector<TextChange>& from, std::vector<TextChange>& to);
    // Keeps the offsets and marks true after an edit inside one line that
    // adds or removes no break, reading only the bytes near it.
    void shift_units_within_line(std::size_t line, std::size_t from, std::string_view removed,
                                 std::string_view with);
    void index_all();
    void ensure_units() const;
    // The UTF-16 units of the first `within` bytes of a line.
    long long units_within(std::size_t line, std::size_t within) const;
    // Whether the line is long enough to be marked, marking it if so.
    bool marked(std::size_t line) const;

    std::string m_bytes;
    // Four bytes a line: a scan of a million names keeps 4 MB less. The
    // text is held to 4 GiB for them.
    std::vector<std::uint32_t> m_starts{0};
    // Each line's first unit, and the count past the last; empty until asked.
    mutable std::vector<int> m_units;
    // Along one long line, the offsets at a character every 64 KiB, so that
    // a question about a place in it reads only the bytes since the mark
    // before it; marks the last long line asked about, patched by edits in it.
    struct Mark {
        std::size_t byte = 0;  // Within the line; never a continuation byte.
        long long units = 0;
    };
    mutable std::size_t m_marked_line = SIZE_MAX;
    mutable std::vector<Mark> m_marks;
    std::size_t m_longest = 0;
    std::vector<TextChange> m_done;
    std::vector<TextChange> m_undone;
    // Whether the last step done may still grow by typing.
    bool m_typing_open = false;
};

// The UTF-16 units of UTF-8 bytes, as Qt counts them: a code point past the
// basic plane is two, a byte that starts no well-formed character one.
std::size_t utf16_units(std::string_view bytes);
// The byte where the character at a count of those units starts; past the
// end, the end.
std::size_t byte_at_utf16(std::string_view bytes, int units);

}  // namespace toolkit
