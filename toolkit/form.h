// A top-level window and the controls it owns, built from plain data.
//
// `Form` is the toolkit's window: the program describes its controls in
// twips and wires their events by name; the toolkit draws them with whatever
// widgets it uses underneath. Nothing here mentions the widget library.
//
// Example:
//
//   toolkit::Form form("frmMain", "Tobrel", 4800, 3270);  // Or with a table of designs.
//   toolkit::Object& scan = form.add_control(
//       {toolkit::ControlKind::CommandButton, "cmdScan", 0, 2880, 1600, 375, 4, "&Scan"});
//   scan.on(toolkit::Event::Click, [] { /* ... */ });
//   form.on(toolkit::Event::Load, [] { /* ... */ });
//   form.show();
#pragma once

#include "toolkit/design.h"
#include "toolkit/object.h"
#include "toolkit/pictures.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace toolkit {

// A menu of commands; an entry chosen runs in its turn, as a click does.
struct MenuEntry {
    std::string caption;  // "&Lines": & before the access key.
    Handler chosen;
};
struct Menu {
    std::string caption;
    std::vector<MenuEntry> entries;
};

class Form final : public Window {
public:
    // The window with its controls, created in the order given.
    Form(std::string_view name, std::string_view caption, float client_width_twips,
         float client_height_twips, std::span<const ControlDesign> controls = {});
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Object& add_control(const ControlDesign& design);
    // Throws `Error` when the window has no control of that name.
    Object& control(std::string_view name);
    void set_icon(const Icon& icon);
    // The pointer shown while the mouse is over the named control.
    void set_mouse_pointer(std::string_view control_name, const Pointer& pointer);
    // Opens `menu` on the control's context gestures (right-click, the Menu
    // key, Shift+F10): the whole menu on a list, a submenu after the text
    // box's editing commands. Throws `Error` for a control that has no
    // context menu.
    void set_context_menu(std::string_view control_name, const Menu& menu);
    // `keys` ("Ctrl+Shift+C"), pressed anywhere in the window, open that
    // control's context menu at it.
    void set_menu_keys(std::string_view keys, std::string_view control_name);
    // Runs `work` on a thread of its own, then `then` on the window's thread
    // unless the window is gone by then. `work` must not throw and must keep
    // what it writes alive itself (a shared pointer): nothing waits for it.
    void run_in_background(std::function<void()> work, Handler then);
    // Raises Load, centres the window on its screen and shows it; the first
    // Resize follows as the window appears.
    void show();

    Value get(std::string_view property) const override;
    void set(std::string_view property, const Value& value) override;
    void on(Event event, Handler handler, Turn turn = Turn::InOrder) override;
    std::vector<Object*> controls() override;

    // The toolkit's side of the window, opaque to the program.
    struct Impl;
    const Impl& impl() const { return *m_impl; }

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace toolkit
