// The program's event loop and its identity on the desktop.
//
//   int main(int argc, char** argv)
//   {
//       toolkit::Application app(argc, argv, "Tobrel", "0.04", "example.tobrel.Tobrel");
//       frmMain window;
//       window.show();
//       return app.run();
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

    int run();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace toolkit
