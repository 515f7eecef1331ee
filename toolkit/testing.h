// What tests replace or look into, and the program never does: the message
// box, the opener, the mount table and the question each volume is asked, a
// hook on each folder read, program end, read-back of the clipboard, and a property made to fail.
// Each replacement lasts as long as the guard that made it, and the one before it comes back.
//
//   std::vector<std::string> shown;
//   toolkit::ScopedMessageBox recorder([&](const std::string& text) { shown.push_back(text); });
//   toolkit::ScopedBrokenProperty broken(files, toolkit::prop::FileName, "The disk went away.");
#pragma once

#include "toolkit/object.h"
#include "toolkit/services.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// The text on the clipboard now; empty when it holds none.
std::string clipboard_text();

// Whether every folder read started has been heard of, and nothing waits its
// turn: what a test waits for after pointing a list at a folder.
bool folders_settled();

using MessageBoxHook = std::function<void(const std::string& text)>;
using OpenerHook = std::function<bool(const std::string& address)>;
using ProgramEndHook = std::function<void()>;
using VolumeSource = std::function<std::vector<Volume>()>;
// Called on the reading thread before each folder read, with the folder's
// raw path: a test may count reads there, or hold one back on a latch.
using FolderReadHook = std::function<void(const std::string& folder)>;

// Each returns the replacement it takes back, empty where the real one was
// in place; an empty hook restores the real one.
MessageBoxHook replace_message_box(MessageBoxHook hook);
OpenerHook replace_opener(OpenerHook hook);
ProgramEndHook replace_program_end(ProgramEndHook hook);
VolumeSource replace_volume_source(VolumeSource source);
VolumeQuestion replace_volume_question(VolumeQuestion question);
FolderReadHook replace_folder_read_hook(FolderReadHook hook);

template <class Hook, Hook (*Replace)(Hook)> class ScopedHook {
public:
    explicit ScopedHook(Hook hook) : m_previous(Replace(std::move(hook))) { }
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
using ScopedVolumeQuestion = ScopedHook<VolumeQuestion, &replace_volume_question>;
using ScopedFolderReadHook = ScopedHook<FolderReadHook, &replace_folder_read_hook>;

// Makes every named read and write of one property of one object throw
// `Error(message)`, as a control whose device broke would.
class ScopedBrokenProperty {
public:
    ScopedBrokenProperty(const Object& object, std::string_view property, std::string message);
    ~ScopedBrokenProperty();
    ScopedBrokenProperty(const ScopedBrokenProperty&) = delete;
    ScopedBrokenProperty& operator=(const ScopedBrokenProperty&) = delete;
};

}  // namespace toolkit
