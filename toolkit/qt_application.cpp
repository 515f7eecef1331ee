#include "toolkit/application.h"

#include <QApplication>

namespace toolkit {

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
};

Application::Application(int& argc, char** argv, std::string_view title, std::string_view version)
    : m_impl(std::make_unique<Impl>(argc, argv))
{
    QString name = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    QApplication::setApplicationName(name.toLower());
    QApplication::setApplicationDisplayName(name);
    QApplication::setApplicationVersion(
        QString::fromUtf8(version.data(), static_cast<qsizetype>(version.size())));
}

Application::~Application() = default;

int Application::run() { return QApplication::exec(); }

}  // namespace toolkit
