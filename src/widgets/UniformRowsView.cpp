#include "widgets/UniformRowsView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace zelm {

UniformRowsView::UniformRowsView(QWidget* parent)
    : QAbstractItemView(parent), m_header(new QHeaderView(Qt::Horizontal, this)) {
    m_header->setSectionsClickable(false);
    m_header->setHighlightSections(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setHorizontalScrollMode(ScrollPerPixel);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
}

void UniformRowsView::setModel(QAbstractItemModel* model) {
    if (QAbstractItemModel* old = this->model()) {
        disconnect(old, &QAbstractItemModel::rowsRemoved, this, nullptr);
        disconnect(old, &QAbstractItemModel::layoutChanged, this, nullptr);
    }
    QAbstractItemView::setModel(model);
    m_header->setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::rowsRemoved, this, &UniformRowsView::layoutChanged);
        connect(model, &QAbstractItemModel::layoutChanged, this, &UniformRowsView::layoutChanged);
    }
    layoutChanged();
}

void UniformRowsView::setRowHeight(int pixels) {
    m_rowHeight = std::max(1, pixels);
    layoutChanged();
}

void UniformRowsView::setColumnWidth(int column, int width) {
    m_header->resizeSection(column, width);
}

int UniformRowsView::columnWidth(int column) const {
    return m_header->sectionSize(column);
}

void UniformRowsView::setShowGrid(bool show) {
    m_showGrid = show;
    viewport()->update();
}

void UniformRowsView::selectRow(int row) {
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    selectionModel()->setCurrentIndex(model()->index(row, 0, rootIndex()),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
}

int UniformRowsView::firstVisibleRow() const {
    return verticalScrollBar()->value();
}

int UniformRowsView::rowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int UniformRowsView::columnCount() const {
    return model() ? model()->columnCount(rootIndex()) : 0;
}

int UniformRowsView::rowsInView() const {
    return std::max(1, viewport()->height() / m_rowHeight);
}

int UniformRowsView::rowTop(int row) const {
    const qint64 fromFirst = qint64(row) - firstVisibleRow();
    return static_cast<int>(std::clamp<qint64>(fromFirst, -1, rowsInView() + 1)) * m_rowHeight;
}

void UniformRowsView::layoutChanged() {
    updateGeometries();
    viewport()->update();
}

QRect UniformRowsView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    // As in QTableView, a cell's rect leaves out the grid line on its right and below.
    const int grid = m_showGrid ? 1 : 0;
    return QRect(m_header->sectionViewportPosition(index.column()), rowTop(index.row()),
                 m_header->sectionSize(index.column()) - grid, m_rowHeight - grid);
}

void UniformRowsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid())
        return;
    // The range may not yet know of rows just added or of the viewport's size.
    if (verticalScrollBar()->maximum() != std::max(0, rowCount() - rowsInView()))
        updateGeometries();
    const int row = index.row();
    const int first = firstVisibleRow();
    const int inView = rowsInView();
    int target = first;
    switch (hint) {
    case PositionAtTop:
        target = row;
        break;
    case PositionAtBottom:
        target = row - inView + 1;
        break;
    case PositionAtCenter:
        target = row - inView / 2;
        break;
    case EnsureVisible:
        if (row < first)
            target = row;
        else if (row >= first + inView)
            target = row - inView + 1;
        break;
    }
    verticalScrollBar()->setValue(target);

    const int left = m_header->sectionPosition(index.column());
    const int right = left + m_header->sectionSize(index.column());
    QScrollBar* h = horizontalScrollBar();
    const int width = viewport()->width();
    if (left < h->value())
        h->setValue(left);
    else if (right > h->value() + width)
        h->setValue(std::min(left, right - width));
}

QModelIndex UniformRowsView::indexAt(const QPoint& point) const {
    if (point.y() < 0)
        return {};
    const qint64 row = qint64(firstVisibleRow()) + point.y() / m_rowHeight;
    const int column = m_header->logicalIndexAt(point.x());
    if (row >= rowCount() || column < 0)
        return {};
    return model()->index(static_cast<int>(row), column, rootIndex());
}

void UniformRowsView::reset() {
    QAbstractItemView::reset();
    layoutChanged();
}

QModelIndex UniformRowsView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows == 0 || columns == 0)
        return {};
    const QModelIndex current = currentIndex();
    qint64 row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() : 0;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        row += current.isValid() ? 1 : 0;
        break;
    case MovePageUp:
        row -= rowsInView();
        break;
    case MovePageDown:
        row += rowsInView();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
        column = std::max(0, column - 1);
        break;
    case MoveRight:
        column = std::min(columns - 1, column + 1);
        break;
    }
    return model()->index(static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)), column,
                          rootIndex());
}

int UniformRowsView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int UniformRowsView::verticalOffset() const {
    return static_cast<int>(std::min<qint64>(qint64(firstVisibleRow()) * m_rowHeight, INT_MAX));
}

void UniformRowsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows == 0 || columns == 0)
        return;
    const QRect r = rect.normalized();
    auto rowAt = [&](int y) {
        return static_cast<int>(std::clamp<qint64>(
            qint64(firstVisibleRow()) + std::max(0, y) / m_rowHeight, 0, rows - 1));
    };
    const QItemSelection rowsSelected(model()->index(rowAt(r.top()), 0, rootIndex()),
                                      model()->index(rowAt(r.bottom()), columns - 1, rootIndex()));
    selectionModel()->select(rowsSelected, flags);
}

QRegion UniformRowsView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid())
            continue;
        const int top = rowTop(range.top());
        const int bottom = rowTop(range.bottom()) + m_rowHeight;
        region += QRect(0, top, viewport()->width(), bottom - top);
    }
    return region;
}

void UniformRowsView::updateGeometries() {
    // The margins resize the viewport, which brings the view back here.
    if (m_inGeometries)
        return;
    m_inGeometries = true;
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    QScrollBar* v = verticalScrollBar();
    const int inView = rowsInView();
    v->setRange(0, std::max(0, rowCount() - inView));
    v->setSingleStep(1);
    v->setPageStep(inView);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, m_header->length() - area.width()));
    h->setSingleStep(20);
    h->setPageStep(area.width());
    m_header->setOffset(h->value());
    QAbstractItemView::updateGeometries();
    m_inGeometries = false;
}

void UniformRowsView::scrollContentsBy(int dx, int) {
    if (dx != 0)
        m_header->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void UniformRowsView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    layoutChanged();
}

void UniformRowsView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int rows = rowCount();
    const int columns = columnCount();
    const int first = firstVisibleRow();
    const int grid = m_showGrid ? 1 : 0;
    const QColor gridColour = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() && current.isValid();
    const QRect area = event->rect();
    const int lastInView = area.bottom() / m_rowHeight;
    for (int shown = std::max(0, area.top() / m_rowHeight);
         shown <= lastInView && qint64(first) + shown < rows; ++shown) {
        const int row = first + shown;
        const int y = shown * m_rowHeight;
        for (int c = 0; c < columns; ++c) {
            const int x = m_header->sectionViewportPosition(c);
            const int w = m_header->sectionSize(c);
            if (m_header->isSectionHidden(c) || x + w <= area.left() || x > area.right())
                continue;
            const QModelIndex index = model()->index(row, c, rootIndex());
            QStyleOptionViewItem cell = option;
            cell.rect = QRect(x, y, w - grid, m_rowHeight - grid);
            if (selectionModel()->isSelected(index))
                cell.state |= QStyle::State_Selected;
            if (focus && index == current)
                cell.state |= QStyle::State_HasFocus;
            itemDelegateForIndex(index)->paint(&painter, cell, index);
            if (grid) {
                painter.setPen(gridColour);
                painter.drawLine(x + w - 1, y, x + w - 1, y + m_rowHeight - 1);
                painter.drawLine(x, y + m_rowHeight - 1, x + w - 1, y + m_rowHeight - 1);
            }
        }
    }
}

} // namespace zelm
