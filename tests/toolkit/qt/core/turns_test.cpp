// The one road to the handlers: what waits while an errand is out, what acts
// at once, and in which order everything lands.
#include "toolkit/qt/core/turns.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

using toolkit::Errand;
using toolkit::Turns;

class TurnsTest : public testing::Test {
protected:
    TurnsTest()
    {
        covered.show();
        Turns::instance().cover(&covered);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&covered));
    }
    ~TurnsTest() override
    {
        // Nothing a test left out may hold the next one up.
        Turns::instance().finish(out, [] { });
    }
    Errand begin(std::function<void()> abandoned = {})
    {
        out = Turns::instance().begin(std::move(abandoned));
        return out;
    }

    QLineEdit covered;
    Errand out = 0;
};

TEST_F(TurnsTest, KeysAndHandlersWaitForTheErrandThenLandInTheOrderGiven)
{
    std::vector<std::string> order;
    Errand errand = begin();
    QTest::keyClicks(&covered, "ab");
    Turns::instance().take([&] { order.push_back("click with '" + covered.text().toStdString() + "'"); });
    QTest::keyClicks(&covered, "c");
    EXPECT_EQ(covered.text(), "");  // Nothing has landed yet.
    EXPECT_TRUE(order.empty());

    Turns::instance().finish(errand, [&] { order.push_back("commit"); });
    // The commit first, then the keys and the click as they were given.
    EXPECT_EQ(order, (std::vector<std::string>{"commit", "click with 'ab'"}));
    EXPECT_EQ(covered.text(), "abc");
    EXPECT_TRUE(Turns::instance().idle());

    // Nothing out: a key and a handler act at once.
    QTest::keyClicks(&covered, "d");
    EXPECT_EQ(covered.text(), "abcd");
    bool ran = false;
    Turns::instance().take([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST_F(TurnsTest, EscAbandonsTheErrandAndWhatWaitedGoesOn)
{
    bool abandoned = false;
    bool committed = false;
    Errand errand = begin([&] { abandoned = true; });
    QTest::keyClicks(&covered, "x");
    QTest::keyClick(&covered, Qt::Key_Escape);
    EXPECT_TRUE(abandoned);
    EXPECT_FALSE(Turns::instance().is_out(errand));
    EXPECT_EQ(covered.text(), "x");  // Typed before Esc, it lands now.

    // The work's late end commits nothing.
    Turns::instance().finish(errand, [&] { committed = true; });
    EXPECT_FALSE(committed);
}

TEST_F(TurnsTest, ANewerErrandSupersedesTheOneOut)
{
    std::vector<std::string> commits;
    Errand first = begin();
    Errand second = begin();
    EXPECT_FALSE(Turns::instance().is_out(first));
    Turns::instance().finish(first, [&] { commits.push_back("first"); });
    QTest::keyClicks(&covered, "k");
    EXPECT_EQ(covered.text(), "");  // The second is still out.
    Turns::instance().finish(second, [&] { commits.push_back("second"); });
    EXPECT_EQ(commits, std::vector<std::string>{"second"});
    EXPECT_EQ(covered.text(), "k");
}

TEST_F(TurnsTest, AnErrandBegunByWhatWaitedHoldsTheRest)
{
    Errand first = begin();
    Errand second = 0;
    Turns::instance().take([&] { second = Turns::instance().begin(); });
    QTest::keyClicks(&covered, "z");
    Turns::instance().finish(first, [] { });
    ASSERT_TRUE(Turns::instance().is_out(second));
    EXPECT_EQ(covered.text(), "");  // Given after the task, it waits for its errand.
    out = second;
    Turns::instance().finish(second, [] { });
    EXPECT_EQ(covered.text(), "z");
}

TEST_F(TurnsTest, WindowsNotCoveredTakeKeysAtOnceAndHeldKeysAreBounded)
{
    QLineEdit elsewhere;  // Such as a message box.
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    Errand errand = begin();
    QTest::keyClicks(&elsewhere, "m");
    EXPECT_EQ(elsewhere.text(), "m");

    // A key held down through a read that never ends: the excess is dropped.
    for (int i = 0; i < 10100; ++i)
        QTest::keyClick(&covered, Qt::Key_A);
    Turns::instance().finish(errand, [] { });
    EXPECT_GE(covered.text().size(), 4000);
    EXPECT_LE(covered.text().size(), 5000);  // Press and release count apiece.
}

}  // namespace
