#pragma once
// A table view whose rows all have one height, so that it keeps nothing per row: a list of ten
// million cards costs it what a list of ten costs. (QTableView keeps a header section of eight
// bytes for every row, hidden or not, and walks them all whenever the model is reset.) The
// vertical scroll bar counts rows; the columns are a horizontal QHeaderView as in QTableView.
// Whole rows are selected, one at a time.
#include <QAbstractItemView>

class QHeaderView;

namespace zelm {

class UniformRowsView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit UniformRowsView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QHeaderView* horizontalHeader() const { return m_header; }

    void setRowHeight(int pixels);
    int rowHeight() const { return m_rowHeight; }
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    void setShowGrid(bool show);

    void selectRow(int row);
    int firstVisibleRow() const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

private:
    int rowCount() const;
    int columnCount() const;
    int rowsInView() const; // whole rows the viewport shows
    // The row's top in the viewport; far rows are kept just outside it, so that no figure
    // overflows however long the list.
    int rowTop(int row) const;
    void layoutChanged();

    QHeaderView* m_header;
    int m_rowHeight = 18;
    bool m_showGrid = true;
    bool m_inGeometries = false;
};

} // namespace zelm
