// The clipboard read for a paste, without ever waiting on the program that
// holds it: that program may be slow, hung, or hand over a megabyte.
//
// On X11 the clipboard is asked for on a connection and a thread of their
// own, with a deadline, and for no more than a path's worth of bytes. Qt's
// own clipboard would wait for its owner on the window's thread, for
// seconds each time. On other platforms (Wayland, where the compositor hands
// the data over a pipe that Qt reads with a deadline of its own, and the
// offscreen one, which lives in the process) Qt's clipboard is read.
//
// A text box's paste reads any text up to a bound, from the clipboard or,
// for a middle click, from the primary selection; a text sent in parts is
// followed part by part, each with the same deadline.
//
//   read_pasted(list, [](const Pasted& pasted) { ... });
//   read_pasted_text(box, QClipboard::Selection, [](std::string& bytes) { ... },
//                    [](Pasted& pasted) { ... });
#pragma once

#include <QClipboard>
#include <QList>
#include <QString>
#include <QUrl>

#include <cstddef>
#include <functional>
#include <string>

class QObject;

namespace toolkit {

struct Pasted {
    enum class Outcome { Read, Nothing, TooLong, NoAnswer };
    Outcome outcome = Outcome::Nothing;
    QList<QUrl> addresses;  // text/uri-list, where the clipboard holds it.
    QString text;  // Otherwise its plain text, for a path.
    // For a text box, its text as UTF-8 (a byte that starts no character
    // read as U+FFFD), made ready by the box's own step, off the window's thread.
    std::string bytes;
};

// Bytes beyond this are no path, however encoded: the read stops there.
constexpr int most_pasted_bytes = 3 * 4096;

// More than any user pastes into a text box on purpose; the read stops there.
constexpr std::size_t most_pasted_text_bytes = std::size_t(256) << 20;

// `done` runs on the window's thread, within about a second of the last part
// the owner sent, unless `context` is gone by then. A text box's `prepare`
// runs where the read does, on the bytes in place: it must touch nothing
// but them.
void read_pasted(QObject* context, std::function<void(const Pasted& pasted)> done);
void read_pasted_text(QObject* context, QClipboard::Mode mode,
                      std::function<void(std::string& bytes)> prepare,
                      std::function<void(Pasted& pasted)> done);

}  // namespace toolkit
