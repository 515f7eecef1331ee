#include "toolkit/qt/folders/off_thread.h"

#include "toolkit/scope_exit.h"
#include "toolkit/services.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace toolkit {

namespace {

// What the worker and the waiting thread share. The loop pointer is cleared
// under the lock before the loop goes, so the worker never posts to a loop
// that is gone.
struct Handover {
    std::mutex mutex;
    bool done = false;
    QEventLoop* loop = nullptr;
};

enum ExitCode { ProgramEnding = 0, Finished, EscPressed, DeadlinePassed };

bool holds_back(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove: return true;
    default: return false;
    }
}

struct HeldEvent {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
};

// Holds user input back while any wait runs, and hands it on afterwards.
class InputHold final : public QObject {
public:
    static InputHold& instance()
    {
        static auto* hold = new InputHold(QCoreApplication::instance());
        return *hold;
    }

    void begin(QEventLoop* loop, Abandon abandon)
    {
        m_waits.push_back({loop, abandon});
        if (m_waits.size() == 1)
            QCoreApplication::instance()->installEventFilter(this);
    }

    void end()
    {
        m_waits.pop_back();
        if (!m_waits.empty())
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { hand_on(); });
    }

    bool waiting() const { return !m_waits.empty(); }

    void after_waits(std::function<void()> task)
    {
        m_tasks.push_back(std::move(task));
        if (!waiting())
            QTimer::singleShot(0, this, [this] { hand_on(); });
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        // A shortcut is the key that made it; held as the shortcut, it acts
        // as the shortcut later.
        bool input = event->type() == QEvent::Shortcut ||
            (event->spontaneous() && holds_back(event->type()));
        if (event->type() == QEvent::Close && event->spontaneous()) {
            // Ending closes the windows, and those closes come back here:
            // they must go through, or the closing never finishes.
            if (m_ending)
                return false;
            // The user wants the tool gone; the work may never return.
            m_ending = true;
            ScopeExit ended([this] { m_ending = false; });
            end_program();
            return true;
        }
        if (!input)
            return false;
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            const Wait& innermost = m_waits.back();
            if (innermost.abandon == Abandon::ByEsc) {
                innermost.loop->exit(EscPressed);
                return true;
            }
        }
        m_held.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        return true;
    }

private:
    using QObject::QObject;

    void hand_on()
    {
        // A held event may start another wait; what is left then waits for it.
        while (!waiting() && !m_held.empty()) {
            HeldEvent held = std::move(m_held.front());
            m_held.pop_front();
            if (held.receiver)
                QCoreApplication::sendEvent(held.receiver, held.event.get());
        }
        while (!waiting() && !m_tasks.empty()) {
            std::function<void()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            task();
        }
    }

    struct Wait {
        QEventLoop* loop;
        Abandon abandon;
    };
    std::vector<Wait> m_waits;
    std::deque<HeldEvent> m_held;
    std::deque<std::function<void()>> m_tasks;
    bool m_ending = false;
};

// Shows the busy pointer from a moment on, for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(QObject* context)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, context, [this] {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            m_shown = true;
        });
        m_timer.start(std::chrono::milliseconds(400));
    }
    ~BusyPointer()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    QTimer m_timer;
    bool m_shown = false;
};

}  // namespace

Waited wait_off_thread(std::function<void()> work, Abandon abandon,
                       std::optional<std::chrono::milliseconds> deadline)
{
    auto handover = std::make_shared<Handover>();
    std::thread([handover, work = std::move(work)] {
        work();
        std::lock_guard lock(handover->mutex);
        handover->done = true;
        if (QEventLoop* loop = handover->loop)
            QMetaObject::invokeMethod(
                loop, [loop] { loop->exit(Finished); }, Qt::QueuedConnection);
    }).detach();

    QEventLoop loop;
    {
        std::lock_guard lock(handover->mutex);
        if (handover->done)
            return Waited::Done;
        handover->loop = &loop;
    }
    int code;
    {
        InputHold& hold = InputHold::instance();
        hold.begin(&loop, abandon);
        BusyPointer busy(&loop);
        QTimer timeout;
        if (deadline) {
            timeout.setSingleShot(true);
            QObject::connect(&timeout, &QTimer::timeout, &loop, [&] { loop.exit(DeadlinePassed); });
            timeout.start(*deadline);
        }
        code = loop.exec();
        hold.end();
    }
    std::lock_guard lock(handover->mutex);
    handover->loop = nullptr;
    if (handover->done && code != ProgramEnding)
        return Waited::Done;
    return Waited::Abandoned;
}

void when_not_waiting(std::function<void()> task)
{
    InputHold::instance().after_waits(std::move(task));
}

}  // namespace toolkit
