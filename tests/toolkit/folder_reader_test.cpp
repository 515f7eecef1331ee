#include "test_folder.h"
#include "toolkit/object.h"
#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/name_order.h"
#include "toolkit/qt/core/utf8.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

namespace {

enum class EntryKind { File, Folder };

QStringList sorted_names(const TestFolder& folder, EntryKind kind)
{
    toolkit::FolderListing listing = toolkit::read_folder(toolkit::bytes_of(folder.path()));
    const toolkit::RawNames& names = kind == EntryKind::File ? listing.files : listing.folders;
    QStringList shown;
    for (std::uint32_t position : toolkit::name_order(names))
        shown << toolkit::display_name(names[position]);
    return shown;
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

    toolkit::RawNames files = toolkit::read_folder(toolkit::bytes_of(folder.path())).files;
    std::vector<std::uint32_t> order = toolkit::name_order(files);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[order[0]], "bad\xff.txt");
    EXPECT_EQ(toolkit::display_name(files[order[0]]), QString::fromUtf8("bad\xEF\xBF\xBD.txt"));
    EXPECT_EQ(toolkit::display_text(files[order[0]]), "bad\xEF\xBF\xBD.txt");
}

TEST(ReadFolder, RefusesWhatCannotBeListed)
{
    TestFolder folder;
    folder.file("a-file");
    EXPECT_THROW(toolkit::read_folder(toolkit::bytes_of(folder / "missing")), toolkit::Error);
    EXPECT_THROW(toolkit::read_folder(toolkit::bytes_of(folder / "a-file")), toolkit::Error);
}

// Natural order must not depend on the locale: CI runs with LC_ALL=C,
// where Qt's own numeric collation is ignored, and users run with theirs.
class SortByName : public testing::TestWithParam<const char*> {
protected:
    SortByName() { QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()))); }
    ~SortByName() override { QLocale::setDefault(QLocale::system()); }
};

INSTANTIATE_TEST_SUITE_P(Locales, SortByName,
                         testing::Values("C", "C.UTF-8", "en_US", "fr_FR", "de_DE"));

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

// Each list is in the order GNOME's and KDE's file managers show; the files
// are made in another order.
TEST_P(SortByName, MatchesFileManagersOnPunctuationAndNumbers)
{
    const QStringList shown[] = {
        {"report.pdf", "report2.pdf", "report10.pdf"},
        {"file.c", "file.txt", "file2.bla", "file3.xx"},
        {"v1.9", "v1.10", "v1.10.1", "v2"},
        {"queen_x", "queens"},
        {"a b.txt", "a-b.txt", "a_b.txt", "ab.txt"},
        {"x1a", "x12"},
        {"a1", "a01", "a001", "a2"},
        {"alpha", "Beta", "gamma", "Zeta"},
        {"IMG_0001.JPG", "img_0002.jpg", "IMG_0010.JPG"},
        {"(draft) notes", "1 notes", "notes"},
    };
    for (const QStringList& expected : shown) {
        SCOPED_TRACE(expected.join(", ").toStdString());
        TestFolder folder;
        for (auto name = expected.rbegin(); name != expected.rend(); ++name)
            folder.file(name->toStdString());
        EXPECT_EQ(sorted_names(folder, EntryKind::File), expected);
    }
}

// Many names take the two-core road; the order must be the same as on one.
TEST_P(SortByName, OrdersManyNamesAsFew)
{
    toolkit::RawNames names;
    std::vector<std::string> given;
    for (int i = 70000; i-- > 0;)
        given.push_back((i % 3 ? "File " : "file_") + std::to_string(i % 1000) + "." +
                        std::to_string(i));
    for (const std::string& name : given)
        names.push_back(name);
    std::vector<std::uint32_t> order = toolkit::name_order(names);
    ASSERT_EQ(order.size(), given.size());
    // Around the middle, where the two halves meet, and spread over the rest.
    for (std::size_t i = 1; i < order.size(); i += (i > 34900 && i < 35100) ? 1 : 97) {
        toolkit::RawNames pair;
        pair.push_back(names[order[i]]);
        pair.push_back(names[order[i - 1]]);
        // Each neighbour pair, sorted on its own, keeps its order.
        ASSERT_EQ(toolkit::name_order(pair), (std::vector<std::uint32_t>{1, 0})) << i;
    }
}

TEST_P(SortByName, KeepsEachNameOnceWhateverItsBytes)
{
    TestFolder folder;
    const char* names[] = {"bad\xff", "bad\xfe", "caf\xC3\xA9", "cafe\xCC\x81", "\xF0\x9F\x98\x80",
                           "\xE6\x97\xA5\xE6\x9C\xAC", "plain"};
    for (const char* name : names)
        folder.file(name);
    QStringList sorted = sorted_names(folder, EntryKind::File);
    EXPECT_EQ(sorted.size(), 7);
    EXPECT_TRUE(sorted.contains("plain"));
    // Bytes that are not UTF-8 still give two names, told apart by the bytes.
    EXPECT_EQ(sorted.count(QString::fromUtf8("bad\xEF\xBF\xBD")), 2);
}

}  // namespace

namespace {

// Where a language orders letters its own way, the list follows it.
TEST(SortByNameInALanguage, FollowsTheLanguagesOrderOfLetters)
{
    const struct {
        const char* locale;
        QStringList expected;
    } cases[] = {
        {"fr_FR", {"ete.txt", "\u00E9t\u00E9.txt", "Eva.txt", "f.txt"}},
        {"fr_FR", {"cote", "cot\u00E9", "c\u00F4te", "c\u00F4t\u00E9", "cotes"}},
        {"en_US", {"Ab", "\u00C4c", "ad"}},
        {"de_DE", {"Masche", "Ma\u00DFe", "Mast"}},
        {"sv_SE", {"ost", "zebra", "\u00E5sa", "\u00F6l"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        TestFolder folder;
        for (auto name = c.expected.rbegin(); name != c.expected.rend(); ++name)
            folder.file(name->toStdString());
        EXPECT_EQ(sorted_names(folder, EntryKind::File), c.expected);
    }
    QLocale::setDefault(QLocale::system());
}

}  // namespace
