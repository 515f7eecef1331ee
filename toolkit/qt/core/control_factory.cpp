#include "toolkit/qt/core/control_factory.h"

#include "toolkit/qt/controls/qt_button.h"
#include "toolkit/qt/controls/qt_drive_list.h"
#include "toolkit/qt/controls/qt_file_list.h"
#include "toolkit/qt/controls/qt_folder_list.h"
#include "toolkit/qt/controls/qt_label.h"
#include "toolkit/qt/controls/qt_text_box.h"

#include <QWidget>

namespace toolkit {

namespace {

std::unique_ptr<QtControl> make_kind(QWidget* parent, FolderHub& folders,
                                     const ControlDesign& design)
{
    switch (design.kind) {
    case ControlKind::TextBox:
        return std::make_unique<QtTextBox>(parent, design.name, design.index);
    case ControlKind::FolderList:
        return std::make_unique<QtFolderList>(parent, folders, design.name, design.index);
    case ControlKind::DriveList:
        return std::make_unique<QtDriveList>(parent, folders, design.name, design.index);
    case ControlKind::FileList:
        return std::make_unique<QtFileList>(parent, folders, design.name, design.index);
    case ControlKind::CommandButton:
        return std::make_unique<QtButton>(parent, design.name, design.index);
    case ControlKind::Label: return std::make_unique<QtLabel>(parent, design.name, design.index);
    }
    throw Error("Unknown kind of control.");
}

}  // namespace

std::unique_ptr<QtControl> make_control(QWidget* parent, FolderHub& folders,
                                        const ControlDesign& design)
{
    std::unique_ptr<QtControl> control = make_kind(parent, folders, design);
    control->move(design.left_twips, design.top_twips, design.width_twips, design.height_twips);
    if (!design.caption.empty())
        control->set(prop::Caption, std::string(design.caption));
    if (design.fore_color)
        control->set(prop::ForeColor, *design.fore_color);
    control->set_tab_index(design.tab_index);
    if (!design.spoken_name.empty())
        control->set_spoken_name(design.spoken_name);
    if (!design.description.empty())
        control->set_description(design.description);
    // A control added to a window already on screen appears with it.
    control->widget()->show();
    return control;
}

}  // namespace toolkit
