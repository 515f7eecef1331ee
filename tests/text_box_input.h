// Types a new last line into a text box as a user would: a click into it,
// Ctrl+End, Enter, then the keys.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

inline void add_line(QWidget* text_box, const QString& keys)
{
    QWidget* inside = text_box->childAt(text_box->rect().center());
    QTest::mouseClick(inside ? inside : text_box, Qt::LeftButton, {}, QPoint(5, 5));
    QWidget* typing = QApplication::focusWidget();
    if (!typing || !text_box->isAncestorOf(typing))
        return;
    QTest::keyClick(typing, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(typing, Qt::Key_Return);
    QTest::keyClicks(typing, keys);
}
