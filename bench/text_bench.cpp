// Measures what the text box costs the user after a scan of a big folder:
// the real main window scans a folder of realistic names, then the box is
// clicked into and edited with the keys a user presses, each timed with the
// repaint it causes. Memory is the process's resident size, read after the
// scan, after the edits and after moving to another folder.
//
//   build/test/bench/text_bench            # 100,000 and 1,000,000 names
//   build/test/bench/text_bench 20000      # other sizes
//
// Offscreen unless QT_QPA_PLATFORM says otherwise; bench/with_screen_reader
// runs it on an X server with a screen reader's listener on the bus.
// Prints one line per size, where the stalls are the longest gaps between
// ticks of a timer on the window's thread, during the scan and the second
// after it, and through the edits:
//   text names=N scan_stall_ms=… edit_stall_ms=… first_click_ms=… first_key_ms=… key_max_ms=…
//        key_median_ms=… copy_all_ms=… replace_all_ms=… text_mb=…
//        edit_extra_mb=… left_behind_mb=…
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
#include <QTest>
#include <QWidget>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

namespace prop = toolkit::prop;

// Resident memory now, after freed memory has been handed back.
double rss_mb()
{
    malloc_trim(0);
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (statm && std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    if (statm)
        std::fclose(statm);
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// One user action and the repaint it asks for, as the user waits for both.
double acted(QAbstractScrollArea* box, const std::function<void()>& action)
{
    return timing::milliseconds([&] {
        action();
        box->viewport()->repaint();
    });
}

void bench(app::frmMain& window, const std::filesystem::path& work, int files)
{
    std::string folder = bench_folders::make_folder(work, files);
    double before_mb = rss_mb();
    window.form().control("dirNames").set(prop::Path, folder);
    if (!run_until(
            [&] {
                return toolkit::get_int(window.form().control("filNames"), prop::ListCount) ==
                    files &&
                    toolkit::folders_settled();
            },
            600000))
        std::exit(1);
    // The scan's stall includes what telling a listener costs after it returns.
    StallMeter meter;
    meter.reset();
    double scan_ms = timing::milliseconds([&] { window.cmdScan_Click(); });
    QElapsedTimer after;
    after.start();
    run_until([&] { return after.elapsed() >= 1000; }, 2000);
    double scan_stall = std::max(scan_ms, meter.longest_ms());
    QAbstractScrollArea* box = names_box();
    QWidget* keys = box;
    // Each key is followed by a short turn of the loop, where what it told
    // a listener goes out, as between a user's keys.
    auto key = [&](Qt::Key pressed, Qt::KeyboardModifiers modifiers = {}) {
        double ms = acted(box, [&] { QTest::keyClick(keys, pressed, modifiers); });
        QElapsedTimer between;
        between.start();
        run_until([&] { return between.elapsed() >= 5; }, 100);
        return ms;
    };
    std::size_t text_bytes =
        toolkit::get_text(window.form().control("txtNames"), prop::Text).size();
    double scanned_mb = rss_mb();

    meter.reset();
    QPoint middle = box->viewport()->rect().center();
    double first_click =
        acted(box, [&] { QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, middle); });
    double first_key = key(Qt::Key_Down, Qt::ShiftModifier);
    std::vector<double> each{first_key, key(Qt::Key_C, Qt::ControlModifier), key(Qt::Key_PageDown),
                             key(Qt::Key_End, Qt::ControlModifier)};
    // Half way down the text, where every edit moves the half after it.
    for (int step = 0; step < 20; ++step)
        each.push_back(key(Qt::Key_PageUp));
    for (char letter : std::string("renamed"))
        each.push_back(key(static_cast<Qt::Key>(Qt::Key_A + (letter - 'a'))));
    each.push_back(key(Qt::Key_Return));
    each.push_back(key(Qt::Key_Backspace));
    each.push_back(key(Qt::Key_Backspace, Qt::ControlModifier));
    each.push_back(key(Qt::Key_Z, Qt::ControlModifier));
    each.push_back(key(Qt::Key_Y, Qt::ControlModifier));
    each.push_back(key(Qt::Key_Down, Qt::ShiftModifier));
    each.push_back(key(Qt::Key_Delete));
    double edit_stall = meter.longest_ms();
    double edit_extra_mb = rss_mb() - scanned_mb;

    double copy_all = key(Qt::Key_A, Qt::ControlModifier) + key(Qt::Key_C, Qt::ControlModifier);
    double replace_all = key(Qt::Key_X);
    if (toolkit::get_text(window.form().control("txtNames"), prop::Text) != "x") {
        std::fprintf(stderr, "the keys did not reach the text box\n");
        std::exit(1);
    }

    window.form().control("dirNames").set(prop::Path, work.string());
    run_until([] { return toolkit::folders_settled(); }, 600000);
    std::filesystem::remove_all(folder);
    // What the user copied is the clipboard's to keep, not the box's.
    QGuiApplication::clipboard()->clear();
    double left_behind_mb = rss_mb() - before_mb;

    std::printf(
        "text names=%d scan_stall_ms=%.1f edit_stall_ms=%.1f first_click_ms=%.1f first_key_ms=%.1f "
        "key_max_ms=%.1f key_median_ms=%.2f copy_all_ms=%.1f replace_all_ms=%.1f "
        "text_mb=%.1f edit_extra_mb=%.1f left_behind_mb=%.1f\n",
        files, scan_stall, edit_stall, first_click, first_key,
        *std::max_element(each.begin(), each.end()), timing::median(each), copy_all, replace_all,
        static_cast<double>(text_bytes) / 1048576.0, edit_extra_mb, left_behind_mb);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) { return run_window_bench(argc, argv, "tobrel-text-", bench); }
