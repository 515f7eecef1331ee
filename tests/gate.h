// Holds a reading thread (a folder read, a volume's answer) until the test
// lets it go.
//
//   auto gate = std::make_shared<Gate>();
//   toolkit::ScopedFolderReadHook hook([gate](const std::string&) { gate->wait(); });
//   ...
//   gate->open();
#pragma once

#include <condition_variable>
#include <mutex>

class Gate {
public:
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};
