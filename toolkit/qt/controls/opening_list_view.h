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
    explicit OpeningListView(QWidget* parent);
    std::function<void()> on_open;

    void doItemsLayout() override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void forget_typed();
    bool laid_out() const;
    void end_layout();

    struct Scroll {
        QPersistentModelIndex index;
        ScrollHint hint;
    };
    bool m_laying_out = false;
    int m_kept_position = 0;
    std::optional<Scroll> m_scroll_later;
};

}  // namespace toolkit
