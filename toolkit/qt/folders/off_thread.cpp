#include "toolkit/qt/folders/off_thread.h"

#include <QCoreApplication>
#include <QPointer>

#include <thread>

namespace toolkit {

void run_off_thread(std::function<void()> work, QObject* context, std::function<void()> done)
{
    // The application lives until the process ends: the thread may always
    // post to it. Whether the context still lives is asked on its thread.
    QPointer<QObject> alive(context);
    QCoreApplication* app = QCoreApplication::instance();
    std::thread([work = std::move(work), alive, app, done = std::move(done)] {
        work();
        QMetaObject::invokeMethod(
            app,
            [alive, done] {
                if (alive)
                    done();
            },
            Qt::QueuedConnection);
    }).detach();
}

}  // namespace toolkit
