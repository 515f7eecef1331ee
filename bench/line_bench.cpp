// Measures what one very long line costs the text box: the tab-separated
// form of many names, one line, is pasted into the real main window's box
// and then edited with the keys a user presses at its end, its start and in
// its middle, each timed with the repaint it causes.
//
//   build/test/bench/line_bench            # 100,000 and 1,000,000 names
//   build/test/bench/line_bench 20000      # other sizes
//
// Offscreen unless QT_QPA_PLATFORM says otherwise. Prints one line per size:
//   line names=N line_mb=… paste_ms=… paste_stall_ms=… key_max_ms=… key_median_ms=…
//        slowest_key=… key_stall_ms=…
// where paste_stall_ms is the longest gap between ticks of a timer on the
// window's thread from Ctrl+V until a second after the pasted text is
// drawn, and
// key_stall_ms the same through all the keys.
#include "event_loop.h"
#include "names_box.h"
#include "folders.h"
#include "timing.h"
#include "window_bench.h"

#include "app/main_window.h"
#include "toolkit/testing.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

namespace prop = toolkit::prop;

std::string tab_separated(int names)
{
    std::mt19937 random(static_cast<unsigned>(names));
    std::string line;
    for (int number = 0; number < names; ++number)
        line.append(number ? "\t" : "").append(bench_folders::realistic_name(random, number));
    return line;
}

void bench(app::frmMain& window, const std::filesystem::path&, int names)
{
    std::string line = tab_separated(names);
    QGuiApplication::clipboard()->setText(QString::fromStdString(line));
    QAbstractScrollArea* box = names_box();
    window.form().control("txtNames").set(prop::Text, std::string());
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());

    StallMeter meter;
    meter.reset();
    double paste_ms = timing::milliseconds([&] {
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        // The line has landed once the box can scroll along it; reading
        // the text back would copy it at every look.
        run_until([&] { return box->horizontalScrollBar()->maximum() > 0; }, 600000);
        box->viewport()->repaint();
    });
    // The paste's stall includes what telling a listener costs after it
    // lands, as a user's next key comes a moment later.
    QElapsedTimer after;
    after.start();
    run_until([&] { return after.elapsed() >= 1000; }, 2000);
    double paste_stall = meter.longest_ms();

    struct Key {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    // The caret starts at the line's end, where the paste left it.
    const Key keys[] = {
        {"x", Qt::Key_X, {}},
        {"Backspace", Qt::Key_Backspace, {}},
        {"Left", Qt::Key_Left, {}},
        {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier},
        {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier},
        {"Delete", Qt::Key_Delete, {}},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
        {"Home", Qt::Key_Home, {}},
        {"y", Qt::Key_Y, {}},
        {"Backspace", Qt::Key_Backspace, {}},
        {"Right", Qt::Key_Right, {}},
        {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier},
        {"Delete", Qt::Key_Delete, {}},
        {"End", Qt::Key_End, {}},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
    };
    // Each key is followed by a short turn of the loop, where what it told
    // a listener goes out and where a screen reader's bridge, which holds
    // keys back until its listeners have seen them, lets them through.
    std::vector<double> each;
    const char* slowest = "";
    auto timed = [&](const char* name, const std::function<void()>& action) {
        double ms = timing::milliseconds([&] {
            action();
            box->viewport()->repaint();
        });
        if (each.empty() || ms > *std::max_element(each.begin(), each.end()))
            slowest = name;
        each.push_back(ms);
        if (std::getenv("LINE_BENCH_EACH"))
            std::fprintf(stderr, "%s %.1f ms\n", name, ms);
        QElapsedTimer between;
        between.start();
        run_until([&] { return between.elapsed() >= 5; }, 100);
    };
    meter.reset();
    for (const Key& key : keys)
        timed(key.name, [&] { QTest::keyClick(box, key.key, key.modifiers); });
    // The middle of the line, reached by a click after scrolling there.
    box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->maximum() / 2);
    timed("click", [&] {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());
    });
    for (const Key& key : {Key{"z", Qt::Key_Z, {}}, Key{"Backspace", Qt::Key_Backspace, {}},
                           Key{"Right", Qt::Key_Right, {}}})
        timed(key.name, [&] { QTest::keyClick(box, key.key, key.modifiers); });
    // Reading the text back copies it, so it is looked at seldom.
    auto left = [&] { return toolkit::get_text(window.form().control("txtNames"), prop::Text).size(); };
    for (int look = 0; look < 100 && left() != line.size(); ++look) {
        QElapsedTimer between;
        between.start();
        run_until([&] { return between.elapsed() >= 100; }, 200);
    }
    double key_stall = meter.longest_ms();
    if (left() != line.size()) {
        std::fprintf(stderr, "the keys left %zu bytes of the %zu pasted\n", left(), line.size());
        std::exit(1);
    }
    std::printf("line names=%d line_mb=%.1f paste_ms=%.1f paste_stall_ms=%.1f key_max_ms=%.1f "
                "key_median_ms=%.2f slowest_key=%s key_stall_ms=%.1f\n",
                names, static_cast<double>(line.size()) / 1048576.0, paste_ms, paste_stall,
                *std::max_element(each.begin(), each.end()), timing::median(each), slowest, key_stall);
    std::fflush(stdout);
    window.form().control("txtNames").set(prop::Text, std::string());
}

}  // namespace

int main(int argc, char** argv) { return run_window_bench(argc, argv, "tobrel-line-", bench); }
