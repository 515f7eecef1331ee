#include "toolkit/qt/core/units.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace toolkit::units {

namespace {
constexpr double twips_per_inch = 1440.0;
constexpr double fallback_dpi = 96.0;
// Qt's own limit on a widget's size; larger requests are drawn at the limit
// while the control keeps the twips it was given.
constexpr double px_limit = 16777215.0;
}  // namespace

double logical_dpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0.0 ? dpi : fallback_dpi;
}

int px_from_twips(float twips)
{
    double px = std::round(twips * logical_dpi() / twips_per_inch);
    if (std::isnan(px))
        return 0;
    return static_cast<int>(std::clamp(px, -px_limit, px_limit));
}

float twips_from_px(int px) { return static_cast<float>(px * twips_per_inch / logical_dpi()); }

}  // namespace toolkit::units
