// The drive list against real mounts, made in a private mount namespace
// (tests/toolkit/qt/desktop/in_private_mounts.sh puts the test in one): what it lists
// is what a desktop file manager would show.
#include "toolkit/form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

// The wrapper says so once the test is in a namespace of its own.
bool in_private_namespace()
{
    const char* private_mounts = std::getenv("TOBREL_PRIVATE_MOUNTS");
    return private_mounts && std::string(private_mounts) == "1";
}

void tmpfs(const std::string& at)
{
    std::filesystem::create_directories(at);
    ASSERT_EQ(::mount("tobrel-test", at.c_str(), "tmpfs", 0, "size=1m"), 0) << at;
}

void bind(const std::string& from, const std::string& at)
{
    std::filesystem::create_directories(at);
    ASSERT_EQ(::mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr), 0) << at;
}

class VolumesMounts : public testing::Test {
protected:
    void SetUp() override
    {
        if (!in_private_namespace())
            GTEST_SKIP() << "run through in_private_mounts.sh: it would mount on this machine";
        // Fresh, empty places, hiding the machine's own mounts there.
        for (const char* place : {"/media", "/run/media", "/mnt", "/srv", "/boot", "/var/tmp"})
            tmpfs(place);
        setenv("HOME", "/srv/home", 1);
    }

    std::set<std::string> listed()
    {
        toolkit::Form form{"frmDrives", "Drives", 4800, 3270};
        form.add_control({toolkit::ControlKind::DriveList, "drvDrives", 0, 0, 1695, 315, 0, ""});
        form.show();
        std::set<std::string> roots;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* drives = top->findChild<QComboBox*>("drvDrives"))
                for (int row = 0; row < drives->count(); ++row)
                    roots.insert(drives->itemData(row).toByteArray().toStdString());
        return roots;
    }
};

TEST_F(VolumesMounts, ListsTheVolumesAFileManagerShowsAndNothingElse)
{
    tmpfs("/media/user/USB STICK");  // Removable media, with a space,
    tmpfs("/run/media/user/CARD");  // and where some systems mount them.
    tmpfs("/mnt/backup");
    tmpfs("/srv/home/phone");  // In the user's home.
    tmpfs("/boot/firmware");  // The system's own.
    tmpfs("/var/tmp/disk-image");
    tmpfs("/srv/containers/rootfs");

    // A folder of a listed volume bound elsewhere, and the volume bound again
    // whole: the same drive, not new ones.
    std::filesystem::create_directories("/media/user/USB STICK/photos");
    bind("/media/user/USB STICK/photos", "/mnt/photos");
    bind("/media/user/USB STICK", "/srv/home/stick-again");

    // A container's layered root.
    for (const char* part : {"/mnt/layers/lower", "/mnt/layers/upper", "/mnt/layers/work"})
        std::filesystem::create_directories(part);
    std::filesystem::create_directories("/mnt/overlay");
    ASSERT_EQ(::mount("overlay", "/mnt/overlay", "overlay", 0,
                      "lowerdir=/mnt/layers/lower,upperdir=/mnt/layers/upper,"
                      "workdir=/mnt/layers/work"),
              0);

    // A disk mounted, then hidden under a mount on the folder above it.
    tmpfs("/mnt/shelf/old-disk");
    tmpfs("/mnt/shelf");

    std::set<std::string> roots = listed();
    for (const char* shown : {"/", "/media/user/USB STICK", "/run/media/user/CARD", "/mnt/backup",
                              "/mnt/shelf", "/srv/home/phone"})
        EXPECT_TRUE(roots.contains(shown)) << shown;
    for (const char* hidden : {"/boot/firmware", "/var/tmp/disk-image", "/srv/containers/rootfs",
                               "/mnt/photos", "/srv/home/stick-again", "/mnt/overlay",
                               "/mnt/shelf/old-disk", "/srv", "/boot", "/var/tmp"})
        EXPECT_FALSE(roots.contains(hidden)) << hidden;
}

}  // namespace
