// Tells a screen reader what just happened, where nothing the user is on
// says it: how many names a scan found, which folder opened and what it
// holds, why a paste was refused. The focus stays where it is.
//
// Said through a notification of the window's own, shown afresh for each
// message, which both Qt versions we build on pass to the accessibility bus
// and which screen readers speak once as it appears.
#pragma once

class QString;
class QWidget;

namespace toolkit {

void announce(QWidget* window, const QString& text);

}  // namespace toolkit
