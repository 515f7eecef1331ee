// The window's icon and the mouse pointers, drawn from rows of characters.
//
//   QImage drawn = draw_icon(icon, 48);  // 48 pixels square
//   label->setCursor(draw_pointer(hand));
#pragma once

#include "toolkit/pictures.h"

#include <QCursor>
#include <QImage>

namespace toolkit {

// Drawn as the installed icon files are (`pixel_at`), `size` pixels square.
QImage draw_icon(const Icon& icon, int size);
QCursor draw_pointer(const Pointer& pointer);

}  // namespace toolkit
