// The program's event loop and its identity on the desktop.
//
//   int main(int argc, char** argv)
//   {
//       toolkit::Application app(argc, argv, "Tobrel", "0.04", "example.tobrel.Tobrel");
//       frmMain window;
//       window.show();
//       app.run();  // Never returns.
//   }
#pragma once

#include <memory>
#include <string_view>

namespace toolkit {

class Application {
public:
    // The desktop id names the program's desktop entry, by which a desktop
    // finds its icon and groups its windows.
    Application(int& argc, char** argv, std::string_view title, std::string_view version,
                std::string_view desktop_id = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the event loop, then ends the process at once with its exit
    // code: a read still stuck on a hung disk is not waited for, and no
    // static is destroyed under a thread that may still use it.
    [[noreturn]] void run();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace toolkit
