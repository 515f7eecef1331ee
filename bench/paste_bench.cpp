// Measures what a big paste costs the window: another program holds a text
// of many short lines on the clipboard, and Ctrl+V pastes it into the real
// main window's text box, then Ctrl+Z takes it back.
//
//   bench/with_x build/test/bench/paste_bench         # 50 and 256 MiB
//   bench/with_x build/test/bench/paste_bench 10      # other sizes, in MiB
//
// On an X server `xclip` holds the text, as a program the user copied from
// would, and the tool reads it as it reads any other program's; offscreen
// the clipboard lives in the process. Prints one line per size:
//   paste mb=N platform=… paste_ms=… paste_stall_ms=… peak_extra_mb=… undo_stall_ms=…
// where a stall is the longest gap between ticks of a timer on the window's
// thread, and peak_extra_mb the most memory the process held during the
// paste above what it held before it.
#include "event_loop.h"
#include "names_box.h"
#include "timing.h"
#include "window_bench.h"

#include "app/main_window.h"
#include "toolkit/testing.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

extern char** environ;

namespace {

namespace prop = toolkit::prop;

// A field of /proc/self/status, in MiB.
double status_mb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + std::string(field).size()) / 1024.0;
    return 0;
}

// Lines of names with a line feed after each, as another program copies them.
std::string lines_of(std::size_t bytes)
{
    std::string text;
    text.reserve(bytes + 64);
    for (int number = 0; text.size() < bytes; ++number)
        text.append("Report ").append(std::to_string(number)).append(" final.pdf\n");
    text.resize(bytes);
    return text;
}

// Starts xclip holding the text as the clipboard's owner, and waits until
// it does.
pid_t hold_with_xclip(const std::string& text, const std::string& work)
{
    std::string file = work + "/clipboard.txt";
    std::ofstream(file, std::ios::binary) << text;
    const char* argv[] = {"xclip", "-selection", "clipboard", "-quiet", "-i", file.c_str(), nullptr};
    pid_t xclip = 0;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    int spawned =
        posix_spawnp(&xclip, "xclip", &quiet, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        std::perror("xclip");
        std::exit(1);
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    run_until([&] { return !clipboard->ownsClipboard() && clipboard->mimeData() &&
                           clipboard->mimeData()->hasText(); },
              30000);
    return xclip;
}

void bench(app::frmMain& window, const std::filesystem::path& work, int mib)
{
    std::size_t bytes = static_cast<std::size_t>(mib) << 20;
    bool on_x = QGuiApplication::platformName() == QLatin1String("xcb");
    pid_t xclip = 0;
    {
        std::string text = lines_of(bytes);
        if (on_x)
            xclip = hold_with_xclip(text, work.string());
        else
            QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
    QAbstractScrollArea* box = names_box();
    window.form().control("txtNames").set(prop::Text, std::string());
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());
    run_until([] { return toolkit::folders_settled(); }, 10000);

    double before_mb = status_mb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // The peak starts again from here.
    StallMeter meter;
    meter.reset();
    double paste_ms = timing::milliseconds([&] {
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        // Landed once the box can scroll down through it.
        run_until([&] { return box->verticalScrollBar()->maximum() > 0; }, 600000);
        box->viewport()->repaint();
    });
    double paste_stall = meter.longest_ms();
    double peak_extra = status_mb("VmHWM:") - before_mb;
    if (box->verticalScrollBar()->maximum() == 0) {
        std::fprintf(stderr, "nothing was pasted\n");
        std::exit(1);
    }

    meter.reset();
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    run_until([&] { return box->verticalScrollBar()->maximum() == 0; }, 60000);
    double undo_stall = meter.longest_ms();

    std::printf("paste mb=%d platform=%s paste_ms=%.1f paste_stall_ms=%.1f peak_extra_mb=%.1f "
                "undo_stall_ms=%.1f\n",
                mib, on_x ? "xcb" : "offscreen", paste_ms, paste_stall, peak_extra, undo_stall);
    std::fflush(stdout);
    if (xclip) {
        kill(xclip, SIGTERM);
        waitpid(xclip, nullptr, 0);
    }
    QGuiApplication::clipboard()->clear();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        static char fifty[] = "50", most[] = "256";
        static char* sizes[] = {argv[0], fifty, most, nullptr};
        return run_window_bench(3, sizes, "tobrel-paste-", bench);
    }
    return run_window_bench(argc, argv, "tobrel-paste-", bench);
}
