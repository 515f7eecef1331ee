// frmMain, the tool's one window: a drive list, a folder list and a file list
// choose the folder; "&Scan" writes the names of its files into the text box,
// each after a carriage return; "&Copy to clipboard" hands that text on.
//
//   app::frmMain window;
//   window.show();  // Load runs, then the window appears at the root folder.
#pragma once

#include "toolkit/form.h"

#include <cstdint>
#include <string>

namespace app {

class frmMain {
public:
    frmMain();
    virtual ~frmMain() = default;
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

    // Virtual so that a test can make a scan fail, which no folder can.
    virtual void ScanningLoop();

    // The scan's state: the entry being read, and the names as last written.
    std::int32_t FileIndex = 0;
    std::string NameList;

private:
    toolkit::Form m_form;
    toolkit::Object& txtNames;
    toolkit::Object& dirNames;
    toolkit::Object& drvNames;
    toolkit::Object& filNames;
    toolkit::Object& cmdScan;
    toolkit::Object& cmdClipboard;
    toolkit::Object& cmdExit;
    toolkit::Object& lblWeb;
};

}  // namespace app
