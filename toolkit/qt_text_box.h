// A multi-line text box that keeps its text exactly as it was written.
//
// Qt's text widgets turn a lone carriage return into a paragraph break and
// read it back as a line feed. The box therefore keeps the text it was given
// and only shows it through the widget; once the user edits, the text is read
// back from the document with every line break written as a carriage return.
#pragma once

#include "toolkit/qt_control.h"

class QPlainTextEdit;

namespace toolkit {

class QtTextBox final : public QtControl {
public:
    QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string text() const;
    void set_text(std::string text);

protected:
    std::span<const Property> own_properties() const override;
    bool raises(Event event) const override;

private:
    QPlainTextEdit* m_edit;
    std::string m_text;
    // True once the user has edited what was last written.
    bool m_edited = false;
    bool m_writing = false;
};

}  // namespace toolkit
