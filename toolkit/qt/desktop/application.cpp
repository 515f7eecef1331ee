#include "toolkit/application.h"

#include "toolkit/qt/core/utf8.h"

#include <QApplication>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace toolkit {

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) { }
    QApplication app;
};

Application::Application(int& argc, char** argv, std::string_view title, std::string_view version,
                         std::string_view desktop_id)
    : m_impl(std::make_unique<Impl>(argc, argv))
{
    // A big folder's names, keys and text come and go in blocks of tens of
    // megabytes. glibc raises its mmap threshold each time such a block is
    // freed, so the next ones would come from the heap, which keeps freed
    // memory; a fixed threshold gives every big block back when it goes.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QString name = qt_text(title);
    QApplication::setApplicationName(name.toLower());
    QApplication::setApplicationDisplayName(name);
    QApplication::setApplicationVersion(qt_text(version));
    if (!desktop_id.empty())
        QGuiApplication::setDesktopFileName(qt_text(desktop_id));
}

Application::~Application() = default;

void Application::run()
{
    int code = QApplication::exec();
    std::fflush(nullptr);
    ::_exit(code);
}

}  // namespace toolkit
