#include "toolkit/qt/controls/readable.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPalette>
#include <QString>

#include <algorithm>
#include <cmath>

namespace toolkit {

namespace {

double channel_luminance(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& color)
{
    return 0.2126 * channel_luminance(color.redF()) + 0.7152 * channel_luminance(color.greenF()) +
        0.0722 * channel_luminance(color.blueF());
}

// Below this a font's letters run together.
constexpr int smallest_readable_px = 8;

}  // namespace

double contrast_ratio(const QColor& a, const QColor& b)
{
    double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readable_on(const QColor& wanted, const QPalette& palette)
{
    QColor background = palette.color(QPalette::Window);
    if (contrast_ratio(wanted, background) >= readable_contrast)
        return wanted;
    QColor own = palette.color(wanted.hsvSaturation() > 0 ? QPalette::Link : QPalette::WindowText);
    if (contrast_ratio(own, background) >= readable_contrast)
        return own;
    QColor black(Qt::black), white(Qt::white);
    return contrast_ratio(black, background) >= contrast_ratio(white, background) ? black : white;
}

QFont font_to_fit(const QFont& font, const QString& text, int width)
{
    QFont fitted = font;
    int px = QFontInfo(font).pixelSize();
    auto width_of = [&text](const QFont& font) {
        return QFontMetrics(font).size(Qt::TextShowMnemonic, text).width();
    };
    while (width_of(fitted) > width && px > smallest_readable_px) {
        --px;
        fitted.setPixelSize(px);
    }
    return fitted;
}

}  // namespace toolkit
