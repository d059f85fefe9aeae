#include "stats/StatTableView.h"

#include <QHeaderView>
#include <QScrollBar>

namespace zelm {

StatTableView::StatTableView(QWidget* parent) : QTableView(parent) {
    m_names = frozenView("StatTabNazv");
    m_totals = frozenView("StatTabVsego");
    // Whole columns would jump past the frozen ones; pixels let every column come into view
    // between them.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (m_names->model() == nullptr)
                    return;
                if (section == 0)
                    m_names->setColumnWidth(0, size);
                if (section == model()->columnCount() - 1)
                    m_totals->setColumnWidth(section, size);
                placeFrozen();
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                m_names->setRowHeight(section, size);
                m_totals->setRowHeight(section, size);
            });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &StatTableView::placeFrozen);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &StatTableView::placeFrozen);
}

QTableView* StatTableView::frozenView(const char* name) {
    auto* v = new QTableView(this);
    v->setObjectName(QString::fromLatin1(name));
    v->setFocusPolicy(Qt::NoFocus);
    v->verticalHeader()->hide();
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollMode(ScrollPerPixel);
    v->setEditTriggers(NoEditTriggers);
    v->setSelectionBehavior(SelectRows);
    v->setFrameShape(QFrame::NoFrame);
    // A line between the still columns and the moving ones.
    v->setStyleSheet(
        QStringLiteral("QTableView { border: 0px; border-%1: 1px solid palette(dark); }")
            .arg(QLatin1String(name) == QLatin1String("StatTabNazv") ? QStringLiteral("right")
                                                                     : QStringLiteral("left")));
    viewport()->stackUnder(v);
    connect(v->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, v->verticalScrollBar(),
            &QScrollBar::setValue);
    return v;
}

void StatTableView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    for (QTableView* v : {m_names, m_totals}) {
        v->setModel(model);
        v->setSelectionModel(selectionModel());
        v->setAlternatingRowColors(alternatingRowColors());
        v->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    }
    connect(model, &QAbstractItemModel::modelReset, this, &StatTableView::showFrozenColumns);
    showFrozenColumns();
}

void StatTableView::showFrozenColumns() {
    const int columns = model() ? model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c) {
        m_names->setColumnHidden(c, c != 0);
        m_totals->setColumnHidden(c, c != columns - 1);
    }
    m_names->setAlternatingRowColors(alternatingRowColors());
    m_totals->setAlternatingRowColors(alternatingRowColors());
    m_names->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_totals->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    placeFrozen();
}

void StatTableView::fitAndRewind() {
    resizeColumnsToContents();
    const int columns = model() ? model()->columnCount() : 0;
    if (columns > 0) {
        // Names are whole where the table has room; otherwise long ones give way to the
        // months, down to two fifths of the width, the rest of a name in its tooltip.
        int others = 0;
        for (int c = 1; c < columns; ++c)
            others += columnWidth(c);
        const int room = std::max(viewport()->width() - others, viewport()->width() * 2 / 5);
        if (columnWidth(0) > std::max(160, room))
            setColumnWidth(0, std::max(160, room));
    }
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    placeFrozen();
}

void StatTableView::placeFrozen() {
    const int columns = model() ? model()->columnCount() : 0;
    // Needed only while the months do not all fit: otherwise every column is in view anyway.
    const bool scrolls = columns > 1 && horizontalScrollBar()->maximum() > 0;
    m_names->setVisible(scrolls);
    m_totals->setVisible(scrolls);
    if (!scrolls)
        return;
    const int left = frameWidth() + (verticalHeader()->isVisible() ? verticalHeader()->width() : 0);
    const int height = viewport()->height() + horizontalHeader()->height();
    const int nameWidth = columnWidth(0);
    m_names->setColumnWidth(0, nameWidth);
    m_names->setGeometry(left, frameWidth(), nameWidth, height);
    const int last = columns - 1;
    const int totalWidth = columnWidth(last);
    m_totals->setColumnWidth(last, totalWidth);
    // At the right edge, or where the column stands when the table is narrower than the view.
    const int x = std::min(columnViewportPosition(last), viewport()->width() - totalWidth);
    m_totals->setGeometry(left + std::max(x, nameWidth), frameWidth(), totalWidth, height);
}

void StatTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int columns = model() ? model()->columnCount() : 0;
    const int h = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || columns <= 1)
        return;
    if (index.column() == 0 || index.column() == columns - 1) {
        horizontalScrollBar()->setValue(h); // always in view
        return;
    }
    // A column between must not end up under either frozen one.
    const int x = columnViewportPosition(index.column());
    const int w = columnWidth(index.column());
    const int leftEdge = columnWidth(0);
    const int rightEdge = viewport()->width() - columnWidth(columns - 1);
    if (x < leftEdge)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (leftEdge - x));
    else if (x + w > rightEdge)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + (x + w - rightEdge));
}

void StatTableView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void StatTableView::updateGeometries() {
    QTableView::updateGeometries();
    placeFrozen();
}

} // namespace zelm
