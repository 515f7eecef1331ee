#include "toolkit/qt/core/turns.h"

#include "toolkit/scope_exit.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace toolkit {

namespace {

// Keys held back beyond this many are dropped, with a beep: a key held down
// through a read that never ends must not eat the machine's memory.
constexpr std::size_t most_held = 10000;

constexpr auto busy_after = std::chrono::milliseconds(400);

bool is_key_input(QEvent::Type type)
{
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::InputMethod;
}

}  // namespace

Turns& Turns::instance()
{
    // Made once, with the application as its parent; the program ends with
    // `_exit`, so nothing here runs during static destruction.
    static auto* turns = [] {
        auto* made = new Turns(QCoreApplication::instance());
        made->m_busy_timer.setSingleShot(true);
        QObject::connect(&made->m_busy_timer, &QTimer::timeout, made,
                         [made] { made->show_busy(true); });
        return made;
    }();
    return *turns;
}

void Turns::cover(QWidget* window) { m_covered.emplace_back(window); }

bool Turns::is_covered(QObject* receiver) const
{
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return false;
    QWidget* window = widget->window();
    return std::any_of(m_covered.begin(), m_covered.end(),
                       [&](const QPointer<QWidget>& covered) { return covered == window; });
}

void Turns::take(std::function<void()> task)
{
    if (m_out != 0 || !m_waiting.empty() || m_running) {
        m_waiting.push_back({nullptr, nullptr, std::move(task)});
        hold(true);
        return;
    }
    {
        m_running = true;
        ScopeExit done([this] { m_running = false; });
        task();
    }
    run_waiting();
}

Errand Turns::begin(std::function<void()> abandoned)
{
    m_out = ++m_last;
    m_abandoned = std::move(abandoned);
    hold(true);
    if (!m_busy_shown && !m_busy_timer.isActive())
        m_busy_timer.start(busy_after);
    return m_out;
}

void Turns::finish(Errand errand, const std::function<void()>& commit)
{
    if (!is_out(errand))
        return;
    m_out = 0;
    m_abandoned = nullptr;
    bool outermost = !m_running;
    {
        m_running = true;
        ScopeExit done([&] { m_running = !outermost; });
        commit();
    }
    if (outermost)
        run_waiting();
}

void Turns::abandon()
{
    m_out = 0;
    std::function<void()> abandoned = std::exchange(m_abandoned, nullptr);
    if (abandoned) {
        m_running = true;
        ScopeExit done([this] { m_running = false; });
        abandoned();
    }
    run_waiting();
}

void Turns::run_waiting()
{
    if (m_running)
        return;
    {
        m_running = true;
        ScopeExit done([this] { m_running = false; });
        while (m_out == 0 && !m_waiting.empty()) {
            Waiting next = std::move(m_waiting.front());
            m_waiting.pop_front();
            if (next.task)
                next.task();
            else if (next.receiver)
                QCoreApplication::sendEvent(next.receiver, next.event.get());
        }
    }
    hold(m_out != 0 || !m_waiting.empty());
}

void Turns::hold(bool on)
{
    if (!on && m_out == 0) {
        m_busy_timer.stop();
        if (m_busy_shown)
            show_busy(false);
    }
    if (on == m_holding)
        return;
    m_holding = on;
    if (on)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

void Turns::show_busy(bool busy)
{
    m_busy_shown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    // The windows' accessible state reads `looks_busy`; this tells whoever
    // listens that it changed.
    QAccessible::State changed;
    changed.busy = true;
    for (const QPointer<QWidget>& window : m_covered)
        if (window) {
            QAccessibleStateChangeEvent event(window.data(), changed);
            QAccessible::updateAccessibility(&event);
        }
}

bool Turns::eventFilter(QObject* receiver, QEvent* event)
{
    // Held input goes back through here when its turn comes: it passes then.
    if (m_running || !is_key_input(event->type()) || !is_covered(receiver))
        return false;
    if (event->type() == QEvent::KeyPress && m_out != 0 &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        abandon();
        return true;
    }
    if (m_waiting.size() >= most_held) {
        QApplication::beep();
        return true;
    }
    m_waiting.push_back({receiver, std::unique_ptr<QEvent>(event->clone()), nullptr});
    return true;
}

}  // namespace toolkit
