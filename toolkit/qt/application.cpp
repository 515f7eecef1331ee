#include "toolkit/application.h"

#include "utf8.h"

#include <QApplication>

namespace toolkit {

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
};

Application::Application(int& argc, char** argv, std::string_view title, std::string_view version,
                         std::string_view desktop_id)
    : m_impl(std::make_unique<Impl>(argc, argv))
{
    QString name = qt_text(title);
    QApplication::setApplicationName(name.toLower());
    QApplication::setApplicationDisplayName(name);
    QApplication::setApplicationVersion(qt_text(version));
    if (!desktop_id.empty())
        QGuiApplication::setDesktopFileName(qt_text(desktop_id));
}

Application::~Application() = default;

int Application::run() { return QApplication::exec(); }

}  // namespace toolkit
