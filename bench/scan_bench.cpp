// Measures the tool on large folders: pointing the file list at a folder,
// the scan, the copy; beside them, on the same folder in the same run, the
// floor (a bare readdir and natural sort, written here in plain C++) and
// `ls -1`, for scale.
//
//   build/test/bench/scan_bench            # 1,000, 100,000 and 1,000,000 files
//   build/test/bench/scan_bench 5000 20000 # other sizes
//
// Prints one line per folder size and locale (C, and en_US.UTF-8 where the
// system has it):
//   bench files=N locale=… open_ms=… scan_ms=… copy_ms=… total_ms=… floor_ms=…
//         ls_ms=… ratio_floor=… ratio_ls=… peak_rss_mb=…
// Each time is the median of several runs on the real main window, drawn
// offscreen; peak memory is the process's while that size and locale ran. The folders are made in a
// temporary folder and removed after.
#include "event_loop.h"
#include "folders.h"
#include "timing.h"

#include "app/main_window.h"
#include "toolkit/application.h"
#include "toolkit/services.h"
#include "toolkit/testing.h"

#include <QLocale>
#include <algorithm>

#include <cctype>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using bench_folders::make_folder;
using timing::median;
using timing::milliseconds;

namespace prop = toolkit::prop;

void settle()
{
    if (!run_until([] { return toolkit::folders_settled(); }, 600000))
        std::exit(1);
}

// The process's peak resident memory since the last reset, so that each
// size and locale is measured on its own.
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

void reset_peak_rss()
{
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

// The practical floor: one readdir pass, then a natural sort (digit runs by
// value, letters ignoring case) of the names as plain strings.
bool natural_less(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            while (i + 1 < ei && a[i] == '0')
                ++i;
            while (j + 1 < ej && b[j] == '0')
                ++j;
            if (ei - i != ej - j)
                return ei - i < ej - j;
            if (int order = a.compare(i, ei - i, b, j, ej - j))
                return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb)
            return la < lb;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::size_t floor_read_and_sort(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        std::exit(1);
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end(), natural_less);
    return names.size();
}

void bench(app::frmMain& window, const std::filesystem::path& work, const std::string& folder,
           int files, const char* locale)
{
    std::string empty = (work / "empty").string();
    toolkit::Object& folders = window.form().control("dirNames");
    toolkit::Object& names = window.form().control("txtNames");
    int runs = files >= 1000000 ? 3 : 5;

    folders.set(prop::Path, empty);
    settle();
    toolkit::clear_clipboard();
    reset_peak_rss();
    std::vector<double> open, scan, copy, floor, ls;
    for (int run = 0; run < runs; ++run) {
        // The floor and ls run while the tool holds nothing of the folder,
        // so that the peak memory is the larger of the two, not their sum.
        folders.set(prop::Path, empty);
        settle();
        toolkit::clear_clipboard();
        floor.push_back(milliseconds([&] {
            if (floor_read_and_sort(folder) != static_cast<std::size_t>(files))
                std::exit(1);
        }));
        std::string command = "ls -1 '" + folder + "' > /dev/null";
        ls.push_back(milliseconds([&] {
            if (std::system(command.c_str()) != 0)
                std::exit(1);
        }));
        // The lists read the folder off the window's thread: opened is when
        // both show it.
        open.push_back(milliseconds([&] {
            folders.set(prop::Path, folder);
            settle();
        }));
        scan.push_back(milliseconds([&] { window.cmdScan_Click(); }));
        copy.push_back(milliseconds([&] { window.cmdClipboard_Click(); }));
    }
    // Read before the checks below, which copy the text twice more.
    double peak_mb = peak_rss_mb();

    // The text must hold every name, each after its carriage return.
    std::string text = toolkit::get_text(names, prop::Text);
    long lines = std::count(text.begin(), text.end(), '\r');
    if (lines != files || toolkit::clipboard_text().size() != text.size()) {
        std::fprintf(stderr, "files=%d: the text holds %ld names\n", files, lines);
        std::exit(1);
    }

    double total = median(open) + median(scan) + median(copy);
    std::printf("bench files=%d locale=%s open_ms=%.1f scan_ms=%.1f copy_ms=%.1f total_ms=%.1f "
                "floor_ms=%.1f ls_ms=%.1f ratio_floor=%.2f ratio_ls=%.2f peak_rss_mb=%.0f\n",
                files, locale, median(open), median(scan), median(copy), total, median(floor),
                median(ls), total / median(floor), total / median(ls), peak_mb);
    std::fflush(stdout);
    folders.set(prop::Path, empty);
    toolkit::clear_clipboard();
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<int> sizes = timing::sizes_from(argc, argv, {1000, 100000, 1000000});

    int qt_argc = 1;
    toolkit::Application application(qt_argc, argv, "Tobrel", "bench");
    std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("tobrel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(work / "empty");
    // The tool collates as the user's locale says; C is what CI runs under.
    std::vector<const char*> locales = {"C"};
    if (std::setlocale(LC_ALL, "en_US.UTF-8"))
        locales.push_back("en_US.UTF-8");
    {
        app::frmMain window;
        window.show();
        for (int files : sizes) {
            std::string folder = make_folder(work, files);
            for (const char* locale : locales) {
                std::setlocale(LC_ALL, locale);
                QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
                bench(window, work, folder, files, locale);
            }
            std::filesystem::remove_all(folder);
        }
    }
    std::filesystem::remove_all(work);
}
