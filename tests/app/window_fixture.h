// The real main window, shown offscreen, with what its message box would
// show recorded instead of a dialog.
//
//   TEST_F(WindowTest, Something)
//   {
//       open("/tmp");
//       click("cmdScan");
//       EXPECT_EQ(text(), "...");
//   }
#pragma once

#include "app/main_window.h"
#include "settle.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <array>

// The visible main window's widget; tests find controls in it by name.
inline QWidget* shown_main_window()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "frmMain" && widget->isVisible())
            return widget;
    return nullptr;
}

class WindowTest : public testing::Test {
protected:
    WindowTest()
    {
        window.show();
        EXPECT_TRUE(settle());
    }

    app::frmMain window;
    std::vector<std::string> messages;
    toolkit::ScopedMessageBox recorder{
        [this](const std::string& text) { messages.push_back(text); }};

    toolkit::Object& control(std::string_view name) { return window.form().control(name); }
    std::string text() { return toolkit::get_text(control("txtNames"), toolkit::prop::Text); }
    std::string current_folder()
    {
        return toolkit::get_text(control("dirNames"), toolkit::prop::Path);
    }
    void open(const std::string& path)
    {
        control("dirNames").set(toolkit::prop::Path, path);
        EXPECT_TRUE(settle());
    }

    QWidget* top() { return shown_main_window(); }
    template <class W = QWidget> W* widget(const char* name) { return top()->findChild<W*>(name); }
    void click(const char* button)
    {
        QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
    }

    // Left, top, width and height.
    std::array<float, 4> twips(std::string_view name)
    {
        toolkit::Object& object = control(name);
        namespace prop = toolkit::prop;
        return {toolkit::get_twips(object, prop::Left), toolkit::get_twips(object, prop::Top),
                toolkit::get_twips(object, prop::Width), toolkit::get_twips(object, prop::Height)};
    }
};
