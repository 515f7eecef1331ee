// A list view of uniform rows that reports when the user opens the
// highlighted entry: a double-click, Return or Enter.
#pragma once

#include <QListView>

#include <functional>

namespace toolkit {

class OpeningListView final : public QListView {
public:
    explicit OpeningListView(QWidget* parent);
    std::function<void()> on_open;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void forget_typed();
};

}  // namespace toolkit
