#include "toolkit/application.h"

#include "toolkit/qt/core/utf8.h"
#include "toolkit/services.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace toolkit {

namespace {

int signal_pipe[2] = {-1, -1};

void on_signal(int)
{
    // Only what is safe in a signal handler: the event loop reads the byte.
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) { }
    QApplication app;
    std::unique_ptr<QSocketNotifier> ending;
    bool m_asked_to_end = false;

    // A desktop ending its session, or `kill`, asks with SIGTERM (a closed
    // terminal with SIGHUP): the program then ends as Exit ends it, handing
    // the clipboard over, instead of dying with the copied text.
    void end_on_signals()
    {
        if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        ending = std::make_unique<QSocketNotifier>(signal_pipe[0], QSocketNotifier::Read);
        QObject::connect(ending.get(), &QSocketNotifier::activated, [this] {
            char bytes[16];
            while (::read(signal_pipe[0], bytes, sizeof bytes) > 0) { }
            // Asked again while a clipboard manager is still taking the
            // text: the asker will not wait longer.
            if (m_asked_to_end)
                ::_exit(0);
            m_asked_to_end = true;
            end_program();
        });
        struct sigaction action {};
        action.sa_handler = on_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGTERM, SIGHUP, SIGINT})
            ::sigaction(signal, &action, nullptr);
    }
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
    m_impl->end_on_signals();
}

Application::~Application() = default;

void Application::run()
{
    int code = QApplication::exec();
    std::fflush(nullptr);
    ::_exit(code);
}

}  // namespace toolkit
