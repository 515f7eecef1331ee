// Twips and pixels: the only place where the two meet.
//
// A twip is 1/1440 inch; the screen's logical DPI says how many of them make
// a device-independent pixel (15 at 96 DPI).
#pragma once

namespace toolkit::units {

double logical_dpi();
int px_from_twips(float twips);
float twips_from_px(int px);

}  // namespace toolkit::units
