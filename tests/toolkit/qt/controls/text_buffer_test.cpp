#include "toolkit/qt/controls/text_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using toolkit::TextBuffer;
using toolkit::Typing;

// An edited buffer must index its lines and offsets exactly as one given
// the same bytes afresh.
void expect_indexed_afresh(const TextBuffer& edited)
{
    TextBuffer fresh;
    fresh.assign(edited.bytes());
    ASSERT_EQ(edited.line_count(), fresh.line_count());
    for (std::size_t line = 0; line < fresh.line_count(); ++line) {
        ASSERT_EQ(edited.line_start(line), fresh.line_start(line)) << "line " << line;
        ASSERT_EQ(edited.line_units(line), fresh.line_units(line)) << "line " << line;
    }
    ASSERT_EQ(edited.unit_count(), fresh.unit_count());
}

TEST(TextBuffer, EditsNextToBreaksIndexAsTheSameTextAfresh)
{
    // Each edit may join or part a carriage return and a line feed.
    struct Case {
        const char* text;
        std::size_t from, to;
        const char* with;
    };
    const Case cases[] = {
        {"a\r\nb", 2, 2, "x"},   {"a\rx\nb", 2, 3, ""},
        {"a\r", 2, 2, "\n"},     {"a\nb", 1, 1, "\r"},
        {"\r\r\r", 1, 2, ""},    {"ab", 1, 1, "\r\n\r"},
        {"\ra\rb\rc", 0, 6, ""}, {"x", 0, 1, "\r\xC3\xA9\r\xF0\x9F\x98\x80"},
        {"a\r\n", 1, 2, ""},     {"\n\r", 1, 1, "\n\r"},
    };
    // Far into a long line too, where the edit reads only the bytes near it.
    for (const std::string lead : {"", "a long line of names\t"}) {
        for (const Case& each : cases) {
            SCOPED_TRACE(testing::PrintToString(lead + each.text));
            TextBuffer buffer;
            buffer.assign(lead + each.text);
            buffer.unit_count();  // The offsets are kept up to date once asked for.
            buffer.replace(lead.size() + each.from, lead.size() + each.to, each.with);
            expect_indexed_afresh(buffer);
        }
    }
}

TEST(TextBuffer, ManyRandomEditsKeepTheIndexAndUndoAllTheWayBack)
{
    const std::string pieces[] = {
        "\r", "\n", "\r\n", "a", "name.txt", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xFF", ""};
    std::mt19937 random(7);
    std::string original;
    for (int line = 0; line < 200; ++line)
        original += "\rfile " + std::to_string(line);
    TextBuffer buffer;
    buffer.assign(original);
    buffer.unit_count();
    for (int step = 0; step < 400; ++step) {
        std::size_t from = random() % (buffer.size() + 1);
        std::size_t to = std::min(buffer.size(), from + random() % 4);
        buffer.replace(from, to, pieces[random() % std::size(pieces)]);
        if (step % 50 == 0)
            expect_indexed_afresh(buffer);
    }
    expect_indexed_afresh(buffer);
    std::string edited = buffer.bytes();
    while (buffer.undo()) { }
    EXPECT_EQ(buffer.bytes(), original);
    expect_indexed_afresh(buffer);
    while (buffer.redo()) { }
    EXPECT_EQ(buffer.bytes(), edited);
}

TEST(TextBuffer, MapsOffsetsInALongLineAsAfreshThroughEditsInIt)
{
    // Far longer than the stretch between two of the line's marks.
    std::string line;
    for (int number = 0; line.size() < 600'000; ++number)
        line += "caf\xC3\xA9 " + std::to_string(number) + (number % 5 ? "\t" : "\xF0\x9F\x98\x80\xFF");
    TextBuffer buffer;
    buffer.assign("\rfirst\r" + line + "\rlast");
    auto expect_mapped_afresh = [&] {
        TextBuffer fresh;
        fresh.assign(buffer.bytes());
        for (std::size_t byte = 0; byte < fresh.size(); byte += 7919) {
            ASSERT_EQ(buffer.units_at(byte), fresh.units_at(byte)) << "byte " << byte;
            int units = fresh.units_at(byte);
            ASSERT_EQ(buffer.byte_at_units(units), fresh.byte_at_units(units)) << "units " << units;
        }
        expect_indexed_afresh(buffer);
    };
    expect_mapped_afresh();
    struct Edit {
        std::size_t from, to;
        const char* with;
    };
    const Edit edits[] = {
        {100, 100, "\xF0\x9F\x98\x80"},  // Two units where there were none.
        {70'000, 200'000, "joined"},       // Over marks, which go.
        {300'000, 300'003, "\xC3"},        // A character cut short...
        {300'001, 300'001, "\xA9"},        // ...and one made whole across the edit.
        {450'000, 450'000, "\r"},          // A break: the line is counted again.
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.from);
        buffer.replace(edit.from, edit.to, edit.with);
        expect_mapped_afresh();
    }
}

TEST(TextBuffer, TakesAWholeTextOverWithoutCopyingItAndTakesItBack)
{
    TextBuffer buffer;
    buffer.assign("\rold");
    std::string pasted(1 << 20, 'p');
    pasted[100] = '\r';
    const char* held = pasted.data();
    toolkit::TextEdit made = buffer.replace_all_taking(std::move(pasted));
    EXPECT_EQ(buffer.bytes().data(), held);  // The bytes themselves, not a copy.
    EXPECT_EQ(made.removed, 4u);
    EXPECT_TRUE(made.removed_break);
    EXPECT_EQ(made.inserted, std::size_t(1) << 20);
    EXPECT_EQ(buffer.line_count(), 2u);
    const std::string whole = buffer.bytes();

    // Typed after it, its own step; each taken back and put back in turn.
    buffer.replace(buffer.size(), buffer.size(), "x", Typing::Merge);
    buffer.replace(buffer.size(), buffer.size(), "y", Typing::Merge);
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), whole);
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), "\rold");
    expect_indexed_afresh(buffer);
    buffer.redo();
    EXPECT_EQ(buffer.bytes(), whole);
    buffer.redo();
    EXPECT_EQ(buffer.bytes(), whole + "xy");
    expect_indexed_afresh(buffer);
    // An ordinary edit over the whole text is taken back the same way.
    buffer.replace(0, buffer.size(), "new\r");
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), whole + "xy");
}

TEST(TextBuffer, CountsOffsetsAsQtDoesAndMapsThemBack)
{
    TextBuffer buffer;
    // A line feed per break, two units past the basic plane, one per bad byte.
    buffer.assign("\r\xC3\xA9\r\n\xF0\x9F\x98\x80x\r\xFF");
    EXPECT_EQ(buffer.line_count(), 4u);
    EXPECT_EQ(buffer.unit_count(), 1 + 1 + 1 + 3 + 1 + 1);
    const std::pair<int, std::size_t> offsets[] = {{0, 0}, {1, 1},  {2, 3},  {3, 5},
                                                   {5, 9}, {6, 10}, {7, 11}, {8, 12}};
    for (auto [units, byte] : offsets) {
        SCOPED_TRACE(units);
        EXPECT_EQ(buffer.byte_at_units(units), byte);
        EXPECT_EQ(buffer.units_at(byte), units);
    }
}

TEST(TextBuffer, TypingJoinsOneUndoStepUntilSomethingElseHappens)
{
    TextBuffer buffer;
    buffer.assign("\rname");
    for (char c : std::string(".txt"))
        buffer.replace(buffer.size(), buffer.size(), std::string(1, c), Typing::Merge);
    buffer.replace(buffer.size(), buffer.size(), "\r");
    buffer.replace(buffer.size(), buffer.size(), "b", Typing::Merge);
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), "\rname.txt\r");
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), "\rname.txt");
    buffer.undo();
    EXPECT_EQ(buffer.bytes(), "\rname");
    EXPECT_FALSE(buffer.can_undo());
    buffer.assign("new");  // Text written from code is no step to undo.
    EXPECT_FALSE(buffer.can_undo());
    EXPECT_FALSE(buffer.can_redo());
}

}  // namespace
