#include "text_box_input.h"
#include "toolkit/form.h"
#include "toolkit/qt/controls/text_view.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
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
        // The view declares no Q_OBJECT, so it is found by its type at run time.
        for (auto* area : widget->findChildren<QAbstractScrollArea*>())
            if (auto* drawn = dynamic_cast<toolkit::TextView*>(area))
                view = drawn;
    }

    QPlainTextEdit* editor() { return widget->findChild<QPlainTextEdit*>(); }
    bool editing() { return editor() && editor()->isVisible(); }

    toolkit::Form form{"frmText", "Test", 4800, 3270};
    toolkit::Object& box =
        form.add_control({toolkit::ControlKind::TextBox, "txtBox", 0, 0, 4800, 3270, 0, ""});
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
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_GT(view->verticalScrollBar()->value(), 1);  // The caret stays in view.
    EXPECT_FALSE(editing());  // No document built for looking.

    int first_line = view->first_visible_line();
    std::size_t caret_line = view->caret_line();
    QTest::keyClick(view, Qt::Key_Backspace);  // The key that asked to edit is not lost:
    ASSERT_TRUE(editing());
    EXPECT_EQ(editor()->verticalScrollBar()->value(), first_line);
    // it deleted the last letter of the caret's line.
    std::size_t line_end = 0;
    for (std::size_t line = 0; line < caret_line; ++line)
        line_end = text.find('\r', line_end + 1);
    EXPECT_EQ(toolkit::get_text(box, prop::Text), std::string(text).erase(line_end - 1, 1));

    box.set(prop::Text, std::string("\rnew"));  // Written from code: drawn again.
    EXPECT_FALSE(editing());
    EXPECT_EQ(box.get(prop::Text), Value(std::string("\rnew")));
}

TEST_F(TextBox, KeepsTheUsersEditsWithCarriageReturns)
{
    box.set(prop::Text,
            std::string("\ra\xC2\xA0"
                        "b"));  // With a no-break space.
    add_line(widget, "typed");
    EXPECT_EQ(box.get(prop::Text),
              Value(std::string("\ra\xC2\xA0"
                                "b\rtyped")));
}

}  // namespace
