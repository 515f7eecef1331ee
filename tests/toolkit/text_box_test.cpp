#include "text_box_input.h"
#include "toolkit/form.h"
#include "toolkit/qt/text_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

namespace {

using toolkit::Value;
namespace prop = toolkit::prop;

class TextBox : public testing::Test {
protected:
    TextBox()
    {
        form.show();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmText")
                widget = top->findChild<QWidget*>("txtBox");
        view = widget->findChild<toolkit::TextView*>();
    }

    QPlainTextEdit* editor() { return widget->findChild<QPlainTextEdit*>(); }
    bool editing() { return editor() && editor()->isVisible(); }

    toolkit::Form form{"frmText", "Test", 4800, 3270};
    toolkit::Object& box = form.add_control(
        {toolkit::ControlKind::TextBox, "txtBox", 0, 0, 4800, 3270, 0, ""});
    QWidget* widget = nullptr;
    toolkit::TextView* view = nullptr;
};

TEST_F(TextBox, StartsANewLineAtEachBreak)
{
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 1}, {"\ra.txt\rb.txt", 3}, {"a\nb", 2}, {"a\r\nb", 2}, {"\r\r", 3}, {"x\r", 2}};
    for (const auto& [text, lines] : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        box.set(prop::Text, text);
        EXPECT_EQ(view->line_count(), lines);
        EXPECT_EQ(box.get(prop::Text), Value(text));
    }
}

TEST_F(TextBox, ScrollsWithoutEditingAndEditsOnTheFirstOtherKey)
{
    std::string text;
    for (int line = 0; line < 5000; ++line)
        text += "\rname " + std::to_string(line);
    box.set(prop::Text, text);

    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_GT(view->verticalScrollBar()->value(), 1);
    EXPECT_FALSE(editing());  // No document built for looking.

    int first_line = view->first_visible_line();
    QTest::keyClick(view, Qt::Key_Delete);  // The key that asked to edit is not lost.
    ASSERT_TRUE(editing());
    EXPECT_EQ(editor()->verticalScrollBar()->value(), first_line);
    // It deleted the first letter of the top line in view.
    std::size_t top_line = 0;
    for (int line = 0; line < first_line; ++line)
        top_line = text.find('\r', top_line) + 1;
    EXPECT_EQ(toolkit::get_text(box, prop::Text), std::string(text).erase(top_line, 1));

    box.set(prop::Text, std::string("\rnew"));  // Written from code: drawn again.
    EXPECT_FALSE(editing());
    EXPECT_EQ(box.get(prop::Text), Value(std::string("\rnew")));
}

TEST_F(TextBox, KeepsTheUsersEditsWithCarriageReturns)
{
    box.set(prop::Text, std::string("\ra\xC2\xA0" "b"));  // With a no-break space.
    add_line(widget, "typed");
    EXPECT_EQ(box.get(prop::Text), Value(std::string("\ra\xC2\xA0" "b\rtyped")));
}

}  // namespace
