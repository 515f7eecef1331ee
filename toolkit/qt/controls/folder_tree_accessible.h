// The folder list as a screen reader meets it: a tree. Drawn, it is a list
// whose rows are indented; told flat, the folders above the open one and its
// subfolders would sound alike. Each folder above is the parent of the next,
// the open folder the parent of its subfolders, so a reader can give each
// row its level, and says which rows are expanded.
//
// The rows' items are made when a reader first asks for them and are made
// anew whenever the list is filled again: a reader that meets the same
// object twice takes it for the same folder.
#pragma once

class QAbstractItemView;
class QAccessibleInterface;
class QObject;
class QString;

namespace toolkit {

// The accessible of an `OpeningListView` told as a tree, over an
// `EntryListModel`; a factory for `install_accessible_factory`.
QAccessibleInterface* folder_tree_accessible(const QString& key, QObject* object);

// The accessible item of the view's row, when the view is told as a tree;
// nullptr otherwise.
QAccessibleInterface* folder_tree_item(QAbstractItemView* view, int row);

}  // namespace toolkit
