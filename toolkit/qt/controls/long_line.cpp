#include "toolkit/qt/controls/long_line.h"

#include "toolkit/qt/core/utf8.h"

#include <QChar>
#include <QString>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace toolkit {

namespace {

// A piece holds about this many UTF-16 units: a handful are on screen.
constexpr std::uint32_t piece_units = 512;
// A full piece waits this much longer for a tab or a space, where no seam shows.
constexpr std::uint32_t seam_search_units = 64;
// A character decided differently after an edit can reach this far.
constexpr std::size_t longest_character = 4;

bool joins_previous(char32_t c)
{
    // Marks, joiners and selectors belong with the character before them.
    return QChar::isMark(c) || c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) ||
        (c >= 0xE0100 && c <= 0xE01EF);
}

}  // namespace

double after_tab(double x, double tab_px) { return (std::floor(x / tab_px) + 1) * tab_px; }

Advances::Advances(const QFont& font) : m_metrics(font)
{
    QTextOption option;
    m_tab_px = option.tabStopDistance() > 0 ? option.tabStopDistance() : 80;
    for (std::size_t c = 0; c < m_ascii.size(); ++c)
        m_ascii[c] = m_metrics.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

double Advances::of(char32_t character)
{
    if (character < m_ascii.size())
        return m_ascii[character];
    auto found = m_other.constFind(character);
    if (found != m_other.constEnd())
        return *found;
    double advance = m_metrics.horizontalAdvance(QString::fromUcs4(&character, 1));
    m_other.insert(character, advance);
    return advance;
}

LongLine::LongLine(std::string_view line, Advances& advances) : m_tab_px(advances.tab_px())
{
    cut(line, 0, line.size(), advances, m_pieces);
}

void LongLine::cut(std::string_view line, std::size_t from, std::size_t to, Advances& advances,
                   std::vector<Piece>& pieces)
{
    Piece piece;
    double x = 0;
    std::size_t start = from;
    // After a tab or a space a seam does not show, so a full piece waits a
    // little for one.
    bool quiet = false;
    auto close = [&](std::size_t at) {
        (piece.has_tab ? piece.rest_px : piece.lead_px) = static_cast<float>(x);
        piece.bytes = static_cast<std::uint32_t>(at - start);
        pieces.push_back(piece);
        piece = Piece{};
        x = 0;
        start = at;
    };
    for_each_code_point(line.substr(from, to - from), [&](char32_t c, const unsigned char* where,
                                                          bool valid) {
        auto at = static_cast<std::size_t>(reinterpret_cast<const char*>(where) - line.data());
        if (!valid)
            c = 0xFFFD;
        if (piece.units >= piece_units + (quiet ? 0 : seam_search_units) && !joins_previous(c))
            close(at);
        if (c == '\t') {
            if (!piece.has_tab) {
                piece.lead_px = static_cast<float>(x);
                piece.has_tab = true;
                x = 0;  // At a stop: what follows no longer depends on where the piece starts.
            } else {
                x = after_tab(x, advances.tab_px());
            }
        } else {
            x += advances.of(c);
        }
        quiet = c == '\t' || c == ' ';
        piece.units += c >= 0x10000 ? 2 : 1;
    });
    if (to > start || pieces.empty())
        close(to);
}

void LongLine::replaced(std::string_view line, std::size_t from, std::size_t removed,
                        std::size_t inserted, Advances& advances)
{
    // Cut again from a piece that starts far enough before the change that
    // no character before it is read differently, to one that ends far
    // enough after it, shifted by what the change added.
    sum();
    std::size_t first =
        piece_of_byte(from > longest_character ? from - longest_character : std::size_t(0));
    std::size_t last_old_end = std::min(m_bytes.back(), from + removed + longest_character);
    std::size_t last = piece_of_byte(last_old_end);
    std::size_t old_end = m_bytes[last + 1];
    std::size_t new_end = old_end - removed + inserted;
    std::vector<Piece> again;
    cut(line, m_bytes[first], new_end, advances, again);
    auto begin = m_pieces.begin() + static_cast<std::ptrdiff_t>(first);
    m_pieces.insert(m_pieces.erase(begin, begin + static_cast<std::ptrdiff_t>(last - first + 1)),
                    again.begin(), again.end());
    m_summed = false;
}

void LongLine::sum() const
{
    if (m_summed)
        return;
    std::size_t count = m_pieces.size();
    m_bytes.resize(count + 1);
    m_units.resize(count + 1);
    m_x.resize(count + 1);
    std::size_t bytes = 0;
    long long units = 0;
    double x = 0;
    for (std::size_t at = 0; at < count; ++at) {
        m_bytes[at] = bytes;
        m_units[at] = static_cast<int>(std::min<long long>(units, INT32_MAX));
        m_x[at] = x;
        const Piece& piece = m_pieces[at];
        bytes += piece.bytes;
        units += piece.units;
        x = piece.has_tab ? after_tab(x + piece.lead_px, m_tab_px) + piece.rest_px
                          : x + piece.lead_px;
    }
    m_bytes[count] = bytes;
    m_units[count] = static_cast<int>(std::min<long long>(units, INT32_MAX));
    m_x[count] = x;
    m_summed = true;
}

std::size_t LongLine::byte(std::size_t piece) const
{
    sum();
    return m_bytes[piece];
}

int LongLine::units(std::size_t piece) const
{
    sum();
    return m_units[piece];
}

double LongLine::x(std::size_t piece) const
{
    sum();
    return m_x[piece];
}

namespace {

template <class T> std::size_t holding(const std::vector<T>& starts, T value)
{
    // The last piece whose start is at or before the value, never the end entry.
    auto after = std::upper_bound(starts.begin(), starts.end() - 1, value);
    return after == starts.begin() ? 0 : static_cast<std::size_t>(after - starts.begin()) - 1;
}

}  // namespace

std::size_t LongLine::piece_of_byte(std::size_t byte) const
{
    sum();
    return holding(m_bytes, byte);
}

std::size_t LongLine::piece_of_units(int units) const
{
    sum();
    return holding(m_units, units);
}

std::size_t LongLine::piece_of_x(double x) const
{
    sum();
    return holding(m_x, x);
}

void LongLine::segments(std::string_view line, std::size_t piece, Advances& advances,
                        const std::function<bool(const Segment&)>& visit) const
{
    sum();
    for (; piece < m_pieces.size(); ++piece) {
        std::size_t piece_end = m_bytes[piece + 1];
        Segment segment{m_bytes[piece], m_bytes[piece], m_x[piece]};
        double x = segment.x;
        bool more = true;
        for_each_code_point(
            line.substr(segment.from, piece_end - segment.from),
            [&](char32_t c, const unsigned char* where, bool valid) {
                if (!more)
                    return;
                std::size_t at = static_cast<std::size_t>(reinterpret_cast<const char*>(where) -
                                                          line.data());
                if (c == '\t') {
                    segment.to = at;
                    more = visit(segment);
                    x = after_tab(x, m_tab_px);
                    segment = Segment{at + 1, at + 1, x};
                    return;
                }
                x += advances.of(valid ? c : 0xFFFD);
            });
        if (!more)
            return;
        segment.to = piece_end;
        // A piece that ends with a tab leaves an empty run, which only the
        // line's end needs, for the caret after a last tab.
        bool last = piece + 1 == m_pieces.size();
        if ((segment.from < piece_end || last) && !visit(segment))
            return;
    }
}

}  // namespace toolkit
