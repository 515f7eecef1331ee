#include "toolkit/qt/folders/off_thread.h"

#include <QCoreApplication>
#include <QPointer>

#include <mutex>
#include <thread>

namespace toolkit {

namespace {

// Where finished work is announced. A thread may outlive the application (a
// volume that never answers, or one that answers just as the tool ends), so
// the application is forgotten under the lock before it goes, and a late
// thread then posts nothing. Never freed: a thread may still ask at exit.
struct Mailbox {
    std::mutex lock;
    QCoreApplication* app = nullptr;
};

Mailbox& mailbox()
{
    static Mailbox* const box = [] {
        auto* made = new Mailbox;
        made->app = QCoreApplication::instance();
        qAddPostRoutine([] {
            std::lock_guard held(mailbox().lock);
            mailbox().app = nullptr;
        });
        return made;
    }();
    return *box;
}

}  // namespace

void run_off_thread(std::function<void()> work, QObject* context, std::function<void()> done)
{
    // Whether the context still lives is asked on the window's thread.
    QPointer<QObject> alive(context);
    Mailbox& box = mailbox();
    std::thread([work = std::move(work), alive, &box, done = std::move(done)] {
        work();
        std::lock_guard held(box.lock);
        if (!box.app)
            return;
        QMetaObject::invokeMethod(
            box.app,
            [alive, done] {
                if (alive)
                    done();
            },
            Qt::QueuedConnection);
    }).detach();
}

}  // namespace toolkit
