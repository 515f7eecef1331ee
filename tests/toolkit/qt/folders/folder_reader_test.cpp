#include "test_folder.h"
#include "toolkit/object.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/name_order.h"

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

}  // namespace
