// Makes the adapter's control for one row of a window's design: the widget
// of its kind, placed, captioned, colored and named as the row says.
#pragma once

#include "control.h"

#include "toolkit/form.h"

#include <memory>

namespace toolkit {

std::unique_ptr<QtControl> make_control(QWidget* parent, const ControlDesign& design);

}  // namespace toolkit
