// The window's icon and the mouse pointers, drawn from rows of characters.
//
//   widget->setWindowIcon(QIcon(QPixmap::fromImage(draw_icon(icon))));
//   label->setCursor(draw_pointer(hand));
#pragma once

#include "toolkit/pictures.h"

#include <QCursor>
#include <QImage>

namespace toolkit {

QImage draw_icon(const Icon& icon);
QCursor draw_pointer(const Pointer& pointer);

}  // namespace toolkit
