// A multi-line text box that keeps its text exactly as it was written, and
// shows a million lines at once without building a document for them.
//
// Qt's text widgets turn a lone carriage return into a paragraph break and
// read it back as a line feed, and building their document costs far more
// than the scan that fills it. So the box keeps the text itself and draws
// only the lines in view; an editable document is built once the user starts
// to edit (a click or a key that is not for scrolling). From then on the
// text is read back from the document, every line break written as a
// carriage return. Writing the text from code returns to the drawn view.
#pragma once

#include "toolkit/qt/core/qt_control.h"

#include <QString>

class QPlainTextEdit;
class QStackedLayout;

namespace toolkit {

class TextView;

class QtTextBox final : public QtControl {
public:
    QtTextBox(QWidget* parent, std::string_view name, std::optional<std::int32_t> index);

    std::string text() const;
    void set_text(std::string text);
    // The drawn view and the editor are both the text box to a listener.
    void set_spoken_name(std::string_view name) override;

protected:
    std::span<const Property> own_properties() const override;

private:
    // Builds the document from the kept text and hands it the user's input.
    void start_editing();

    QStackedLayout* m_stack;
    TextView* m_view;
    QPlainTextEdit* m_edit = nullptr;
    std::string m_text;
    QString m_spoken_name;
    // True once the user has changed the document.
    bool m_edited = false;
};

}  // namespace toolkit
