#include "test_folder.h"
#include "toolkit/object.h"
#include "toolkit/qt/folder_reader.h"
#include "toolkit/qt/name_order.h"
#include "toolkit/qt/utf8.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

namespace {

using toolkit::EntryKind;

QStringList sorted_names(const TestFolder& folder, EntryKind kind)
{
    auto entries = toolkit::read_folder(toolkit::bytes_of(folder.path()), kind);
    toolkit::sort_by_name(entries);
    QStringList names;
    for (const auto& entry : entries)
        names << entry.display_name;
    return names;
}

TEST(ReadFolder, ListsFilesAndLinksToFilesOnly)
{
    TestFolder folder;
    folder.file("plain.txt");
    folder.file(".hidden");
    folder.folder("sub");
    folder.folder(".hidden-sub");
    folder.pipe("pipe");
    folder.link("to-plain", "plain.txt");
    folder.link("dangling", "nowhere");
    folder.link("to-sub", "sub");

    EXPECT_EQ(sorted_names(folder, EntryKind::File), (QStringList{"plain.txt", "to-plain"}));
    EXPECT_EQ(sorted_names(folder, EntryKind::Folder), (QStringList{"sub", "to-sub"}));
}

TEST(ReadFolder, KeepsNamesThatAreNotUtf8)
{
    TestFolder folder;
    folder.file("bad\xff.txt");
    folder.file("good.txt");

    auto entries = toolkit::read_folder(toolkit::bytes_of(folder.path()), EntryKind::File);
    toolkit::sort_by_name(entries);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].raw_name, QByteArray("bad\xff.txt"));
    EXPECT_EQ(entries[0].display_name, QString::fromUtf8("bad\xEF\xBF\xBD.txt"));
}

TEST(ReadFolder, RefusesWhatCannotBeListed)
{
    TestFolder folder;
    folder.file("a-file");
    EXPECT_THROW(toolkit::read_folder(toolkit::bytes_of(folder / "missing"), EntryKind::File),
                 toolkit::Error);
    EXPECT_THROW(toolkit::read_folder(toolkit::bytes_of(folder / "a-file"), EntryKind::File),
                 toolkit::Error);
}

// Natural order must not depend on the locale: CI runs with LC_ALL=C,
// where Qt's own numeric collation is ignored, and users run with theirs.
class SortByName : public testing::TestWithParam<const char*> {
protected:
    SortByName() { QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()))); }
    ~SortByName() override { QLocale::setDefault(QLocale::system()); }
};

INSTANTIATE_TEST_SUITE_P(Locales, SortByName, testing::Values("C", "en_US", "fr_FR"));

TEST_P(SortByName, NaturalOrderIgnoringCaseWithBytesBreakingTies)
{
    struct Case {
        const char* label;
        QStringList given;
        QStringList expected;
    };
    const Case cases[] = {
        {"digits by value", {"file10", "file2", "file1"}, {"file1", "file2", "file10"}},
        {"leading zeros", {"img010", "img9", "img0011"}, {"img9", "img010", "img0011"}},
        {"case ignored", {"beta", "Alpha", "alpha2", "Gamma"}, {"Alpha", "alpha2", "beta", "Gamma"}},
        {"case tie by bytes", {"readme", "README", "ReadMe"}, {"README", "ReadMe", "readme"}},
        {"digits before letters", {"b", "1a", "a"}, {"1a", "a", "b"}},
        {"numbers then text", {"v2-beta", "v2", "v10"}, {"v2", "v2-beta", "v10"}},
        {"long numbers", {"n99999999999999999999", "n100000000000000000000", "n7"},
         {"n7", "n99999999999999999999", "n100000000000000000000"}},
        {"prefix first", {"abc", "ab", "ab1"}, {"ab", "ab1", "abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestFolder folder;
        for (const QString& name : c.given)
            folder.file(name.toStdString());
        EXPECT_EQ(sorted_names(folder, EntryKind::File), c.expected);
    }
}

}  // namespace

namespace {

TEST(SortByNameInALanguage, PutsAccentedLettersBesideTheirBaseLetters)
{
    QLocale::setDefault(QLocale(QString::fromLatin1("fr_FR")));
    TestFolder folder;
    for (const char* name : {"f.txt", "\xC3\xA9t\xC3\xA9.txt", "ete.txt", "Eva.txt"})
        folder.file(name);
    EXPECT_EQ(sorted_names(folder, EntryKind::File),
              (QStringList{"ete.txt", QString::fromUtf8("\xC3\xA9t\xC3\xA9.txt"), "Eva.txt", "f.txt"}));
    QLocale::setDefault(QLocale::system());
}

}  // namespace
