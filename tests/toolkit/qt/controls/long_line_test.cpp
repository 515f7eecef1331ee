#include "toolkit/qt/controls/long_line.h"
#include "toolkit/qt/core/utf8.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <map>
#include <string>

namespace {

using toolkit::Advances;
using toolkit::LongLine;

// Where each character of a whole line starts, walked in one pass, as the
// pieces must place it however they were cut and patched.
struct Walked {
    std::map<std::size_t, double> x;
    std::map<std::size_t, int> units;
};

Walked walk(std::string_view line, Advances& advances)
{
    Walked walked;
    double x = 0;
    int units = 0;
    toolkit::for_each_code_point(line, [&](char32_t c, const unsigned char* at, bool valid) {
        auto byte = static_cast<std::size_t>(reinterpret_cast<const char*>(at) - line.data());
        walked.x[byte] = x;
        walked.units[byte] = units;
        x = c == '\t' ? toolkit::after_tab(x, advances.tab_px()) : x + advances.of(valid ? c : 0xFFFD);
        units += valid && c >= 0x10000 ? 2 : 1;
    });
    walked.x[line.size()] = x;
    walked.units[line.size()] = units;
    return walked;
}

void expect_placed_as_walked(const LongLine& pieces, std::string_view line, Advances& advances)
{
    Walked walked = walk(line, advances);
    ASSERT_EQ(pieces.byte(pieces.piece_count()), line.size());
    EXPECT_NEAR(pieces.width(), walked.x[line.size()], 0.01);
    for (std::size_t piece = 0; piece < pieces.piece_count(); ++piece) {
        SCOPED_TRACE(piece);
        std::size_t start = pieces.byte(piece);
        ASSERT_TRUE(walked.x.count(start)) << "a piece starts inside a character";
        EXPECT_NEAR(pieces.x(piece), walked.x[start], 0.01);
        EXPECT_EQ(pieces.units(piece), walked.units[start]);
        EXPECT_EQ(pieces.piece_of_byte(start), piece);
    }
    // The runs cover every byte but the tabs, each where the walk puts it.
    std::size_t next = 0;
    pieces.segments(line, 0, advances, [&](const LongLine::Segment& run) {
        EXPECT_EQ(run.from, next);
        EXPECT_EQ(line.substr(run.from, run.to - run.from).find('\t'), std::string_view::npos);
        EXPECT_NEAR(run.x, walked.x[run.from], 0.01);
        next = run.to < line.size() && line[run.to] == '\t' ? run.to + 1 : run.to;
        return true;
    });
    EXPECT_EQ(next, line.size());
}

std::string names(int count)
{
    std::string line;
    for (int number = 0; number < count; ++number)
        line += "caf\xC3\xA9 " + std::to_string(number) + (number % 7 ? "\t" : "\xF0\x9F\x98\x80 ");
    return line + "bad \xFF byte";
}

TEST(LongLine, PlacesEveryPieceWhereAWalkOfTheWholeLineDoesThroughEdits)
{
    Advances advances(QApplication::font());
    std::string line = names(1200);
    LongLine pieces(line, advances);
    ASSERT_GT(pieces.piece_count(), 10u);
    expect_placed_as_walked(pieces, line, advances);

    struct Edit {
        const char* what;
        std::size_t from, removed;
        std::string inserted;
    };
    const std::size_t middle = line.size() / 2;
    const Edit edits[] = {
        {"a letter at the start", 0, 0, "x"},
        {"a tab in the middle, moving every stop after it", middle, 0, "\t"},
        {"across several pieces", middle - 3000, 6000, "joined"},
        {"a character cut in two, then made whole", 5, 2, "\xC3"},
        {"the rest of the character", 6, 0, "\xA9"},
        {"at the end", line.size() - 20, 0, std::string(3000, 'w')},
        {"almost everything", 10, line.size() - 40, ""},
        {"a long run of tabs and spaces", 10, 0, std::string(700, '\t') + std::string(900, ' ')},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        std::size_t from = std::min(edit.from, line.size());
        std::size_t removed = std::min(edit.removed, line.size() - from);
        line.replace(from, removed, edit.inserted);
        pieces.replaced(line, from, removed, edit.inserted.size(), advances);
        expect_placed_as_walked(pieces, line, advances);
    }

    // A character made whole across a cut: the piece before the edit is read anew.
    std::string letters(5000, 'a');
    LongLine cut_evenly(letters, advances);
    std::size_t cut = cut_evenly.byte(1);
    letters[cut - 1] = '\xC3';
    cut_evenly.replaced(letters, cut - 1, 1, 1, advances);
    ASSERT_EQ(cut_evenly.byte(1), cut);
    letters.insert(cut, "\xA9");
    cut_evenly.replaced(letters, cut, 0, 1, advances);
    expect_placed_as_walked(cut_evenly, letters, advances);

    // And one whose lead byte comes in before a cut and joins the bytes after it.
    std::string stray(5000, 'a');
    stray.replace(cut - 1, 3, "\x9F\x98\x80");
    LongLine joined(stray, advances);
    ASSERT_EQ(joined.byte(1), cut);
    stray[cut - 2] = '\xF0';
    joined.replaced(stray, cut - 2, 1, 1, advances);
    expect_placed_as_walked(joined, stray, advances);
}

TEST(LongLine, FindsThePieceUnderAPointAndATabEndsAtTheNextStop)
{
    Advances advances(QApplication::font());
    std::string line = names(900);
    LongLine pieces(line, advances);
    for (double x = 0; x < pieces.width(); x += pieces.width() / 97) {
        std::size_t piece = pieces.piece_of_x(x);
        EXPECT_LE(pieces.x(piece), x);
        EXPECT_GT(pieces.x(piece + 1), x);
    }
    EXPECT_EQ(pieces.piece_of_x(-5), 0u);
    EXPECT_EQ(pieces.piece_of_x(pieces.width() + 5), pieces.piece_count() - 1);

    double tab = advances.tab_px();
    EXPECT_DOUBLE_EQ(toolkit::after_tab(0, tab), tab);  // A tab at a stop goes to the next.
    EXPECT_DOUBLE_EQ(toolkit::after_tab(tab - 1, tab), tab);
    EXPECT_DOUBLE_EQ(toolkit::after_tab(2.5 * tab, tab), 3 * tab);
}

}  // namespace
