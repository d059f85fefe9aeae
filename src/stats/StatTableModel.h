#pragma once
// The table of a count as the window shows it: the field's caption, a column per part of the
// period and «Всего»; a row per value and «Итого» in bold.
#include "stats/StatTable.h"

#include <QAbstractTableModel>

namespace zelm {

class StatTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(const StatTable& table);
    void clear(); // no rows and no columns
    const StatTable& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    StatTable m_table;
    QStringList m_titles;
};

} // namespace zelm
