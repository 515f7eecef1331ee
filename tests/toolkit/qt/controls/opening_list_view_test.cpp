// A list long enough to be laid out in several batches, as the file list of
// a big folder is: a change keeps the place the user scrolled to, and a
// scroll asked for while the batches are laid out is done once they are.
#include "toolkit/qt/controls/opening_list_view.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

namespace {

class BigList : public testing::Test {
protected:
    BigList()
    {
        for (int row = 0; row < 450000; ++row)
            names << QString::number(row);
        model.setStringList(names);
        view.setModel(&model);
        view.resize(300, 200);
        view.show();
    }

    bool laid_out() { return view.visualRect(model.index(model.rowCount() - 1)).isValid(); }
    int top_row() { return view.indexAt(QPoint(5, 5)).row(); }
    // A change as the file list makes it: the whole list anew, one more row.
    void change()
    {
        names << "one more";
        model.setStringList(names);
    }

    QStringList names;
    QStringListModel model;
    toolkit::OpeningListView view{nullptr};
};

TEST_F(BigList, KeepsItsPlaceAcrossAChange)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return laid_out(); }, 10000));
    view.scrollTo(model.index(400000), QAbstractItemView::PositionAtTop);
    ASSERT_EQ(top_row(), 400000);
    const int position = view.verticalScrollBar()->value();

    change();
    EXPECT_FALSE(laid_out());  // Else this would not test the batches.
    ASSERT_TRUE(QTest::qWaitFor([&] { return laid_out(); }, 10000));
    EXPECT_EQ(view.verticalScrollBar()->value(), position);
    EXPECT_EQ(top_row(), 400000);
}

TEST_F(BigList, ScrollsWhereAskedOnceLaidOut)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return laid_out(); }, 10000));
    change();
    view.scrollTo(model.index(440000), QAbstractItemView::PositionAtTop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return laid_out(); }, 10000));
    EXPECT_EQ(top_row(), 440000);

    change();  // A scroll back to the top, asked for meanwhile, wins too.
    view.scrollTo(model.index(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return laid_out(); }, 10000));
    EXPECT_EQ(top_row(), 0);
}

}  // namespace
