// The scroll area that draws the main window's text box, for the
// benchmarks that type into it.
//
//   QAbstractScrollArea* box = names_box();
//   QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
#pragma once

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWidget>

inline QAbstractScrollArea* names_box()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = top->findChild<QWidget*>("txtNames"))
            return box->findChild<QAbstractScrollArea*>();
    return nullptr;
}
