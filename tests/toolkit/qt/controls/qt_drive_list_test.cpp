// The drive list on its own: the volumes it lists, read again on every open,
// and the labels the volumes give when they are asked, off the window's
// thread and possibly late.
#include "gate.h"
#include "test_folder.h"
#include "toolkit/form.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

namespace prop = toolkit::prop;

class DriveList : public testing::Test {
protected:
    DriveList()
    {
        share = mounts / "share";
        mounts.folder("share");
        mounts.folder("stick");
        drives().on(toolkit::Event::Change, [this] { ++changes; });
        form.show();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmDrives")
                combo = top->findChild<QComboBox*>("drvNames");
    }
    ~DriveList() override
    {
        // Late answers must find nothing held when the test is over.
        for (auto& gate : gates)
            gate->open();
    }

    toolkit::Object& drives() { return form.control("drvNames"); }
    void open_and_close()
    {
        combo->showPopup();
        combo->hidePopup();
    }
    QStringList shown() const
    {
        QStringList texts;
        for (int row = 0; row < combo->count(); ++row)
            texts << combo->itemText(row);
        return texts;
    }
    // A share that answers only once its gate opens, then with its label.
    std::shared_ptr<Gate> hold_share(std::string label)
    {
        auto gate = std::make_shared<Gate>();
        gates.push_back(gate);
        question.reset();  // Hooks come back in the order they went.
        question = std::make_unique<toolkit::ScopedVolumeQuestion>(
            [gate, root = share,
             label](const toolkit::Volume& volume) -> std::optional<std::string> {
                if (volume.root == root)
                    gate->wait();
                return volume.root == root ? label : volume.label;
            });
        return gate;
    }

    TestFolder mounts;
    std::string share;
    std::vector<toolkit::Volume> volumes = {{"/", "/"}};
    toolkit::ScopedVolumeSource source{[this] { return volumes; }};
    std::unique_ptr<toolkit::ScopedVolumeQuestion> question;
    std::vector<std::shared_ptr<Gate>> gates;
    toolkit::Form form{"frmDrives", "Drives", 4800, 3270,
                       std::vector<toolkit::ControlDesign>{
                           {toolkit::ControlKind::DriveList, "drvNames", 0, 0, 1695, 315, 0, ""}}};
    QComboBox* combo = nullptr;
    int changes = 0;
};

TEST_F(DriveList, ReadsTheVolumesAgainOnEveryOpenAndKeepsThePick)
{
    volumes.push_back({mounts / "stick", "stick"});  // Plugged in while the tool runs.
    open_and_close();
    EXPECT_EQ(shown(), (QStringList{"/", "stick"}));

    drives().set(prop::Drive, mounts / "stick");
    EXPECT_EQ(changes, 1);
    volumes.pop_back();  // Pulled out while picked: still shown, as picked.
    open_and_close();
    EXPECT_EQ(toolkit::get_text(drives(), prop::Drive), mounts / "stick");
    EXPECT_EQ(combo->count(), 2);

    drives().set(prop::Drive, "/");
    open_and_close();  // Gone once it is no longer the pick.
    EXPECT_EQ(shown(), (QStringList{"/"}));
    EXPECT_THROW(drives().set(prop::Drive, mounts / "stick"), toolkit::Error);
    EXPECT_EQ(changes, 2);
}

TEST_F(DriveList, AVolumeThatAnswersLateIsListedByItsMountPointUntilItDoes)
{
    volumes.push_back({share, share});
    std::shared_ptr<Gate> gate = hold_share("Holiday photos");
    open_and_close();  // Returns although the share has not answered.
    EXPECT_EQ(shown(), (QStringList{"/", QString::fromStdString(share)}));

    gate->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown().contains("Holiday photos"); }, 5000));
    EXPECT_EQ(shown().size(), 2);
    drives().set(prop::Drive, share);  // The label still stands for its mount point.
    EXPECT_EQ(toolkit::get_text(drives(), prop::Drive), share);
}

// What a screen reader reads of the volume shown, however it came to be
// shown: the combo box's text and the popup's selected row, open or not.
TEST_F(DriveList, AScreenReaderReadsTheVolumeShownAsTextAndAsTheSelectedRow)
{
    volumes.push_back({share, share});
    std::shared_ptr<Gate> gate = hold_share("Holiday photos");
    open_and_close();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo);
    ASSERT_NE(list->textInterface(), nullptr);
    auto read = [&] {
        QAccessibleTextInterface* text = list->textInterface();
        QStringList selected;
        QAccessibleInterface* rows = list->child(0);
        for (int row = 0; row < rows->childCount(); ++row)
            if (rows->child(row)->state().selected)
                selected << rows->child(row)->text(QAccessible::Name);
        return std::pair(text->text(0, text->characterCount()), selected);
    };
    using Read = std::pair<QString, QStringList>;
    EXPECT_EQ(read(), (Read{"/", {"/"}}));

    drives().set(prop::Drive, share);  // Set, not picked: no popup opened.
    EXPECT_EQ(read(), (Read{QString::fromStdString(share), {QString::fromStdString(share)}}));
    gate->open();  // The label comes in while it is shown.
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown().contains("Holiday photos"); }, 5000));
    EXPECT_EQ(read(), (Read{"Holiday photos", {"Holiday photos"}}));

    combo->setCurrentIndex(0);  // Picked with the keyboard on the closed list.
    EXPECT_EQ(read(), (Read{"/", {"/"}}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes == 2; }, 5000));
}

// A drive list made while a volume does not answer is made at once, listing
// it by its mount point, and the label comes in when the volume answers.
TEST_F(DriveList, IsMadeWithoutWaitingForAnyVolume)
{
    volumes.push_back({share, share});
    std::shared_ptr<Gate> gate = hold_share("Holiday photos");
    // Nothing else runs while it is made: it waits for nothing.
    bool ran_meanwhile = false;
    QTimer::singleShot(0, [&] { ran_meanwhile = true; });
    toolkit::Form another{"frmMore", "More", 4800, 3270,
                          std::vector<toolkit::ControlDesign>{{toolkit::ControlKind::DriveList,
                                                               "drvMore", 0, 0, 1695, 315, 0, ""}}};
    QComboBox* made = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmMore")
            made = top->findChild<QComboBox*>("drvMore");
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(ran_meanwhile);
    EXPECT_EQ(made->count(), 2);
    EXPECT_EQ(made->itemText(1), QString::fromStdString(share));

    gate->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return made->itemText(1) == "Holiday photos"; }, 5000));
}

// A late answer belongs to the list it was asked for. Here the second open
// lists another volume, as late, where the first listed the share: the
// first's answer must not be read as the second's (it once read an answer
// not yet given, which the checked builds abort on).
TEST_F(DriveList, ALateAnswerOfAnEarlierOpenTouchesOnlyItsOwnVolume)
{
    const std::string stick = mounts / "stick";
    volumes.push_back({share, share});
    std::shared_ptr<Gate> first = hold_share("Holiday photos");
    open_and_close();

    auto second = std::make_shared<Gate>();
    gates.push_back(second);
    question.reset();
    question = std::make_unique<toolkit::ScopedVolumeQuestion>(
        [second, stick](const toolkit::Volume& volume) -> std::optional<std::string> {
            if (volume.root == stick)
                second->wait();
            return volume.root == stick ? "Stick" : volume.label;
        });
    volumes = {{"/", "/"}, {stick, stick}};
    open_and_close();
    EXPECT_EQ(shown(), (QStringList{"/", QString::fromStdString(stick)}));

    first->open();  // The first open's answer comes while the second's is late.
    second->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown().contains("Stick"); }, 5000));
    EXPECT_EQ(shown(), (QStringList{"/", "Stick"}));
}

// A volume that never answers is asked once, however often the list opens,
// and the list never waits for it; once it answers, the next open asks again.
TEST_F(DriveList, AVolumeIsAskedOneQuestionAtATime)
{
    volumes.push_back({share, share});
    auto asked = std::make_shared<std::atomic<int>>(0);
    auto gate = std::make_shared<Gate>();
    gates.push_back(gate);
    toolkit::ScopedVolumeQuestion counting(
        [gate, asked, root = share](const toolkit::Volume& volume) -> std::optional<std::string> {
            if (volume.root != root)
                return volume.label;
            if (++*asked == 1)
                gate->wait();
            return "Holiday photos";
        });
    for (int open = 0; open < 3; ++open)
        open_and_close();
    EXPECT_TRUE(shown().contains(QString::fromStdString(share)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return *asked >= 1; }, 5000));

    gate->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown().contains("Holiday photos"); }, 5000));
    EXPECT_EQ(*asked, 1);  // Questions from the later opens would have been asked by now.
    open_and_close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return *asked == 2; }, 5000));
    EXPECT_TRUE(shown().contains("Holiday photos"));  // The last answer, meanwhile.
}

}  // namespace
