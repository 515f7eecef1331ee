// A line of the text box too long to lay out whole, cut into pieces of a
// few hundred characters that are placed, drawn and hit-tested one at a
// time, so that a key pressed in a line of twenty megabytes costs what the
// few pieces on screen cost.
//
// Laying out a line shapes every character in it: 2 MB take seconds, and a
// caret move, a paint and a click each did it again. Instead a piece is
// placed by the sum of its characters' advances, which is cheap to add up
// and to keep up to date as the line is edited, and only the tab-free runs
// drawn (segments) are laid out, each at the place the sums give it. Within a
// segment the caret, the selection and the text drawn come from the same
// layout, so they agree; a run of more than a piece has a seam where kerning
// across the cut is not applied, a pixel at most. A tab goes to the next
// stop, as a laid-out line's does.
//
//   Advances advances(font);
//   LongLine line(bytes, advances);
//   std::size_t piece = line.piece_of_x(x);
//   line.segments(bytes, piece, advances, [&](const LongLine::Segment& segment) {
//       ...; return true;  // false stops.
//   });
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace toolkit {

// What each character advances the pen by in one font, remembered.
class Advances {
public:
    explicit Advances(const QFont& font);
    double of(char32_t character);
    double tab_px() const { return m_tab_px; }

private:
    QFontMetricsF m_metrics;
    double m_tab_px;
    std::array<double, 128> m_ascii{};
    QHash<char32_t, double> m_other;
};

// Where a tab that starts at x ends: the next stop past x, as a laid-out
// line's tab does.
double after_tab(double x, double tab_px);

class LongLine {
public:
    // Lines of more bytes than this are cut; shorter ones are laid out whole.
    static constexpr std::size_t least_bytes = 4096;

    LongLine(std::string_view line, Advances& advances);
    // The bytes [from, from + removed) of the line became `inserted` bytes,
    // none of them a line break; `line` is the line as it now is. Only the
    // pieces around the change are measured again.
    void replaced(std::string_view line, std::size_t from, std::size_t removed,
                  std::size_t inserted, Advances& advances);

    std::size_t piece_count() const { return m_pieces.size(); }
    // Where a piece starts, within the line; piece_count() gives the end.
    std::size_t byte(std::size_t piece) const;
    int units(std::size_t piece) const;
    double x(std::size_t piece) const;
    double width() const { return x(piece_count()); }
    // The piece that holds a byte, a unit or a point; the last for the end.
    std::size_t piece_of_byte(std::size_t byte) const;
    std::size_t piece_of_units(int units) const;
    std::size_t piece_of_x(double x) const;

    // A run without a tab inside one piece, in bytes of the line, and where
    // it starts; a tab follows it where `to` is not the piece's end.
    struct Segment {
        std::size_t from = 0;
        std::size_t to = 0;
        double x = 0;
    };
    // Calls visit on the segments of a piece and those after it, in order,
    // until it returns false.
    void segments(std::string_view line, std::size_t piece, Advances& advances,
                  const std::function<bool(const Segment&)>& visit) const;

private:
    struct Piece {
        std::uint32_t bytes = 0;
        std::uint32_t units = 0;
        // The advance up to the first tab (or of all, without one), and
        // from the stop that tab reaches to the piece's end.
        float lead_px = 0;
        float rest_px = 0;
        bool has_tab = false;
    };
    // Cuts [from, to) of the line into pieces.
    static void cut(std::string_view line, std::size_t from, std::size_t to, Advances& advances,
                    std::vector<Piece>& pieces);
    void sum() const;

    std::vector<Piece> m_pieces;
    // Each piece's start, summed when first asked after a change, and one
    // entry past the last for the end.
    mutable bool m_summed = false;
    mutable std::vector<std::size_t> m_bytes;
    mutable std::vector<int> m_units;
    mutable std::vector<double> m_x;
    double m_tab_px;
};

}  // namespace toolkit
