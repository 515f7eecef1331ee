// Work that may wait on a disk or a network runs on a thread of its own,
// while the window's thread waits for it in a nested event loop that still
// repaints, resizes, runs timers and serves the clipboard to other programs.
//
// User input that arrives meanwhile is held back, in order, and delivered
// once the outermost wait is over, so nothing the user typed is lost or
// applied while a list is half changed. Two keys are not held: Esc abandons
// the wait, and closing a window ends the program at once. After 0.4 s the
// pointer shows that the tool is busy.
//
//   auto result = std::make_shared<std::optional<FolderListing>>();
//   Waited waited = wait_off_thread([result, folder] { *result = read_folder(folder); },
//                                   Abandon::ByEsc);
//   if (waited != Waited::Done) ...  // The work goes on alone; its result is dropped.
//
// Why this is safe against re-entrancy: while a wait runs, no handler that
// acts on a folder can start, since every such handler starts from user input
// or from a result that is applied only when no wait runs (see
// `when_not_waiting`).
// The handlers that can run (paint, resize) read the lists, which change only
// after the wait returns, in one step.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace toolkit {

// Abandoned: by Esc, by the deadline passing, or by the program ending.
enum class Waited { Done, Abandoned };
enum class Abandon { ByEsc, Never };

// Runs `work` on a new thread, which it owns until it returns; `work` must
// not throw and must keep what it writes alive itself (a shared pointer),
// since a wait that is abandoned leaves it running alone.
Waited wait_off_thread(std::function<void()> work, Abandon abandon,
                       std::optional<std::chrono::milliseconds> deadline = std::nullopt);

// Runs `task` once no wait runs: now, or when the outermost one is over.
void when_not_waiting(std::function<void()> task);

}  // namespace toolkit
