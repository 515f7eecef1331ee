// The one road by which every action reaches the program's handlers: in the
// order the user gave it, and never inside another's work.
//
// Some actions cannot finish at once: opening a folder must first read it,
// off the window's thread. Such an action is an errand. Begun, it leaves the
// window live: it repaints, scrolls, follows the pointer and serves the
// clipboard to other programs. Finished, its result is committed on the
// window's thread in one step. While an errand is out:
//   - a key typed into a covered window waits its turn, as does every
//     handler raised by a click, a shortcut or the accessibility bus, and
//     every piece of work the toolkit defers (a folder read again after a
//     change);
//   - the pointer acts at once, so the user can point elsewhere: an errand
//     begun then supersedes the one out, whose result is dropped;
//   - Esc abandons the errand;
//   - after 0.4 s the pointer shows that the tool is busy, and the covered
//     windows say so to a screen reader.
// Once it is over, what waited runs in order, until one of them begins
// another errand.
//
//   Errand errand = Turns::instance().begin([] { /* Esc: put the highlight back */ });
//   run_off_thread(read, context, [=] {
//       Turns::instance().finish(errand, [=] { commit(result); });
//   });
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QEvent;
class QWidget;

namespace toolkit {

using Errand = std::uint64_t;

class Turns final : public QObject {
public:
    static Turns& instance();

    // Keys typed into this window, or into any of its widgets, wait their
    // turn while an errand is out.
    void cover(QWidget* window);

    // Runs `task` now when nothing is out or waiting, else after what waits.
    void take(std::function<void()> task);

    // Begins an errand, superseding the one out; `abandoned` runs when the
    // user gives it up with Esc.
    Errand begin(std::function<void()> abandoned = {});
    // Whether this errand is still the one out.
    bool is_out(Errand errand) const { return errand != 0 && errand == m_out; }
    // Ends the errand and, unless it was superseded or abandoned meanwhile,
    // runs `commit`; then what waited takes its turn.
    void finish(Errand errand, const std::function<void()>& commit);
    // Whether nothing is out and nothing waits.
    bool idle() const { return m_out == 0 && m_waiting.empty(); }
    // Whether the tool shows that it is busy: an errand has been out a while.
    bool looks_busy() const { return m_busy_shown; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    using QObject::QObject;

    void abandon();
    void hold(bool on);
    void run_waiting();
    void show_busy(bool busy);
    bool is_covered(QObject* receiver) const;

    struct Waiting {
        QPointer<QObject> receiver;  // With `event`: input held back.
        std::unique_ptr<QEvent> event;
        std::function<void()> task;  // Else a task.
    };
    std::deque<Waiting> m_waiting;
    std::vector<QPointer<QWidget>> m_covered;
    Errand m_out = 0;
    Errand m_last = 0;
    std::function<void()> m_abandoned;
    bool m_holding = false;
    bool m_running = false;
    QTimer m_busy_timer;
    bool m_busy_shown = false;
};

}  // namespace toolkit
