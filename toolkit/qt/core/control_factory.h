// Makes the adapter's control for one row of a window's design: the widget
// of its kind, placed, captioned, colored and named as the row says.
#pragma once

#include "toolkit/qt/core/qt_control.h"

#include "toolkit/form.h"

#include <memory>

namespace toolkit {

class FolderHub;

// The lists that show folders meet in `folders`, the window's hub.
std::unique_ptr<QtControl> make_control(QWidget* parent, FolderHub& folders,
                                        const ControlDesign& design);

}  // namespace toolkit
