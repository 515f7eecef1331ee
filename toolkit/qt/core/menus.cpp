#include "toolkit/qt/core/menus.h"

#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"

#include <QMenu>

namespace toolkit {

QMenu* make_menu(const Menu& design, QWidget* parent)
{
    auto* menu = new QMenu(qt_text(design.caption), parent);
    // Read without the access key's mark, as its entries are.
    menu->setAccessibleName(menu->title().remove(QLatin1Char('&')));
    for (const MenuEntry& entry : design.entries) {
        QAction* action = menu->addAction(qt_text(entry.caption));
        QObject::connect(action, &QAction::triggered, action, [chosen = entry.chosen] {
            Turns::instance().take([chosen] { dispatch(chosen); });
        });
    }
    return menu;
}

}  // namespace toolkit
