// Work that may wait on a disk, a network or another program runs on a
// thread of its own; the window's thread hears of its end as an event, and
// never waits for it.
//
//   auto found = std::make_shared<FolderRead>();
//   run_off_thread([found] { *found = read(); }, list, [found] { show(*found); });
#pragma once

#include <functional>

class QObject;

namespace toolkit {

// Runs `work` on a new thread. Once it returns, `done` runs on the window's
// thread, unless `context` is gone by then. `work` must not throw and must
// keep what it writes alive itself (a shared pointer): nothing waits for it,
// and it may outlive whoever asked for it.
void run_off_thread(std::function<void()> work, QObject* context, std::function<void()> done);

}  // namespace toolkit
