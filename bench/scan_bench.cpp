// Measures the tool on large folders against the floor: the folder's change
// in the real main window (both lists showing it), the scan, the copy;
// beside them, on the same folder in the same run, what a careful programmer
// would write with no toolkit at all (bench/floor.h): read, sort, join.
//
//   build/test/bench/scan_bench                  # 100,000 and 1,000,000 files
//   build/test/bench/scan_bench 5000000          # other sizes
//   build/test/bench/scan_bench --keep DIR 5000000   # make folders once, in DIR
//
// Prints one line per folder size, locale and listener:
//   bench files=N locale=… a11y=0|1 open_ms=… scan_ms=… copy_ms=… total_ms=…
//         floor_ms=… floor_read_ms=… floor_sort_ms=… floor_join_ms=…
//         ratio_floor=… peak_rss_mb=… floor_peak_rss_mb=…
// a11y=1 runs the window on an X server with a client subscribed to its
// accessibility events (bench/with_screen_reader); there the line also
// gives transfer_ms, how long another program then takes to receive the
// whole clipboard. Each time is the median of several runs, each run a
// fresh process, the floor's and the tool's taken in turns; peak memory is
// the largest any one run of it reached.
#include "event_loop.h"
#include "floor.h"
#include "folders.h"
#include "timing.h"

#include "app/main_window.h"
#include "toolkit/application.h"
#include "toolkit/services.h"
#include "toolkit/testing.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using timing::median;
using timing::milliseconds;

namespace prop = toolkit::prop;

double peak_rss_mb()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kib = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    if (status)
        std::fclose(status);
    return static_cast<double>(kib) / 1024.0;
}

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "scan_bench: %s\n", why.c_str());
    std::exit(1);
}

std::size_t count_names(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
}

// One run of the floor, in a process of its own.
int run_floor(const char* folder, std::size_t files)
{
    bench_floor::Parts parts;
    std::string text;
    double total = milliseconds([&] { text = bench_floor::names_text(folder, parts); });
    if (count_names(text) != files)
        fail("the floor found " + std::to_string(count_names(text)) + " names");
    std::printf("floor total_ms=%.1f read_ms=%.1f sort_ms=%.1f join_ms=%.1f peak_rss_mb=%.1f\n",
                total, parts.read_ms, parts.sort_ms, parts.join_ms, peak_rss_mb());
    return 0;
}

std::size_t received_bytes = 0;

// How long another program takes to receive the whole clipboard, while the
// window serves it; what it received is left in `received_bytes`.
double transfer_ms()
{
    std::atomic<bool> done = false;
    received_bytes = 0;
    return milliseconds([&] {
        std::thread reader([&] {
            if (std::FILE* pipe = popen("xclip -o -selection clipboard", "r")) {
                char chunk[1 << 16];
                while (std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe))
                    received_bytes += got;
                pclose(pipe);
            }
            done = true;
        });
        run_until([&] { return done.load(); }, 600000);
        reader.join();
    });
}

// One run of the tool, in a process of its own: the window shows an empty
// folder, then the big one.
int run_tool(char** argv, const char* folder, std::size_t files)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    bool on_x = platform && std::strcmp(platform, "xcb") == 0;
    int qt_argc = 1;
    toolkit::Application application(qt_argc, argv, "Tobrel", "bench");
    std::filesystem::path empty = std::filesystem::path(folder).parent_path() / "empty";
    std::filesystem::create_directories(empty);
    app::frmMain window;
    window.show();
    toolkit::Object& folders = window.form().control("dirNames");
    toolkit::Object& names = window.form().control("txtNames");
    auto settle = [] {
        if (!run_until([] { return toolkit::folders_settled(); }, 600000))
            fail("the folder never settled");
    };
    folders.set(prop::Path, empty.string());
    settle();

    // Opened is when both lists show the folder; they read it off the
    // window's thread.
    double open = milliseconds([&] {
        folders.set(prop::Path, folder);
        settle();
    });
    double scan = milliseconds([&] { window.cmdScan_Click(); });
    double copy = milliseconds([&] { window.cmdClipboard_Click(); });
    double transfer = on_x ? transfer_ms() : 0;
    // Whatever the window still tells listeners after the copy counts
    // towards its peak memory.
    run_until([] { return false; }, 300);
    double peak = peak_rss_mb();

    // Checked after the peak is read, since the checks copy the text.
    std::string text = toolkit::get_text(names, prop::Text);
    if (count_names(text) != files)
        fail("the text holds " + std::to_string(count_names(text)) + " names");
    if (on_x && received_bytes != text.size())
        fail("another program received " + std::to_string(received_bytes) + " of " +
             std::to_string(text.size()) + " bytes");
    if (toolkit::clipboard_text().size() != text.size())
        fail("the clipboard does not hold the text");

    // The same text served by xclip, for scale: what the floor's text would
    // cost to hand over.
    double xclip_transfer = 0;
    if (on_x) {
        std::filesystem::path file = empty.parent_path() / ("text-" + std::to_string(getpid()));
        if (std::FILE* out = std::fopen(file.c_str(), "w")) {
            std::fwrite(text.data(), 1, text.size(), out);
            std::fclose(out);
        }
        // xclip stays to serve the text: it must not hold the bench's output open.
        std::string command =
            "xclip -i -selection clipboard '" + file.string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            fail("xclip could not take the clipboard");
        xclip_transfer = transfer_ms();
        std::filesystem::remove(file);
        if (received_bytes != text.size())
            fail("xclip served " + std::to_string(received_bytes) + " bytes");
    }
    std::printf("tool open_ms=%.1f scan_ms=%.1f copy_ms=%.1f transfer_ms=%.1f "
                "xclip_transfer_ms=%.1f peak_rss_mb=%.1f\n",
                open, scan, copy, transfer, xclip_transfer, peak);
    return 0;
}

// The figures a child printed, by name.
std::map<std::string, double> run_child(const std::string& command)
{
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        fail("cannot run " + command);
    std::map<std::string, double> figures;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        for (char* field = std::strtok(line, " \n"); field; field = std::strtok(nullptr, " \n"))
            if (char* equals = std::strchr(field, '=')) {
                *equals = '\0';
                figures[field] = std::atof(equals + 1);
            }
    }
    if (pclose(pipe) != 0)
        fail("this failed: " + command);
    return figures;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

bool can_listen()
{
    return std::system("command -v Xvfb >/dev/null && command -v xclip >/dev/null && "
                       "/usr/bin/python3 -c 'import pyatspi' 2>/dev/null") == 0;
}

// A folder of `files` made under `parent`, or the one made there before.
std::string folder_of(const std::filesystem::path& parent, int files)
{
    std::filesystem::path folder = parent / ("files-" + std::to_string(files));
    // A hidden mark, which neither the tool nor the floor lists, says the
    // folder was made to the end.
    if (std::filesystem::exists(folder / ".complete"))
        return folder.string();
    std::filesystem::remove_all(folder);
    bench_folders::make_folder(parent, files);
    std::FILE* mark = std::fopen((folder / ".complete").c_str(), "w");
    if (mark)
        std::fclose(mark);
    return folder.string();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--floor") == 0)
        return run_floor(argv[2], std::strtoul(argv[3], nullptr, 10));
    if (argc == 4 && std::strcmp(argv[1], "--tool") == 0)
        return run_tool(argv, argv[2], std::strtoul(argv[3], nullptr, 10));

    std::filesystem::path work;
    bool keep = argc >= 3 && std::strcmp(argv[1], "--keep") == 0;
    if (keep) {
        work = argv[2];
        argc -= 2;
        argv += 2;
    } else {
        work =
            std::filesystem::temp_directory_path() / ("tobrel-bench-" + std::to_string(getpid()));
    }
    std::filesystem::create_directories(work);
    std::vector<int> sizes = timing::sizes_from(argc, argv, {100000, 1000000});

    std::string self = quoted(std::filesystem::canonical("/proc/self/exe").string());
    std::string listener = quoted(TOBREL_BENCH_DIR "/with_screen_reader");
    std::vector<int> listening = {0};
    if (can_listen())
        listening.push_back(1);
    else
        std::fprintf(stderr, "scan_bench: no Xvfb, xclip or pyatspi: measuring offscreen only\n");
    const char* locales[] = {"C.UTF-8", "en_US.UTF-8"};

    for (int files : sizes) {
        std::string folder = quoted(folder_of(work, files));
        std::string args = folder + " " + std::to_string(files) + " 2>/dev/null";
        for (const char* locale : locales) {
            std::string env = std::string("LC_ALL=") + locale + " ";
            int runs = files >= 5000000 ? 1 : files >= 1000000 ? 3 : 5;
            std::map<std::string, std::vector<double>> floor;
            std::map<int, std::map<std::string, std::vector<double>>> tool;
            for (int run = 0; run < runs; ++run) {
                for (auto& [name, value] : run_child(env + self + " --floor " + args))
                    floor[name].push_back(value);
                for (int a11y : listening) {
                    std::string command = a11y
                        ? env + listener + " " + self + " --tool " + args
                        : env + "QT_QPA_PLATFORM=offscreen " + self + " --tool " + args;
                    for (auto& [name, value] : run_child(command))
                        tool[a11y][name].push_back(value);
                }
            }
            for (int a11y : listening) {
                auto& figures = tool[a11y];
                double total = median(figures["open_ms"]) + median(figures["scan_ms"]) +
                    median(figures["copy_ms"]);
                double floor_ms = median(floor["total_ms"]);
                std::printf(
                    "bench files=%d locale=%s a11y=%d open_ms=%.1f scan_ms=%.1f copy_ms=%.1f "
                    "total_ms=%.1f floor_ms=%.1f floor_read_ms=%.1f floor_sort_ms=%.1f "
                    "floor_join_ms=%.1f ratio_floor=%.2f peak_rss_mb=%.0f floor_peak_rss_mb=%.0f",
                    files, locale, a11y, median(figures["open_ms"]), median(figures["scan_ms"]),
                    median(figures["copy_ms"]), total, floor_ms, median(floor["read_ms"]),
                    median(floor["sort_ms"]), median(floor["join_ms"]), total / floor_ms,
                    *std::max_element(figures["peak_rss_mb"].begin(), figures["peak_rss_mb"].end()),
                    *std::max_element(floor["peak_rss_mb"].begin(), floor["peak_rss_mb"].end()));
                // Until another program has received every name: the tool
                // serving it, against xclip serving the floor's text.
                if (a11y) {
                    double transfer = median(figures["transfer_ms"]);
                    double xclip = median(figures["xclip_transfer_ms"]);
                    std::printf(" transfer_ms=%.1f xclip_transfer_ms=%.1f ratio_received=%.2f",
                                transfer, xclip, (total + transfer) / (floor_ms + xclip));
                }
                std::printf("\n");
                std::fflush(stdout);
            }
        }
        if (!keep)
            std::filesystem::remove_all(work / ("files-" + std::to_string(files)));
    }
    if (!keep)
        std::filesystem::remove_all(work);
}
