// The program's menus as Qt draws them: each entry runs in its turn, as a
// click does, and the menu opens without a loop of its own.
//
//   QMenu* menu = make_menu(design, parent);
//   menu->setAttribute(Qt::WA_DeleteOnClose);  // Or added to a menu as a submenu.
//   menu->popup(global_position);
#pragma once

#include "toolkit/form.h"

class QMenu;
class QWidget;

namespace toolkit {

// A menu of `design`'s entries, owned by `parent`.
QMenu* make_menu(const Menu& design, QWidget* parent);

}  // namespace toolkit
