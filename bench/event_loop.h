// Waiting in a benchmark for the window to finish work it does off its own
// thread, as closely as the event loop allows.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>

// Runs the window's event loop until `done` holds, looking every
// millisecond; QTest's waits sleep between turns, which would show as stalls.
inline bool run_until(const std::function<bool()>& done, int timeout_ms)
{
    QEventLoop loop;
    QTimer look;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done() || waited.elapsed() > timeout_ms)
            loop.quit();
    });
    look.start(1);
    loop.exec();
    return done();
}

// The longest gap between two ticks of a timer on the window's thread
// since the last reset.
class StallMeter {
public:
    StallMeter()
    {
        m_ticks.setInterval(1);
        QObject::connect(&m_ticks, &QTimer::timeout, [this] {
            qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_ticks.start();
    }
    void reset()
    {
        m_last = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    double longest_ms() const { return static_cast<double>(m_longest) / 1e6; }

private:
    QTimer m_ticks;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
