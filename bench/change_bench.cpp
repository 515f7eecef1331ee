// Measures what a change in a big folder costs the window: the folder is
// shown in the real main window, drawn offscreen, and files are created in
// it behind the tool's back, one alone and then a burst. A timer ticking on
// the window's thread every millisecond finds its longest stall.
//
//   build/test/bench/change_bench            # 100,000 and 1,000,000 files
//   build/test/bench/change_bench 20000      # other sizes
//
// Prints one line per folder size:
//   change files=N one_stall_ms=… one_shown_ms=… burst=B burst_stall_ms=…
//          burst_shown_ms=… idle_stall_ms=…
// where shown is the time from the change (the burst's last file) until the
// file list holds it, and idle the longest stall of the same wait with no change.
#include "event_loop.h"
#include "folders.h"
#include "timing.h"
#include "window_bench.h"

#include "app/main_window.h"
#include "toolkit/testing.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

namespace prop = toolkit::prop;

std::int32_t listed(app::frmMain& window)
{
    return toolkit::get_int(window.form().control("filNames"), prop::ListCount);
}

// Waits until the file list holds `count` names; the time it took.
double until_listed(app::frmMain& window, std::int32_t count)
{
    QElapsedTimer waited;
    waited.start();
    if (!run_until([&] { return listed(window) == count && toolkit::folders_settled(); }, 600000)) {
        std::fprintf(stderr, "the file list holds %d names, not %d\n", listed(window), count);
        std::exit(1);
    }
    return static_cast<double>(waited.nsecsElapsed()) / 1e6;
}

void touch(const std::string& path)
{
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::close(fd);
}

void bench(app::frmMain& window, const std::filesystem::path& work, int files)
{
    std::string folder = bench_folders::make_folder(work, files);
    window.form().control("dirNames").set(prop::Path, folder);
    until_listed(window, files);
    StallMeter meter;

    // Idle: the same kind of wait with nothing changing, for scale.
    meter.reset();
    QElapsedTimer idle;
    idle.start();
    run_until([&] { return idle.elapsed() >= 300; }, 1000);
    double idle_stall = meter.longest_ms();

    meter.reset();
    touch(folder + "/zz one more.txt");
    double one_shown = until_listed(window, files + 1);
    double one_stall = meter.longest_ms();

    // A burst made by another program as fast as it can.
    int burst = std::min(files / 10, 100000);
    meter.reset();
    std::atomic<bool> made = false;
    std::thread maker([&] {
        for (int number = 0; number < burst; ++number)
            touch(folder + "/burst " + std::to_string(number));
        made = true;
    });
    // The window goes on serving while the burst is made.
    if (!run_until([&] { return made.load(); }, 600000))
        std::exit(1);
    maker.join();
    double burst_shown = until_listed(window, files + 1 + burst);
    double burst_stall = meter.longest_ms();

    std::printf("change files=%d one_stall_ms=%.1f one_shown_ms=%.1f burst=%d "
                "burst_stall_ms=%.1f burst_shown_ms=%.1f idle_stall_ms=%.1f\n",
                files, one_stall, one_shown, burst, burst_stall, burst_shown, idle_stall);
    std::fflush(stdout);
    window.form().control("dirNames").set(prop::Path, work.string());
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) { return run_window_bench(argc, argv, "tobrel-change-", bench); }
