// Waiting in a benchmark for the window to finish work it does off its own
// thread, as closely as the event loop allows.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

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

