#pragma once
// The count's table with its first column (the values) and its last («Всего») standing still
// while the columns between scroll: two more views of the same model lie over the edges of the
// table, as the frozen-column pattern of Qt's examples does, and follow its rows and selection.
#include <QTableView>

namespace zelm {

class StatTableView : public QTableView {
    Q_OBJECT
public:
    explicit StatTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

    QTableView* namesView() const { return m_names; }
    QTableView* totalsView() const { return m_totals; }
    // After a new count: widths fitted to the contents (the names at most a share of the
    // width), and back to the first row and column.
    void fitAndRewind();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    QTableView* frozenView(const char* name);
    void showFrozenColumns();
    void placeFrozen();

    QTableView* m_names = nullptr;
    QTableView* m_totals = nullptr;
};

} // namespace zelm
