// Waiting for work on a thread of its own with the window live: what runs
// meanwhile, what is held back for later, and what ends the wait.
#include "toolkit/qt/folders/off_thread.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using toolkit::Abandon;
using toolkit::Waited;
using namespace std::chrono_literals;

// Work that runs until the test lets it end.
struct HeldWork {
    std::shared_ptr<std::atomic<bool>> release = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
    std::function<void()> work()
    {
        return [release = release, finished = finished] {
            while (!*release)
                std::this_thread::sleep_for(1ms);
            *finished = true;
        };
    }
};

TEST(WaitOffThread, TheWindowRunsWhileTheWorkDoesAndInputWaitsForIt)
{
    QLineEdit edit;
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    HeldWork held;
    bool timer_ran_during = false;
    QTimer::singleShot(0, [&] {
        timer_ran_during = !*held.finished;
        QTest::keyClicks(&edit, "ab");  // Typed while the work runs.
        timer_ran_during = timer_ran_during && edit.text().isEmpty();
        *held.release = true;
    });
    EXPECT_EQ(toolkit::wait_off_thread(held.work(), Abandon::ByEsc), Waited::Done);
    EXPECT_TRUE(*held.finished);
    EXPECT_TRUE(timer_ran_during);
    // What was typed arrives afterwards, in order.
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit.text() == "ab"; }, 5000));
}

TEST(WaitOffThread, EscAbandonsOnlyAWaitThatMayBeAbandoned)
{
    QLineEdit edit;
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));

    HeldWork abandoned;
    QTimer::singleShot(0, [&] { QTest::keyClick(&edit, Qt::Key_Escape); });
    EXPECT_EQ(toolkit::wait_off_thread(abandoned.work(), Abandon::ByEsc), Waited::Abandoned);
    EXPECT_FALSE(*abandoned.finished);  // It goes on alone.
    *abandoned.release = true;

    HeldWork kept;
    QTimer::singleShot(0, [&] {
        QTest::keyClick(&edit, Qt::Key_Escape);
        QTimer::singleShot(20, [&] { *kept.release = true; });
    });
    EXPECT_EQ(toolkit::wait_off_thread(kept.work(), Abandon::Never), Waited::Done);
    EXPECT_TRUE(*kept.finished);
}

TEST(WaitOffThread, ADeadlineEndsTheWaitButNotTheWork)
{
    HeldWork held;
    EXPECT_EQ(toolkit::wait_off_thread(held.work(), Abandon::Never, 30ms), Waited::Abandoned);
    EXPECT_FALSE(*held.finished);
    *held.release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return held.finished->load(); }, 5000));
}

TEST(WhenNotWaiting, RunsOnceTheOutermostWaitIsOver)
{
    HeldWork outer;
    std::vector<std::string> order;
    QTimer::singleShot(0, [&] {
        toolkit::when_not_waiting([&] { order.push_back("task"); });
        HeldWork inner;
        QTimer::singleShot(0, [&] { *inner.release = true; });
        toolkit::wait_off_thread(inner.work(), Abandon::Never);
        order.push_back("inner wait over");
        *outer.release = true;
    });
    toolkit::wait_off_thread(outer.work(), Abandon::Never);
    order.push_back("outer wait over");
    EXPECT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000));
    EXPECT_EQ(order, (std::vector<std::string>{"inner wait over", "outer wait over", "task"}));
}

}  // namespace
