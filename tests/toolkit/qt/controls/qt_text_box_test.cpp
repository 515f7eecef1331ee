#include "text_box_input.h"
#include "toolkit/form.h"
#include "toolkit/qt/controls/text_view.h"

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
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
        view->setFocus();
    }

    std::string text() { return toolkit::get_text(box, prop::Text); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view, key, modifiers);
    }
    void type(const char* keys) { QTest::keyClicks(view, keys); }
    // The point of the viewport over a byte of the text.
    QPoint over(std::size_t byte) { return view->character_rect(byte).center(); }
    QWidget* viewport() { return view->viewport(); }

    toolkit::Form form{"frmText", "Test", 4800, 3270};
    toolkit::Object& box =
        form.add_control({toolkit::ControlKind::TextBox, "txtBox", 0, 0, 4800, 3270, 0, ""});
    QWidget* widget = nullptr;
    toolkit::TextView* view = nullptr;
};

TEST_F(TextBox, StartsANewLineAtEachBreakAndReadsBackWhatWasWritten)
{
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 1},    {"\ra.txt\rb.txt", 3},   {"a\nb", 2}, {"a\r\nb", 2}, {"\r\r", 3},
        {"x\r", 2}, {"bad \xFF\xFE byte", 1}};
    for (const auto& [written, lines] : cases) {
        SCOPED_TRACE(testing::PrintToString(written));
        box.set(prop::Text, written);
        EXPECT_EQ(view->buffer().line_count(), lines);
        EXPECT_EQ(box.get(prop::Text), Value(written));
    }
}

TEST_F(TextBox, TypingEditsTheTextInPlaceWithTheBoxsLineBreak)
{
    box.set(prop::Text, std::string("\ralpha beta\rgamma"));
    press(Qt::Key_Down);
    press(Qt::Key_End);
    type("s");
    press(Qt::Key_S, Qt::AltModifier);  // A button's shortcut, not a letter.
    EXPECT_EQ(text(), "\ralpha betas\rgamma");
    press(Qt::Key_Return);  // Enter writes a carriage return, never a line feed.
    type("new");
    EXPECT_EQ(text(), "\ralpha betas\rnew\rgamma");
    press(Qt::Key_Backspace);
    press(Qt::Key_Backspace, Qt::ControlModifier);  // Back to the start of the word.
    EXPECT_EQ(text(), "\ralpha betas\r\rgamma");
    press(Qt::Key_Up);
    press(Qt::Key_Home);
    press(Qt::Key_Delete, Qt::ControlModifier);  // Up to the next word.
    EXPECT_EQ(text(), "\rbetas\r\rgamma");
    press(Qt::Key_Home);
    press(Qt::Key_Backspace);  // Joins the line with the one before.
    press(Qt::Key_Delete);
    EXPECT_EQ(text(), "etas\r\rgamma");
}

TEST_F(TextBox, SelectsWithShiftAndCopiesCutsAndPastesWithCarriageReturns)
{
    box.set(prop::Text, std::string("\ra.txt\rb.txt\rc.txt"));
    press(Qt::Key_Down);
    press(Qt::Key_Down, Qt::ShiftModifier);
    press(Qt::Key_End, Qt::ShiftModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a.txt\rb.txt");
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text(), "\r\rc.txt");

    // A text from elsewhere keeps its lines, written with the box's break.
    QGuiApplication::clipboard()->setText("one\n\ntwo\r\nthree\r\r\nfour");
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return text() != "\r\rc.txt"; }, 5000));
    EXPECT_EQ(text(), "\rone\r\rtwo\rthree\r\rfour\rc.txt");

    // Pasted over the whole text, and taken back.
    const std::string before = text();
    QGuiApplication::clipboard()->setText("all\r\nnew");
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return text() != before; }, 5000));
    EXPECT_EQ(text(), "all\rnew");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), before);

    press(Qt::Key_A, Qt::ControlModifier);
    type("z");
    EXPECT_EQ(text(), "z");
}

TEST_F(TextBox, UndoesAWordTypedAsOneStepAndRedoesByEitherKey)
{
    box.set(prop::Text, std::string("\rname"));
    press(Qt::Key_End, Qt::ControlModifier);
    type(".txt");
    press(Qt::Key_Return);
    type("x");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), "\rname.txt\r");
    press(Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), "\rname");
    press(Qt::Key_Z, Qt::ControlModifier);  // Nothing more to undo: the scan's text stays.
    EXPECT_EQ(text(), "\rname");
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(), "\rname.txt");
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text(), "\rname.txt\r");
    type("y");  // A new edit forgets what was undone.
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(), "\rname.txt\ry");
}

TEST_F(TextBox, MovesAndUndoesWhereAUserExpects)
{
    box.set(prop::Text, std::string("a long line one\rab\rab\ra long line two"));
    const std::size_t third = 22;
    // Down past short lines keeps the column it started from.
    for (int step = 0; step < 10; ++step)
        press(Qt::Key_Right);
    press(Qt::Key_Down);
    EXPECT_EQ(view->caret(), 18u);  // The end of "ab".
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(view->caret(), third + 10);  // Column 10 again, not 2.

    // Left and Right end a selection at the end they point to.
    press(Qt::Key_Home);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Left);
    EXPECT_EQ(view->caret(), third);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Right);
    EXPECT_EQ(view->caret(), third + 2);

    // Shift+click takes the selection from the caret to the click.
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ShiftModifier, over(third + 6));
    EXPECT_EQ(view->selection_start(), third + 2);
    EXPECT_EQ(view->selection_end(), third + 6);

    // Typing somewhere else is a step of its own.
    box.set(prop::Text, std::string("\rname"));
    press(Qt::Key_End, Qt::ControlModifier);
    type("xy");
    press(Qt::Key_Home);
    type("z");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), "\rnamexy");

    // An input method that replaces the letter before the caret.
    press(Qt::Key_End);
    QInputMethodEvent accented;
    accented.setCommitString(QStringLiteral("\u00E9"), -1, 1);
    QApplication::sendEvent(view, &accented);
    EXPECT_EQ(text(), "\rnamex\xC3\xA9");
}

TEST_F(TextBox, ClicksPlaceTheCaretAndSelectByDragWordAndLine)
{
    box.set(prop::Text, std::string("\rfirst file.txt\rsecond"));
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, over(7));  // On the "f" of "file".
    type("my ");
    EXPECT_EQ(text(), "\rfirst my file.txt\rsecond");

    QTest::mousePress(viewport(), Qt::LeftButton, {}, over(1));
    QTest::mouseMove(viewport(), over(5));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, over(5));
    EXPECT_EQ(view->selection_start(), 1u);
    EXPECT_EQ(view->selection_end(), 5u);

    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, over(11));
    EXPECT_EQ(view->selection_start(), 10u);  // "file"
    EXPECT_EQ(view->selection_end(), 14u);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, over(11));  // The third click.
    EXPECT_EQ(view->selection_start(), 1u);
    EXPECT_EQ(view->selection_end(), 18u);  // The whole line, without its break.
}

TEST_F(TextBox, TakesComposedTextFromAnInputMethod)
{
    box.set(prop::Text, std::string("\rcaf"));
    press(Qt::Key_End, Qt::ControlModifier);
    QInputMethodEvent composing(QStringLiteral("\u00B4"), {});
    QApplication::sendEvent(view, &composing);
    EXPECT_EQ(text(), "\rcaf");  // What is being composed is drawn, not yet written.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00E9"));
    QApplication::sendEvent(view, &composed);
    QInputMethodEvent kanji;
    kanji.setCommitString(QStringLiteral("\u6F22\u5B57"));
    QApplication::sendEvent(view, &kanji);
    EXPECT_EQ(text(), "\rcaf\xC3\xA9\xE6\xBC\xA2\xE5\xAD\x97");
    EXPECT_EQ(static_cast<QWidget*>(view)->inputMethodQuery(Qt::ImSurroundingText).toString(),
              QStringLiteral("caf\u00E9\u6F22\u5B57"));
    EXPECT_EQ(static_cast<QWidget*>(view)->inputMethodQuery(Qt::ImCursorPosition).toInt(), 6);
}

TEST_F(TextBox, ScrollsToTheCaretAndTabLeavesTheBox)
{
    std::string written;
    for (int line = 0; line < 5000; ++line)
        written += "\rname " + std::to_string(line);
    box.set(prop::Text, written);
    press(Qt::Key_PageDown);
    press(Qt::Key_Down);
    press(Qt::Key_End);
    EXPECT_GT(view->verticalScrollBar()->value(), 1);
    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    press(Qt::Key_Tab);
    EXPECT_EQ(text(), written);
    box.set(prop::Text, std::string("\rnew"));  // Written from code: from the top again.
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(view->caret(), 0u);
}

TEST_F(TextBox, EditsAVeryLongLineAsItDoesAShortOne)
{
    // The same start on a short line and on one too long to lay out whole.
    const std::string start = "name one\tname two\t";
    std::string names;
    for (int number = 0; number < 600; ++number)
        names += "caf\xC3\xA9 " + std::to_string(number) + "\t";
    const std::string last_word = "end\xF0\x9F\x98\x80";
    const std::string written = start + "x\r" + start + names + last_word;
    box.set(prop::Text, written);
    const std::size_t long_start = start.size() + 2;
    const std::size_t second_name = start.find("two") - 5;
    // Placed alike, the tab included, give or take the kerning at a cut.
    EXPECT_NEAR(view->character_rect(long_start + second_name).x(),
                view->character_rect(second_name).x(), 1);

    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(view->horizontalScrollBar()->value(), 10000);
    // Drawn where the view is scrolled to, and hit where it is drawn.
    QImage drawn = viewport()->grab().toImage();
    QColor ink = viewport()->palette().color(QPalette::Text);
    int inked = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            inked += drawn.pixelColor(x, y) == ink;
    EXPECT_GT(inked, 20);
    const std::size_t end = written.size();
    const std::size_t last_tab = end - last_word.size() - 1;
    // The caret before a tab stands after the text, not at the stop the tab reaches.
    EXPECT_LT(view->character_rect(last_tab).x() + 4, view->character_rect(last_tab + 1).x());
    for (std::size_t byte : {end - last_word.size(), end - 7, end - 12}) {
        SCOPED_TRACE(byte);
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, over(byte) - QPoint(1, 0));
        EXPECT_EQ(view->caret(), byte);
    }

    press(Qt::Key_End);
    press(Qt::Key_Backspace);  // The emoji, both its halves.
    EXPECT_EQ(text(), written.substr(0, end - 4));
    press(Qt::Key_Left, Qt::ControlModifier);
    press(Qt::Key_Left, Qt::ControlModifier);  // Back over "end" to the last number.
    EXPECT_EQ(view->caret(), end - last_word.size() - 4);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "59");
    type("ab");
    press(Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), written);
    press(Qt::Key_Home);
    EXPECT_EQ(view->caret(), long_start);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
}

TEST_F(TextBox, OffersTheUsualMenuWithoutHoldingTheWindow)
{
    box.set(prop::Text, std::string("\ra\rb"));
    press(Qt::Key_A, Qt::ControlModifier);
    QContextMenuEvent asked(QContextMenuEvent::Mouse, QPoint(5, 5),
                            viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport(), &asked);  // Returns: the menu has no loop of its own.
    QMenu* menu = view->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList shown;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            shown << action->text();
    EXPECT_EQ(shown,
              QStringList({"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"}));
    for (QAction* action : menu->actions())
        if (action->text() == "Delete")
            action->trigger();
    EXPECT_EQ(text(), "");
    menu->close();
}

}  // namespace
