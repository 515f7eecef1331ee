#include "app/design.h"
#include "app/window_fixture.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QWidget>

namespace {

class Accessibility : public WindowTest {
protected:
    // Where the keyboard lands is what a screen reader reads.
    QAccessibleInterface* spoken(const char* name)
    {
        QWidget* control = widget(name);
        QWidget* focused = control && control->focusProxy() ? control->focusProxy() : control;
        return focused ? QAccessible::queryAccessibleInterface(focused) : nullptr;
    }
};

TEST_F(Accessibility, EveryControlHasANameAScreenReaderSpeaks)
{
    const std::pair<const char*, const char*> names[] = {
        {"drvNames", "Drives"},
        {"dirNames", "Folders"},
        {"filNames", "Files"},
        {"txtNames", "File names"},
        {"cmdScan", "Scan"},
        {"cmdClipboard", "Copy to clipboard"},
        {"cmdExit", "Exit"},
        {"lblWeb", app::MakerAddress.data()},
    };
    for (auto [control, name] : names) {
        SCOPED_TRACE(control);
        QAccessibleInterface* interface = spoken(control);
        ASSERT_NE(interface, nullptr);
        // A label names a control before the control's own text does.
        auto labels = interface->relations(QAccessible::Label);
        QAccessibleInterface* named = labels.isEmpty() ? interface : labels.front().first;
        EXPECT_EQ(named->text(QAccessible::Name), name);
    }
    EXPECT_EQ(spoken("lblWeb")->role(), QAccessible::Link);
    EXPECT_EQ(spoken("cmdScan")->role(), QAccessible::Button);
}

}  // namespace
