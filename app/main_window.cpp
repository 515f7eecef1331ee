#include "app/main_window.h"

#include "app/design.h"
#include "app/icon.h"
#include "app/pointer.h"
#include "layout/resize.h"
#include "toolkit/checked.h"
#include "toolkit/names.h"
#include "toolkit/scope_exit.h"
#include "toolkit/services.h"

namespace app {

using namespace toolkit::prop;

frmMain::frmMain()
    : m_form(FormName, FormCaption, FormClientWidth, FormClientHeight, frmMainControls)
{
    m_form.set_icon(WindowIcon);
    m_form.set_mouse_pointer("lblWeb", HandPointer);

    using toolkit::Event;
    m_form.on(Event::Load, [this] { Form_Load(); });
    m_form.on(Event::Resize, [this] { Form_Resize(); });
    m_form.on(Event::MouseMove, [this] { Form_MouseMove(); });
    drvNames.on(Event::Change, [this] { drvNames_Change(); });
    dirNames.on(Event::Change, [this] { dirNames_Change(); });
    // Exit takes the window away at once, even while a folder is read.
    cmdExit.on(
        Event::Click, [this] { cmdExit_Click(); }, toolkit::Turn::AtOnce);
    cmdScan.on(Event::Click, [this] { cmdScan_Click(); });
    cmdClipboard.on(Event::Click, [this] { cmdClipboard_Click(); });
    lblWeb.on(Event::MouseMove, [this] { lblWeb_MouseMove(); });
    lblWeb.on(Event::Click, [this] { lblWeb_Click(); });

    toolkit::Menu copy_as{std::string(CopyAsCaption), {}};
    for (const CopyAsEntry& entry : CopyAsEntries)
        copy_as.entries.push_back(
            {std::string(entry.caption), [this, &entry] { mnuCopyNamesAs_Click(entry); }});
    m_form.set_context_menu("filNames", copy_as);
    m_form.set_context_menu("txtNames", copy_as);
    m_form.set_menu_keys(CopyAsKeys, "filNames");
}

void frmMain::Form_Load()
{
    dirNames.set(Path, toolkit::system_root());
    filNames.set(Path, dirNames.get(Path));
}

// In the design's order; each control is placed from its own record.
void frmMain::Form_Resize()
{
    for (toolkit::Object* control :
         {&txtNames, &filNames, &dirNames, &drvNames, &cmdScan, &cmdClipboard, &cmdExit, &lblWeb})
        Resize::ResizeControl(*control, m_form);
}

void frmMain::drvNames_Change()
{
    // A drive that cannot be opened leaves everything as it was, silently:
    // the user sees the folder list stay put.
    try {
        dirNames.set(Path, drvNames.get(Drive));
    } catch (const toolkit::Error&) {
    }
}

void frmMain::dirNames_Change()
{
    filNames.set(Path, dirNames.get(Path));
    txtNames.set(Text, std::string());
}

void frmMain::cmdExit_Click() { toolkit::end_program(); }

void frmMain::cmdScan_Click()
{
    auto enable_buttons = [this](bool enabled) {
        cmdScan.set(Enabled, enabled);
        cmdClipboard.set(Enabled, enabled);
        cmdExit.set(Enabled, enabled);
    };
    enable_buttons(false);
    // Even a scan that fails gives the buttons back, or the tool could
    // neither scan again nor exit.
    toolkit::ScopeExit enable_again([&] { enable_buttons(true); });
    ScanningLoop();
    // The names land in a box the keyboard is not in: say what was found.
    toolkit::announce(toolkit::counted(toolkit::get_int(filNames, ListCount), "name", "names"));
}

void frmMain::ScanningLoop()
{
    txtNames.set(Text, std::string());
    std::int32_t count = toolkit::get_int(filNames, ListCount);
    if (count == 0)
        return;
    std::int32_t last = toolkit::checked_sub(count, 1);

    // The names gather in one buffer and reach the text box once: rewriting
    // the whole text on every pass would cost the square of the count.
    std::string names;
    for (FileIndex = 0;; FileIndex = toolkit::checked_add(FileIndex, 1)) {
        filNames.set_at(Selected, FileIndex, true);
        names += '\r';
        names += toolkit::get_text(filNames, FileName);
        if (FileIndex == last)
            break;
    }
    // The box takes its copy from a value the window then keeps as NameList:
    // a million names are held twice, never three times.
    toolkit::Value written = std::move(names);
    txtNames.set(Text, written);
    NameList = std::get<std::string>(std::move(written));
    filNames.set_at(Selected, 0, true);
}

void frmMain::cmdClipboard_Click()
{
    supersede_copies();
    toolkit::clear_clipboard();
    toolkit::put_clipboard_text(toolkit::get_text(txtNames, Text));
}

void frmMain::supersede_copies()
{
    m_writer_stop.request_stop();
    m_next_copy.reset();
}

void frmMain::mnuCopyNamesAs_Click(const CopyAsEntry& entry)
{
    // The names of the folder shown now, taken at once.
    MenuCopy copy{entry.form, toolkit::listed_names(filNames), entry.said};
    supersede_copies();
    if (m_writing)
        m_next_copy = std::move(copy);  // Once the one stopped has ended.
    else
        write_menu_copy(std::move(copy));
}

void frmMain::write_menu_copy(MenuCopy copy)
{
    // The text is written and made ready for the clipboard off the window's
    // thread, the table's sizes and times asked there too; the window only
    // hands it over. A stopped writer frees what it wrote as it ends.
    m_writing = true;
    m_writer_stop = std::stop_source();
    std::stop_token stop = m_writer_stop.get_token();
    auto ready = std::make_shared<std::shared_ptr<const toolkit::ClipboardText>>();
    m_form.run_in_background(
        [form = copy.form, names = copy.names, ready, stop] {
            std::vector<toolkit::FileFacts> facts;
            if (form == NameForm::Table)
                facts = toolkit::file_facts(*names, stop);
            if (stop.stop_requested())
                return;
            toolkit::ClipboardWriter text(expected_bytes(form, *names));
            if (write_names(text, form, *names, facts, stop))
                *ready = std::move(text).finish();
        },
        [this, copy, ready, stop] {
            m_writing = false;
            if (m_next_copy) {
                MenuCopy next = std::move(*m_next_copy);
                m_next_copy.reset();
                write_menu_copy(std::move(next));
                return;
            }
            if (stop.stop_requested() || !*ready)
                return;  // A later copy has the clipboard.
            toolkit::clear_clipboard();
            toolkit::put_clipboard_text(**ready);
            toolkit::announce(toolkit::counted(static_cast<std::int64_t>(copy.names->size()),
                                               "name", "names") +
                              " " + std::string(copy.said));
        });
}

// The label looks like a link while the pointer is over it. No event tells
// that the pointer left it, so the plain look returns only once the pointer
// moves over the window's bare area.
void frmMain::lblWeb_MouseMove()
{
    lblWeb.set(FontUnderline, true);
    lblWeb.set(ForeColor, toolkit::color::Blue);
}

void frmMain::Form_MouseMove()
{
    lblWeb.set(FontUnderline, false);
    lblWeb.set(ForeColor, toolkit::color::Black);
}

void frmMain::lblWeb_Click()
{
    std::string address = toolkit::get_text(lblWeb, Caption);
    if (!toolkit::open_address(address))
        toolkit::show_message(OpenFailedMessage);
}

}  // namespace app
