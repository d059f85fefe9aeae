// The card lists' view over lists of any length: where a row is drawn and what a press, a key
// or a scroll reaches, at the first, a middle and the ten-millionth row, and that the view's
// memory does not grow with the list.
#include "widgets/UniformRowsView.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <malloc.h>

namespace zelm {
namespace {

// Row r, column c shows "r:c"; nothing is kept per row.
class CountingModel : public QAbstractTableModel {
public:
    explicit CountingModel(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        return QStringLiteral("%1:%2").arg(index.row()).arg(index.column());
    }
    void append(int n) {
        beginInsertRows({}, m_rows, m_rows + n - 1);
        m_rows += n;
        endInsertRows();
    }
    void removeFirst() {
        beginRemoveRows({}, 0, 0);
        --m_rows;
        endRemoveRows();
    }

private:
    int m_rows;
};

struct ShownList {
    explicit ShownList(int rows) : model(rows) {
        view.setModel(&model);
        view.setRowHeight(18);
        view.resize(400, 18 * 10 + view.horizontalHeader()->sizeHint().height() + 40);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QModelIndex rowAt(int row) { return model.index(row, 1); }
    void press(int row) {
        const QPoint at = view.visualRect(rowAt(row)).center();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    }
    int selectedRow() const {
        const auto rows = view.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }

    CountingModel model;
    UniformRowsView view;
};

TEST(UniformRowsView, ReachesEveryRowOfTenMillionByScrollPressAndKeys) {
    constexpr int kRows = 10'000'000;
    ShownList list(kRows);
    for (int row : {0, 5, kRows / 2, kRows - 1}) {
        list.view.scrollTo(list.rowAt(row));
        const QRect cell = list.view.visualRect(list.rowAt(row));
        EXPECT_TRUE(list.view.viewport()->rect().contains(cell)) << row;
        EXPECT_EQ(list.view.indexAt(cell.center()), list.rowAt(row)) << row;
        list.press(row);
        EXPECT_EQ(list.selectedRow(), row);
    }
    // The last row is pressed; the keys move from it and keep the row moved to in view.
    QTest::keyClick(list.view.viewport(), Qt::Key_Home);
    EXPECT_EQ(list.selectedRow(), 0);
    EXPECT_EQ(list.view.firstVisibleRow(), 0);
    QTest::keyClick(list.view.viewport(), Qt::Key_PageDown);
    const int page = list.selectedRow();
    EXPECT_GT(page, 5);
    QTest::keyClick(list.view.viewport(), Qt::Key_Down);
    EXPECT_EQ(list.selectedRow(), page + 1);
    EXPECT_TRUE(list.view.viewport()->rect().contains(list.view.visualRect(list.rowAt(page + 1))));
    QTest::keyClick(list.view.viewport(), Qt::Key_End);
    EXPECT_EQ(list.selectedRow(), kRows - 1);
    EXPECT_EQ(list.view.verticalScrollBar()->value(), list.view.verticalScrollBar()->maximum());
    // Below the last row, and the heading, are no row.
    EXPECT_FALSE(list.view.indexAt(QPoint(5, list.view.viewport()->height() + 30)).isValid());
    EXPECT_FALSE(list.view.indexAt(QPoint(5, -3)).isValid());
}

TEST(UniformRowsView, FollowsRowsAddedAndTakenOut) {
    ShownList list(3); // all in view: nothing to scroll
    EXPECT_EQ(list.view.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(
        list.view.indexAt(list.view.visualRect(list.rowAt(2)).center() + QPoint(0, 18)).isValid());
    const int inView = list.view.viewport()->height() / 18;
    list.model.append(100);
    EXPECT_EQ(list.view.verticalScrollBar()->maximum(), 103 - inView);
    list.view.selectRow(102);
    EXPECT_EQ(list.view.firstVisibleRow(), 103 - inView);
    list.model.removeFirst();
    EXPECT_EQ(list.view.verticalScrollBar()->maximum(), 102 - inView);
    EXPECT_EQ(list.selectedRow(), 101); // the same card, one row up
}

TEST(UniformRowsView, KeepsNothingPerRow) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator is not the one measured";
#else
    const size_t before = mallinfo2().uordblks;
    {
        ShownList list(20'000'000);
        list.view.scrollTo(list.rowAt(19'999'999));
        list.view.repaint();
        // QTableView would hold 160 MB of row sizes here.
        EXPECT_LT(mallinfo2().uordblks - before, size_t{4} << 20);
    }
#endif
}

} // namespace
} // namespace zelm
