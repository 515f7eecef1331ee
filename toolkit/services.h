// The desktop services the program uses besides its windows: the clipboard,
// the message box, opening a web address, the mounted volumes, the system
// root and program end.
//
// The message box, the opener, the volume source and program end can be
// replaced, so that tests
// record what the user would see instead of blocking on a dialog, starting a
// browser or ending the test process:
//
//   std::vector<std::string> shown;
//   toolkit::ScopedMessageBox recorder([&](const std::string& text) { shown.push_back(text); });
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

void clear_clipboard();
// Plain text, byte for byte: carriage returns are not converted.
void put_clipboard_text(std::string_view utf8_text);
std::string clipboard_text();

// A text with one OK button and no icon, titled with the application title.
void show_message(std::string_view text);

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

// The volumes a user thinks of as drives, read afresh on every call.
std::vector<Volume> mounted_volumes();

using MessageBoxHook = std::function<void(const std::string& text)>;
using OpenerHook = std::function<bool(const std::string& address)>;
using ProgramEndHook = std::function<void()>;
using VolumeSource = std::function<std::vector<Volume>()>;

MessageBoxHook replace_message_box(MessageBoxHook hook);
OpenerHook replace_opener(OpenerHook hook);
ProgramEndHook replace_program_end(ProgramEndHook hook);
VolumeSource replace_volume_source(VolumeSource source);

// Restores the previous hook when it goes out of scope.
template <class Hook, Hook (*Replace)(Hook)>
class ScopedHook {
public:
    explicit ScopedHook(Hook hook) : m_previous(Replace(std::move(hook))) {}
    ~ScopedHook() { Replace(std::move(m_previous)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Hook m_previous;
};

using ScopedMessageBox = ScopedHook<MessageBoxHook, &replace_message_box>;
using ScopedOpener = ScopedHook<OpenerHook, &replace_opener>;
using ScopedProgramEnd = ScopedHook<ProgramEndHook, &replace_program_end>;
using ScopedVolumeSource = ScopedHook<VolumeSource, &replace_volume_source>;

}  // namespace toolkit
