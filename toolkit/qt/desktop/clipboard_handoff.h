// Gives the clipboard's text to the desktop's clipboard manager before the
// program ends, so that what was copied can still be pasted afterwards. On
// X11 the text lives in the program that copied it; a manager written to the
// freedesktop ClipboardManager protocol takes a copy when asked (SAVE_TARGETS
// on the CLIPBOARD_MANAGER selection). The event loop keeps running
// meanwhile, serving the manager's requests; nothing waits.
//
//   hand_clipboard_over([] { QCoreApplication::exit(0); });
#pragma once

#include <functional>

namespace toolkit {

// Calls `then` once the manager has taken the text, has refused it or has
// stopped answering, and at once (before returning) where there is nothing
// to hand over: no X11, the text not ours, or no manager running.
void hand_clipboard_over(std::function<void()> then);

}  // namespace toolkit
