// A multi-line text box that keeps its text exactly as it was written, and
// shows, selects and edits a million lines as readily as ten.
//
// Qt's text widgets turn a lone carriage return into a paragraph break and
// read it back as a line feed, and building their document costs far more
// than the scan that fills it. So the box draws and edits one buffer of its
// own (see TextView), and reading its Text gives that buffer as it stands.
#pragma once

#include "toolkit/qt/core/qt_control.h"

namespace toolkit {

class TextView;

class QtTextBox final : public QtControl {
public:
    QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string text() const;
    void set_text(std::string text);
    // A submenu after the editing commands.
    void set_context_menu(const Menu& menu) override;
    void open_context_menu() override;

protected:
    std::span<const Property> own_properties() const override;
    // Only the text is named: a frame of the same name around it would be
    // spoken twice on the way in.
    QWidget* spoken_widget() const override;

private:
    TextView* m_view;
};

}  // namespace toolkit
