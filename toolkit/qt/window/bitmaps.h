// The window's icon and the mouse pointers, drawn from rows of characters.
//
//   QImage drawn = draw_icon(icon, 48);  // 48 pixels square
//   label->setCursor(draw_pointer(hand));
#pragma once

#include "toolkit/pictures.h"

#include <QCursor>
#include <QImage>

namespace toolkit {

// Each pixel is taken from the nearest one of the icon's rows, as in the
// installed icon files, so that the drawing stays crisp at any size.
QImage draw_icon(const Icon& icon, int size);
QCursor draw_pointer(const Pointer& pointer);

}  // namespace toolkit
