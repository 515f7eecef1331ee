// Colours and captions that stay readable whatever theme the desktop has:
// a colour a program asks for is drawn as asked where it stands out from
// the window, and a caption too wide for its button is drawn smaller.
#pragma once

#include <QColor>
#include <QFont>

class QPalette;
class QString;

namespace toolkit {

// The contrast between two colours as the web's accessibility guidelines
// measure it, from 1 (the same) to 21 (black on white).
double contrast_ratio(const QColor& a, const QColor& b);

// Text at least this far from its background reads for most people.
inline constexpr double readable_contrast = 4.5;

// `wanted` where it is readable on the palette's window colour. Otherwise
// the palette's own colour for such text, a link's colour for a coloured
// one and the window's text colour for a grey one; failing that, black or
// white.
QColor readable_on(const QColor& wanted, const QPalette& palette);

// `font`, made smaller where needed for `text` (an ampersand marking its
// access key) to take no more than `width` pixels, down to a size that can
// still be read.
QFont font_to_fit(const QFont& font, const QString& text, int width);

}  // namespace toolkit
