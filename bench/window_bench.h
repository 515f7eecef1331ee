// What the benchmarks of the whole window share: the application, the real
// main window (offscreen unless QT_QPA_PLATFORM says otherwise) showing a
// work folder of its own, and one run per folder size asked for.
//
//   int main(int argc, char** argv)
//   {
//       return run_window_bench(argc, argv, "tobrel-change-", bench);
//   }
// where bench(window, work, files) makes its folder under `work`.
#pragma once

#include "event_loop.h"
#include "timing.h"

#include "app/main_window.h"
#include "toolkit/application.h"
#include "toolkit/testing.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

template <class Bench> int run_window_bench(int argc, char** argv, const char* prefix, Bench bench)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<int> sizes = timing::sizes_from(argc, argv, {100000, 1000000});
    int qt_argc = 1;
    toolkit::Application application(qt_argc, argv, "Tobrel", "bench");
    std::filesystem::path work =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()));
    std::filesystem::create_directories(work);
    {
        app::frmMain window;
        window.show();
        window.form().control("dirNames").set(toolkit::prop::Path, work.string());
        run_until([] { return toolkit::folders_settled(); }, 600000);
        for (int files : sizes)
            bench(window, work, files);
    }
    std::filesystem::remove_all(work);
    return 0;
}
