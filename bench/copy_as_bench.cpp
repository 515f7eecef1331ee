// Measures the "Copy names as" menu on large folders, each form against the
// copy Scan and Copy make (Copy's own time, the text box already filled),
// and the table against a bare loop asking the file system for each file's
// size and time; with the longest the window's thread went without a turn
// while a form was written. All in one process, in turns, in the real main
// window (offscreen unless QT_QPA_PLATFORM says otherwise).
//
//   build/test/bench/copy_as_bench             # 100,000 and 1,000,000 files
//   build/test/bench/copy_as_bench 200000      # other sizes
//
// Prints one line per folder size and form:
//   bench files=N form=… form_ms=… copy_ms=… ratio_copy=… [stat_ms=… ratio_stat=…] stall_ms=…
// Each time is the median of five runs. Then, per size, the table chosen 20
// times in a row, as an impatient user might, each choice superseding the
// last: the most threads and the most memory above the start while they
// run, and how long until the last one has landed:
//   superseded files=N tables=20 peak_threads=… start_threads=… peak_rss_mb=… start_rss_mb=… settled_ms=…
#include "event_loop.h"
#include "folders.h"
#include "timing.h"
#include "window_bench.h"

#include "app/design.h"
#include "toolkit/names.h"
#include "toolkit/services.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

namespace prop = toolkit::prop;

constexpr int runs = 5;

// What a careful programmer's tool does at least to know each file's size
// and time: one call to the file system per name.
double stat_loop_ms(const toolkit::ListedNames& names)
{
    return timing::milliseconds([&] {
        std::string folder(names.folder());
        int at = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::string name;
        std::uint64_t total = 0;
        for (std::size_t place = 0; place < names.size(); ++place) {
            name.assign(names.raw(place));
            struct stat found { };
            if (::fstatat(at, name.c_str(), &found, 0) == 0)
                total += static_cast<std::uint64_t>(found.st_size);
        }
        ::close(at);
        if (total == 1)
            std::printf("\n");  // Keeps the loop from being optimised away.
    });
}

// A field of /proc/self/status, in its own unit (kB for sizes).
long status_field(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long value = 0;
    char line[256];
    std::size_t length = std::strlen(field);
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            value = std::atol(line + length + 1);
    if (status)
        std::fclose(status);
    return value;
}

void superseded_tables(app::frmMain& window, int files)
{
    const app::CopyAsEntry& table = app::CopyAsEntries[6];
    long start_threads = status_field("Threads"), start_rss = status_field("VmRSS");
    long peak_threads = start_threads, peak_rss = start_rss;
    auto sample = [&] {
        peak_threads = std::max(peak_threads, status_field("Threads"));
        peak_rss = std::max(peak_rss, status_field("VmRSS"));
    };
    double settled_ms = timing::milliseconds([&] {
        for (int choice = 0; choice < 20; ++choice) {
            window.mnuCopyNamesAs_Click(table);
            // A turn of the window between choices, as between two key presses.
            run_until([&] {
                sample();
                return true;
            }, 1000);
        }
        run_until([&] {
            sample();
            return !window.copying();
        }, 600000);
    });
    std::printf("superseded files=%d tables=20 peak_threads=%ld start_threads=%ld "
                "peak_rss_mb=%.1f start_rss_mb=%.1f settled_ms=%.1f\n",
                files, peak_threads, start_threads, static_cast<double>(peak_rss) / 1024,
                static_cast<double>(start_rss) / 1024, settled_ms);
    std::fflush(stdout);
}

void bench(app::frmMain& window, const std::filesystem::path& work, int files)
{
    std::string folder = bench_folders::make_folder(work, files);
    window.form().control("dirNames").set(prop::Path, folder);
    run_until([] { return toolkit::folders_settled(); }, 600000);
    window.cmdScan_Click();
    std::shared_ptr<const toolkit::ListedNames> names =
        toolkit::listed_names(window.form().control("filNames"));
    if (names->size() != static_cast<std::size_t>(files))
        std::fprintf(stderr, "copy_as_bench: the list holds %zu names\n", names->size());

    StallMeter stalls;
    for (const app::CopyAsEntry& entry : app::CopyAsEntries) {
        std::vector<double> copy, form, stat, stall, write;
        for (int run = 0; run < runs; ++run) {
            copy.push_back(timing::milliseconds([&] { window.cmdClipboard_Click(); }));
            stalls.reset();
            form.push_back(timing::milliseconds([&] {
                window.mnuCopyNamesAs_Click(entry);
                run_until([&] { return !window.copying(); }, 600000);
            }));
            stall.push_back(stalls.longest_ms());
            if (entry.form != app::NameForm::Table)
                write.push_back(timing::milliseconds([&] {
                    toolkit::ClipboardWriter text(app::expected_bytes(entry.form, *names));
                    app::write_names(text, entry.form, *names);
                    if (text.written().empty())
                        std::printf("\n");
                }));
            if (entry.form == app::NameForm::Table)
                stat.push_back(stat_loop_ms(*names));
        }
        static const char* const form_names[] = {
            "lines", "windows_lines", "tabs", "csv", "without_extensions", "full_paths", "table"};
        std::string form_name = form_names[static_cast<int>(entry.form)];
        double form_ms = timing::median(form), copy_ms = timing::median(copy);
        std::printf("bench files=%d form=%s form_ms=%.1f copy_ms=%.1f ratio_copy=%.2f", files,
                    form_name.c_str(), form_ms, copy_ms, form_ms / copy_ms);
        if (!stat.empty())
            std::printf(" stat_ms=%.1f ratio_stat=%.2f", timing::median(stat),
                        form_ms / timing::median(stat));
        if (!write.empty())
            std::printf(" write_ms=%.1f", timing::median(write));
        std::printf(" stall_ms=%.1f\n", timing::median(stall));
        std::fflush(stdout);
    }
    superseded_tables(window, files);
    window.form().control("dirNames").set(prop::Path, work.string());
    run_until([] { return toolkit::folders_settled(); }, 600000);
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) { return run_window_bench(argc, argv, "tobrel-copy-as-", bench); }
