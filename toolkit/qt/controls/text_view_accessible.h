// The text box's editor as a screen reader meets it: one editable text, its
// characters, lines, caret and selection, editable through the bus as well.
// The scroll bars and the viewport are left out, as a text's insides.
//
//   QAccessible::installFactory(...);  // returns make_text_view_accessible(view)
#pragma once

class QAccessibleInterface;

namespace toolkit {

class TextView;

QAccessibleInterface* make_text_view_accessible(TextView* view);

}  // namespace toolkit
