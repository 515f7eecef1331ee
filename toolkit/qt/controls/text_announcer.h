// Tells assistive technology that a whole text was replaced, without
// stalling the window however long the text is.
//
// A text-changed event carries the text it removes or inserts, and the
// bridge marshals all of it on the window's thread: a million names is a
// half-second stall in one event. So a replaced text is told as a run of
// removals from the end of what the listener last heard, then of insertions
// from the start of the new text, about a megabyte a turn. Each event is
// true of the text the listener was told of so far, and together they end
// in the text there is. An edit made before the run ends first tells the
// rest at once, so that its own event is true as well.
//
//   TextAnnouncer announcer(view, buffer);
//   std::string gone = buffer.assign(std::move(text));
//   announcer.replaced(std::move(gone));
#pragma once

#include <QObject>
#include <QTimer>

#include <string>

namespace toolkit {

class TextBuffer;

class TextAnnouncer final {
public:
    TextAnnouncer(QObject* source, const TextBuffer& buffer);

    // The buffer now holds a new text, and `gone` is the one it held.
    void replaced(std::string gone);
    // Tells at once whatever is still to tell.
    void finish();

private:
    // Tells one piece, and asks for another turn while any is left.
    void tell_piece();
    // No listener: nothing more to tell.
    void stop();

    QObject* m_source;
    const TextBuffer& m_buffer;
    // While a run is out, what the listener has heard of and not yet heard
    // removed: the first m_heard_bytes of m_gone while removing, else of
    // the buffer; m_heard_units is the same in the listener's offsets.
    bool m_running = false;
    bool m_removing = false;
    std::string m_gone;
    std::size_t m_heard_bytes = 0;
    int m_heard_units = 0;
    QTimer m_next;
};

}  // namespace toolkit
