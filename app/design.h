// The main window as it is designed: its client size and its eight controls,
// in twips, in creation order, and the texts it shows. Tab gives the keyboard
// order; an ampersand in a caption marks the access key; the spoken name is
// what a screen reader says for a control without a caption, and the
// description what it says the control is for.
#pragma once

#include "app/about.h"
#include "app/name_forms.h"

#include "toolkit/design.h"
#include "toolkit/object.h"

#include <array>

namespace app {

inline constexpr std::string_view FormName = "frmMain";
inline constexpr std::string_view FormCaption = "Tobrel";
inline constexpr float FormClientWidth = 4800;
inline constexpr float FormClientHeight = 3270;

// The link under the names opens the maker's address; when the desktop
// cannot open it, the one message the tool has of its own says so.
inline constexpr std::string_view MakerAddress = about::Address;
inline constexpr std::string_view OpenFailedMessage = "Une erreur s'est produite";

using toolkit::ControlKind;

// clang-format off
inline constexpr std::array<toolkit::ControlDesign, 8> frmMainControls = {{
    // kind                        name            left   top  width height tab  caption, spoken name, description
    {ControlKind::TextBox,       "txtNames",     1680,  240, 3120, 2340,  1, "", "File names",
                                 "The names Scan found, one to a line; the text can be edited and copied"},
    {ControlKind::FolderList,    "dirNames",        0,  240, 1695, 2340,  0, "", "Folders",
                                 "The folders down to the open one, then its subfolders; Enter opens a folder"},
    {ControlKind::DriveList,     "drvNames",        0,    0, 1695,  315,  3, "", "Drives",
                                 "The volume whose folders are shown"},
    {ControlKind::FileList,      "filNames",     1680,    0, 3120,  285,  2, "", "Files",
                                 "The files in the open folder"},
    {ControlKind::CommandButton, "cmdScan",         0, 2880, 1600,  375,  4, "&Scan", {},
                                 "Puts the names of the open folder's files in the text box"},
    {ControlKind::CommandButton, "cmdClipboard", 1600, 2880, 1600,  375,  5, "&Copy to clipboard", {},
                                 "Puts the text box's text on the clipboard"},
    {ControlKind::CommandButton, "cmdExit",      3200, 2880, 1600,  375,  6, "E&xit", {},
                                 "Ends the tool"},
    {ControlKind::Label,         "lblWeb",          0, 2640, 4755,  195,  7, MakerAddress, {},
                                 "Opens the maker's web page in the browser", {}, toolkit::color::MenuText},
}};
// clang-format on

// The menu the file list and the text box open on a right-click, the Menu
// key or Shift+F10, and CopyAsKeys anywhere in the window: each entry puts
// the file list's names on the clipboard in one form, and says so.
struct CopyAsEntry {
    std::string_view caption;
    NameForm form;
    std::string_view said;  // After the count: "1,234 names copied as lines".
};
inline constexpr std::string_view CopyAsCaption = "Copy &names as";
inline constexpr std::string_view CopyAsKeys = "Ctrl+Shift+C";
inline constexpr std::array<CopyAsEntry, 7> CopyAsEntries = {{
    {"&Lines", NameForm::Lines, "copied as lines"},
    {"Lines for &Windows", NameForm::WindowsLines, "copied as lines for Windows"},
    {"&Tab-separated", NameForm::Tabs, "copied as tab-separated text"},
    {"&CSV", NameForm::Csv, "copied as CSV"},
    {"Without &extensions", NameForm::WithoutExtensions, "copied without extensions"},
    {"&Full paths", NameForm::FullPaths, "copied as full paths"},
    {"T&able", NameForm::Table, "copied as a table"},
}};

}  // namespace app
