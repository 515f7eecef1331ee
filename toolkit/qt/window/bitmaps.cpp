#include "toolkit/qt/window/bitmaps.h"

#include <QBitmap>

namespace toolkit {

QImage draw_icon(const Icon& icon, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, pixel_at(icon, size, x, y));
    return image;
}

QCursor draw_pointer(const Pointer& pointer)
{
    int size = static_cast<int>(pointer.rows.size());
    // In a cursor, bitmap 1 is black and 0 white where the mask is 1.
    QImage bits(size, size, QImage::Format_Mono);
    QImage mask(size, size, QImage::Format_Mono);
    for (QImage* image : {&bits, &mask}) {
        image->setColor(0, qRgb(255, 255, 255));
        image->setColor(1, qRgb(0, 0, 0));
        image->fill(0);
    }
    for (int y = 0; y < size; ++y) {
        std::string_view row = pointer.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size && x < static_cast<int>(row.size()); ++x) {
            if (row[x] != 'k' && row[x] != 'w')
                continue;
            mask.setPixel(x, y, 1);
            bits.setPixel(x, y, row[x] == 'k' ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), pointer.hot_x,
                   pointer.hot_y);
}

}  // namespace toolkit
