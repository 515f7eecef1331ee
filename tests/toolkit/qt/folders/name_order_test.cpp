#include "test_folder.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/name_order.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// The files of a folder, read as the lists read them, in the order shown.
QStringList sorted_names(const TestFolder& folder)
{
    toolkit::FolderListing listing = toolkit::read_folder(toolkit::bytes_of(folder.path()));
    QStringList shown;
    for (std::uint32_t position : toolkit::name_order(listing.files))
        shown << toolkit::display_name(listing.files[position]);
    return shown;
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
        {"case ignored",
         {"beta", "Alpha", "alpha2", "Gamma"},
         {"Alpha", "alpha2", "beta", "Gamma"}},
        {"case tie by bytes", {"readme", "README", "ReadMe"}, {"README", "ReadMe", "readme"}},
        {"digits before letters", {"b", "1a", "a"}, {"1a", "a", "b"}},
        {"numbers then text", {"v2-beta", "v2", "v10"}, {"v2", "v2-beta", "v10"}},
        {"long numbers",
         {"n99999999999999999999", "n100000000000000000000", "n7"},
         {"n7", "n99999999999999999999", "n100000000000000000000"}},
        {"prefix first", {"abc", "ab", "ab1"}, {"ab", "ab1", "abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TestFolder folder;
        for (const QString& name : c.given)
            folder.file(name.toStdString());
        EXPECT_EQ(sorted_names(folder), c.expected);
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
        EXPECT_EQ(sorted_names(folder), expected);
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

// File-manager order for ASCII names, written plainly: punctuation, then
// digit runs by value, then letters ignoring case; then fewer leading zeros,
// run by run; then the bytes.
bool plainly_before(const std::string& a, const std::string& b)
{
    auto kind = [](unsigned char c) { return std::isdigit(c) ? 1 : std::isalpha(c) ? 2 : 0; };
    std::vector<std::size_t> zeros_a, zeros_b;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (kind(ca) != kind(cb))
            return kind(ca) < kind(cb);
        if (kind(ca) == 1) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            std::size_t za = 0, zb = 0;
            while (i + za + 1 < ei && a[i + za] == '0')
                ++za;
            while (j + zb + 1 < ej && b[j + zb] == '0')
                ++zb;
            std::string va = a.substr(i + za, ei - i - za), vb = b.substr(j + zb, ej - j - zb);
            if (va.size() != vb.size())
                return va.size() < vb.size();
            if (va != vb)
                return va < vb;
            zeros_a.push_back(za);
            zeros_b.push_back(zb);
            i = ei;
            j = ej;
            continue;
        }
        int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb)
            return la < lb;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i == a.size();
    if (zeros_a != zeros_b)
        return zeros_a < zeros_b;
    return a < b;
}

// Names that agree for 7 to 40 characters and then differ by a letter, by a
// number or by ending, by case and by leading zeros, many enough for both
// cores: they must come out exactly as the plain comparison has them.
TEST_P(SortByName, LongSharedStemsComeOutAsPlainlyCompared)
{
    const std::string stems[] = {"a",
                                 "backup",
                                 "Report_2024",
                                 "report 2024 final draft",
                                 "IMG_",
                                 "img",
                                 "very long shared beginning of a name ",
                                 "x.y-z"};
    std::vector<std::string> given;
    for (int i = 0; i < 72000; ++i) {
        std::string name = stems[i % std::size(stems)];
        switch (i / 8 % 6) {
        case 0: name.append(std::to_string(i % 5000)); break;
        case 1: name.append(i % 4, '0').append(std::to_string(i % 300)).append("b"); break;
        case 2: name.append(i % 2 ? "Q" : "q").append(std::to_string(i % 97)); break;
        case 3: name.append(1 + i % 13, 'x'); break;
        case 4: name.append(".").append(std::to_string(i % 7)).append(".tar.gz"); break;
        default: name.append("_").append(std::to_string(i)); break;
        }
        given.push_back(name);
    }
    std::sort(given.begin(), given.end());
    given.erase(std::unique(given.begin(), given.end()), given.end());
    std::shuffle(given.begin(), given.end(), std::mt19937(7));

    toolkit::RawNames names;
    for (const std::string& name : given)
        names.push_back(name);
    std::vector<std::string> expected = given;
    std::stable_sort(expected.begin(), expected.end(), plainly_before);
    auto ordered = toolkit::put_in_order(std::move(names));
    ASSERT_EQ(ordered->size(), expected.size());
    for (std::size_t place = 0; place < expected.size(); ++place)
        ASSERT_EQ(ordered->at(place), expected[place]) << "at " << place;
}

// The names of an ordered set, in its order.
std::vector<std::string> in_order(const toolkit::OrderedNames& ordered)
{
    std::vector<std::string> names;
    for (std::size_t place = 0; place < ordered.size(); ++place)
        names.emplace_back(ordered.at(place));
    return names;
}

TEST_P(SortByName, AChangedFolderIsInTheOrderOfOneReadAfresh)
{
    toolkit::RawNames before;
    for (int i = 0; i < 3000; ++i)
        before.push_back((i % 2 ? "Photo " : "report_") + std::to_string(i * 7 % 1000) + "." +
                         std::to_string(i) + (i % 5 ? ".jpg" : "\xC3\xA9t\xC3\xA9"));
    auto base = toolkit::put_in_order(before);

    struct Case {
        const char* label;
        std::set<std::string, std::less<>> changed;
        std::vector<std::string> present;
    };
    const Case cases[] = {
        {"one name added", {"photo 5.x"}, {"photo 5.x"}},
        {"one gone", {std::string(base->at(17))}, {}},
        {"gone and added at once, the first and the last",
         {std::string(base->at(0)), std::string(base->at(base->size() - 1)), "0", "zzz"},
         {"0", "zzz"}},
        {"named but neither there before nor now", {"never there"}, {}},
        {"named and there before and still",
         {std::string(base->at(40))},
         {std::string(base->at(40))}},
        {"a letter the folder did not hold",
         {"\xC3\xBC"
          "ber",
          "uber"},
         {"\xC3\xBC"
          "ber",
          "uber"}},
    };
    for (const Case& c : cases) {
        toolkit::RawNames present;
        for (const std::string& name : c.present)
            present.push_back(name);
        auto changed = toolkit::change_names(*base, c.changed, present);

        toolkit::RawNames afresh;
        for (std::size_t place = 0; place < base->size(); ++place)
            if (!c.changed.contains(base->at(place)))
                afresh.push_back(base->at(place));
        for (const std::string& name : c.present)
            afresh.push_back(name);
        auto read = toolkit::put_in_order(afresh);
        EXPECT_EQ(in_order(*changed), in_order(*read)) << c.label;
        EXPECT_EQ(changed->fingerprint, read->fingerprint) << c.label;
    }

    // Many names at once go in by one pass through the folder, not each by
    // a search: the order must be the same.
    toolkit::RawNames many;
    std::set<std::string, std::less<>> named;
    for (int i = 0; i < 500; ++i) {
        std::string name = "Photo " + std::to_string(i) + ".new";
        many.push_back(name);
        named.insert(name);
    }
    toolkit::RawNames all = before;
    for (std::size_t i = 0; i < many.size(); ++i)
        all.push_back(many[i]);
    EXPECT_EQ(in_order(*toolkit::change_names(*base, named, many)),
              in_order(*toolkit::put_in_order(all)));
}

TEST_P(SortByName, KeepsEachNameOnceWhateverItsBytes)
{
    TestFolder folder;
    const char* names[] = {"bad\xff",      "bad\xfe",          "caf\xC3\xA9",
                           "cafe\xCC\x81", "\xF0\x9F\x98\x80", "\xE6\x97\xA5\xE6\x9C\xAC",
                           "plain"};
    for (const char* name : names)
        folder.file(name);
    QStringList sorted = sorted_names(folder);
    EXPECT_EQ(sorted.size(), 7);
    // Bytes that are not UTF-8 still give two names, told apart by the bytes.
    const QString bad = QString::fromUtf8("bad\xEF\xBF\xBD");
    EXPECT_EQ(sorted.count(bad), 2);
    // And the order is still by letters: b, then c, then p.
    EXPECT_LT(sorted.lastIndexOf(bad), sorted.indexOf(QString::fromUtf8("caf\xC3\xA9")));
    EXPECT_LT(sorted.indexOf(QString::fromUtf8("caf\xC3\xA9")), sorted.indexOf("plain"));

    // Names shown alike come in the order of their bytes.
    toolkit::RawNames alike;
    alike.push_back("bad\xff");
    alike.push_back("bad\xfe");
    EXPECT_EQ(toolkit::name_order(alike), (std::vector<std::uint32_t>{1, 0}));
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
        EXPECT_EQ(sorted_names(folder), c.expected);
    }
    QLocale::setDefault(QLocale::system());
}

}  // namespace
