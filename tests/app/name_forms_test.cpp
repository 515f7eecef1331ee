// The texts the "Copy names as" menu writes, from names given as they would
// be listed, in their order.
#include "app/name_forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

using app::NameForm;

// Names as a file list holds them: raw bytes, shown with U+FFFD for a byte
// that is not UTF-8.
class Names final : public toolkit::ListedNames {
public:
    Names(std::string folder, std::vector<std::string> names)
        : m_folder(std::move(folder)), m_names(std::move(names))
    {
        for (const std::string& name : m_names) {
            m_all += name;
            m_ends.push_back(static_cast<std::uint32_t>(m_all.size()));
            m_utf8 = m_utf8 && toolkit::display_text(name) == name;
        }
    }
    std::size_t size() const override { return m_names.size(); }
    std::string_view folder() const override { return m_folder; }
    std::string_view raw(std::size_t place) const override { return m_names[place]; }
    std::string_view name(std::size_t place, std::string& scratch) const override
    {
        scratch = toolkit::display_text(m_names[place]);
        return scratch;
    }

    bool all_utf8() const override { return m_utf8; }
    std::string_view all_raw() const override { return m_all; }
    std::span<const std::uint32_t> raw_ends() const override { return m_ends; }

private:
    std::string m_folder;
    std::vector<std::string> m_names;
    std::string m_all;
    std::vector<std::uint32_t> m_ends;
    bool m_utf8 = true;
};

// The text as the clipboard would take it, written from no room at all.
std::string write_names(NameForm form, const toolkit::ListedNames& names,
                        std::span<const toolkit::FileFacts> facts = {})
{
    toolkit::ClipboardWriter text(0);
    app::write_names(text, form, names, facts);
    return std::string(text.written());
}

const Names odd("/home/ann/Docs",
                {".profile", "a,b.txt", "archive.tar.gz", "bad\xFF.txt", "noext", "say \"hi\".txt",
                 "two words", "line\nbreak"});

TEST(NameForms, LinesOfEachKindKeepTheNamesAndTheirOrder)
{
    std::string names = ".profile|a,b.txt|archive.tar.gz|bad\xEF\xBF\xBD.txt|noext|"
                        "say \"hi\".txt|two words|line\nbreak";
    auto joined = [&](std::string_view between) {
        std::string text;
        for (char c : names)
            text += c == '|' ? std::string(between) : std::string(1, c);
        return text;
    };
    EXPECT_EQ(write_names(NameForm::Lines, odd), joined("\n"));
    EXPECT_EQ(write_names(NameForm::WindowsLines, odd), joined("\r\n"));
    EXPECT_EQ(write_names(NameForm::FullPaths, odd),
              "/home/ann/Docs/" + joined("\n/home/ann/Docs/"));
}

TEST(NameForms, CsvQuotesOnlyTheFieldsThatNeedIt)
{
    EXPECT_EQ(write_names(NameForm::Csv, odd),
              "name\r\n.profile\r\n\"a,b.txt\"\r\narchive.tar.gz\r\nbad\xEF\xBF\xBD.txt\r\n"
              "noext\r\n\"say \"\"hi\"\".txt\"\r\ntwo words\r\n\"line\nbreak\"");
    EXPECT_EQ(write_names(NameForm::Csv, Names("/", {"cr\rhere", "tab\there"})),
              "name\r\n\"cr\rhere\"\r\ntab\there");
    EXPECT_EQ(write_names(NameForm::Csv, Names("/", {})), "name");
    EXPECT_EQ(write_names(NameForm::Lines, Names("/", {})), "");
}

// A field that holds what ends a field or a row is quoted, so each name
// stays one field; a comma needs nothing here.
TEST(NameForms, TabSeparatedFormsQuoteOnlyTheFieldsThatWouldSplit)
{
    Names tricky("/", {"a,b", "tab\there", "cr\rhere", "line\nfeed", "say \"hi\"", "plain"});
    EXPECT_EQ(write_names(NameForm::Tabs, tricky),
              "a,b\t\"tab\there\"\t\"cr\rhere\"\t\"line\nfeed\"\t\"say \"\"hi\"\"\"\tplain");
    std::vector<toolkit::FileFacts> none(tricky.size());
    EXPECT_EQ(write_names(NameForm::Table, tricky, none),
              "name\tsize\tmodified\na,b\t\t\n\"tab\there\"\t\t\n\"cr\rhere\"\t\t\n"
              "\"line\nfeed\"\t\t\n\"say \"\"hi\"\"\"\t\t\nplain\t\t");
}

TEST(NameForms, WithoutExtensionsTakesOffOnlyTheLastSuffix)
{
    EXPECT_EQ(write_names(NameForm::WithoutExtensions, odd),
              ".profile\na,b\narchive.tar\nbad\xEF\xBF\xBD\nnoext\nsay \"hi\"\ntwo words\n"
              "line\nbreak");
    EXPECT_EQ(app::without_extension("a."), "a");
    EXPECT_EQ(app::without_extension("..hidden"), ".");
    EXPECT_EQ(app::without_extension(""), "");
}

TEST(NameForms, FullPathsJoinTheRootWithOneSlash)
{
    EXPECT_EQ(write_names(NameForm::FullPaths, Names("/", {"etc", "x y"})), "/etc\n/x y");
    EXPECT_EQ(write_names(NameForm::FullPaths, Names("/tmp/\xFE", {"a"})), "/tmp/\xEF\xBF\xBD/a");
}

// A write asked to stop ends within a few thousand names and says it did
// not finish; the facts stop being asked too.
TEST(NameForms, AStoppedWriteEndsEarlyAndSaysSo)
{
    std::vector<std::string> many(100000, "name.txt");
    Names names("/", many);
    std::stop_source stop;
    toolkit::ClipboardWriter whole(0);
    EXPECT_TRUE(app::write_names(whole, NameForm::Lines, names, {}, stop.get_token()));
    EXPECT_EQ(whole.written().size(), many.size() * 9 - 1);
    stop.request_stop();
    for (NameForm form : {NameForm::Lines, NameForm::Table}) {
        toolkit::ClipboardWriter part(0);
        EXPECT_FALSE(app::write_names(part, form, names, {}, stop.get_token()));
        EXPECT_LT(part.written().size(), 10000u);
    }
    std::vector<toolkit::FileFacts> facts = toolkit::file_facts(Names("/", {"etc"}), stop.get_token());
    ASSERT_EQ(facts.size(), 1u);
    EXPECT_FALSE(facts[0].known);
    EXPECT_TRUE(toolkit::file_facts(Names("/", {"etc"}))[0].known);
}

class LocalTime : public testing::Test {
protected:
    // Central European time, spelt out so that no zone files are needed.
    LocalTime() { set_zone("CET-1CEST,M3.5.0,M10.5.0/3"); }
    ~LocalTime() override { set_zone(m_was ? m_was->c_str() : nullptr); }
    void set_zone(const char* zone)
    {
        if (zone)
            setenv("TZ", zone, 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static std::string at(std::int64_t seconds)
    {
        app::LocalTimes times;
        return std::string(times.text_of(seconds));
    }

private:
    std::optional<std::string> m_was =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

TEST_F(LocalTime, GivesTheOffsetInForceAtEachMoment)
{
    EXPECT_EQ(at(1796821387), "2026-12-09T14:03:07+01:00");  // 13:03:07 UTC.
    EXPECT_EQ(at(1783602000), "2026-07-09T15:00:00+02:00");
    EXPECT_EQ(at(0), "1970-01-01T01:00:00+01:00");
    EXPECT_EQ(at(-1), "1970-01-01T00:59:59+01:00");
    EXPECT_EQ(at(951782400), "2000-02-29T01:00:00+01:00");  // A leap day.
    // Summer time starts at 01:00 UTC on 2026-03-29: a quarter hour holding
    // the change gives each moment its own offset, one used many times too.
    app::LocalTimes times;
    std::string text;
    for (std::int64_t seconds : {1774745999LL, 1774746000LL, 1774745999LL}) {
        text.append(times.text_of(seconds)).append(" ");
    }
    EXPECT_EQ(text,
              "2026-03-29T01:59:59+01:00 2026-03-29T03:00:00+02:00 "
              "2026-03-29T01:59:59+01:00 ");
}

TEST_F(LocalTime, OffsetsAwayFromWholeHoursAndWestOfUtc)
{
    set_zone("IST-5:30");
    EXPECT_EQ(at(0), "1970-01-01T05:30:00+05:30");
    set_zone("EST5");
    // Local time before 1970 begins a day earlier.
    EXPECT_EQ(at(0), "1969-12-31T19:00:00-05:00");
    EXPECT_EQ(at(-86400 * 365), "1968-12-31T19:00:00-05:00");
}

// A clock that changes inside a quarter hour, at 02:07:30: the moments on
// both sides of it share the quarter yet not the offset.
TEST_F(LocalTime, AQuarterHourHoldingTheChangeIsNotTakenAsOne)
{
    set_zone("AAA-1BBB,M3.5.0/2:07:30,M10.5.0/3");
    app::LocalTimes times;
    std::string text;
    for (std::int64_t seconds : {1774746449LL, 1774746450LL, 1774746449LL, 1774746000LL})
        text.append(times.text_of(seconds)).append(" ");
    EXPECT_EQ(text,
              "2026-03-29T02:07:29+01:00 2026-03-29T03:07:30+02:00 "
              "2026-03-29T02:07:29+01:00 2026-03-29T02:00:00+01:00 ");
}

TEST_F(LocalTime, TheTableGivesSizeAndTimeOrLeavesThemEmpty)
{
    Names two("/d", {"a.txt", "gone"});
    std::vector<toolkit::FileFacts> facts = {{true, 1234, 1796821387}, {}};
    EXPECT_EQ(write_names(NameForm::Table, two, facts),
              "name\tsize\tmodified\na.txt\t1234\t2026-12-09T14:03:07+01:00\ngone\t\t");
    EXPECT_EQ(write_names(NameForm::Table, Names("/", {}), {}), "name\tsize\tmodified");
}

}  // namespace
