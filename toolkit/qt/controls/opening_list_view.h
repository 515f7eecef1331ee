// A list view of uniform rows that reports when the user opens the
// highlighted entry: a double-click, Return or Enter.
//
// It lays its rows out a batch at a time, the window answering between
// batches: after a change in a folder of a million files, the whole layout
// would hold the window tens of milliseconds. Until the last batch is laid
// out, the view keeps its look; the place it was scrolled to, and then a
// scroll asked for meanwhile, are taken once it is.
#pragma once

#include <QListView>
#include <QPersistentModelIndex>

#include <functional>
#include <optional>

namespace toolkit {

class OpeningListView final : public QListView {
public:
    // How a screen reader is told the rows: a tree's rows must come with
    // the depth the model gives them.
    enum class Told { AsList, AsTree };

    explicit OpeningListView(QWidget* parent, Told told = Told::AsList);
    std::function<void()> on_open;
    // Opens the list's context menu at a point of the screen.
    std::function<void(QPoint)> on_context_menu;
    // Where a menu opened from the keyboard goes: under the highlighted row,
    // or under the list.
    QPoint keyboard_menu_place() const;
    bool told_as_tree() const { return m_told == Told::AsTree; }

    void doItemsLayout() override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void forget_typed();
    bool laid_out() const;
    void end_layout();

    struct Scroll {
        QPersistentModelIndex index;
        ScrollHint hint;
    };
    Told m_told;
    bool m_laying_out = false;
    int m_kept_position = 0;
    std::optional<Scroll> m_scroll_later;
};

}  // namespace toolkit
