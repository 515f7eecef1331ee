// The desktop services the program uses besides its windows: the clipboard,
// the message box, opening a web address, the mounted volumes, the system
// root and program end.
//
//   toolkit::clear_clipboard();
//   toolkit::put_clipboard_text("\ra.txt\rb.txt");
//   if (!toolkit::open_address("http://tobrel.example/"))
//       toolkit::show_message("The desktop cannot open it.");
//
// Tests replace the dialog, the opener, the volume source and program end
// through toolkit/testing.h, which the program itself never includes.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

void clear_clipboard();
// Plain text, byte for byte: carriage returns are not converted.
void put_clipboard_text(std::string_view utf8_text);
// A text for the clipboard written on any thread straight into what the
// clipboard will serve, so that putting it there costs the window's thread
// nothing and the text is never copied. What is written must be UTF-8; the
// checked builds check it.
//
//   toolkit::ClipboardWriter text(expected_bytes);
//   text.put("a.txt");
//   std::shared_ptr<const toolkit::ClipboardText> ready = std::move(text).finish();
//   toolkit::put_clipboard_text(*ready);  // Later, on the window's thread.
class ClipboardText;
class ClipboardWriter {
public:
    // Room for `expected` bytes; more is made as needed.
    explicit ClipboardWriter(std::size_t expected);
    ~ClipboardWriter();
    ClipboardWriter(const ClipboardWriter&) = delete;
    ClipboardWriter& operator=(const ClipboardWriter&) = delete;

    void put(std::string_view piece)
    {
        if (piece.size() > static_cast<std::size_t>(m_end - m_at))
            grow(piece.size());
        std::memcpy(m_at, piece.data(), piece.size());
        m_at += piece.size();
    }
    void put(char c)
    {
        if (m_at == m_end)
            grow(1);
        *m_at++ = c;
    }
    std::string_view written() const;
    std::shared_ptr<const ClipboardText> finish() &&;

private:
    void grow(std::size_t more);

    struct Storage;
    std::unique_ptr<Storage> m_storage;
    char* m_at = nullptr;
    char* m_end = nullptr;
};
void put_clipboard_text(const ClipboardText& text);

// A text with one OK button and no icon, titled with the application title.
// It returns at once; the box stays up, over the window, until the user
// dismisses it, and only then does `then` run. Work the toolkit defers
// waits for it meanwhile, and messages that come meanwhile follow it in turn.
void show_message(std::string_view text, std::function<void()> then = {});

// Tells a screen reader, once, what just happened; the focus stays put.
void announce(std::string_view text);

// A count as a sentence says it: "No names", "1 name", "1,234 names".
std::string counted(std::int64_t count, std::string_view one, std::string_view many);

// Asks the desktop to open a web address; false when it refused.
bool open_address(std::string_view address);

// Ends the program at once: no further events run.
void end_program();

// The root folder of the system drive, as the folder list's Path takes it.
std::string system_root();

// A mounted volume as the drive list shows it: its mount point (raw bytes)
// and the text the user reads.
struct Volume {
    std::string root;
    std::string label;
};

// The volumes a user thinks of as drives, read afresh from the mount table
// on every call, each labelled by its mount point. No volume is asked
// anything, so this never waits on one.
std::vector<Volume> mounted_volumes();

// Asks a volume for the label it shows (its name, where it has one), or
// nothing when it is no drive. Asking may wait as long as the volume takes
// to answer, which for a hung network share is for ever: take the question
// on the window's thread and ask it off that thread.
using VolumeQuestion = std::function<std::optional<std::string>(const Volume& volume)>;
VolumeQuestion volume_label_question();

}  // namespace toolkit
