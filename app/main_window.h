// frmMain, the tool's one window: a drive list, a folder list and a file list
// choose the folder; "&Scan" writes the names of its files into the text box,
// each after a carriage return; "&Copy to clipboard" hands that text on.
//
//   app::frmMain window;
//   window.show();  // Load runs, then the window appears at the root folder.
#pragma once

#include "toolkit/form.h"
#include "toolkit/names.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace app {

struct CopyAsEntry;
enum class NameForm;

class frmMain {
public:
    frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    void show() { m_form.show(); }
    toolkit::Form& form() { return m_form; }

    // Event handlers, named after their control and event.
    void Form_Load();
    void Form_Resize();
    void drvNames_Change();
    void dirNames_Change();
    void cmdExit_Click();
    void cmdScan_Click();
    void cmdClipboard_Click();
    void lblWeb_MouseMove();
    void Form_MouseMove();
    void lblWeb_Click();

    void ScanningLoop();
    // An entry of the "Copy names as" menu.
    void mnuCopyNamesAs_Click(const CopyAsEntry& entry);

    // Whether a copy the menu asked for is still being written, or waits to be.
    bool copying() const { return m_writing || m_next_copy.has_value(); }

    // The scan's state, for reading: the entry last read, and the names as
    // last written to the text box.
    const std::string& name_list() const { return NameList; }

private:
    std::int32_t FileIndex = 0;
    std::string NameList;
    // A copy the menu asked for, written off the window's thread. One is
    // written at a time: a later copy stops the one being written, which
    // lands only if no later copy was asked for meanwhile, and waits for it
    // to end.
    struct MenuCopy {
        NameForm form;
        std::shared_ptr<const toolkit::ListedNames> names;
        std::string_view said;
    };
    void write_menu_copy(MenuCopy copy);
    void supersede_copies();
    bool m_writing = false;
    std::stop_source m_writer_stop;
    std::optional<MenuCopy> m_next_copy;

    toolkit::Form m_form;
    // The controls, by the names the handlers use.
    toolkit::Object& txtNames = m_form.control("txtNames");
    toolkit::Object& dirNames = m_form.control("dirNames");
    toolkit::Object& drvNames = m_form.control("drvNames");
    toolkit::Object& filNames = m_form.control("filNames");
    toolkit::Object& cmdScan = m_form.control("cmdScan");
    toolkit::Object& cmdClipboard = m_form.control("cmdClipboard");
    toolkit::Object& cmdExit = m_form.control("cmdExit");
    toolkit::Object& lblWeb = m_form.control("lblWeb");
};

}  // namespace app
