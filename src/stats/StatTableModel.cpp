#include "stats/StatTableModel.h"

#include <QFont>

namespace zelm {

void StatTableModel::setTable(const StatTable& table) {
    beginResetModel();
    m_table = table;
    m_titles = statTitleRow(m_table);
    endResetModel();
}

void StatTableModel::clear() {
    beginResetModel();
    m_table = {};
    m_titles.clear();
    endResetModel();
}

int StatTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_titles.isEmpty() ? 0 : static_cast<int>(m_table.rows.size()) + 1;
}

int StatTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant StatTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const size_t r = static_cast<size_t>(index.row());
    const bool totals = r == m_table.rows.size();
    const StatRow& row = totals ? m_table.totals : m_table.rows[r];
    switch (role) {
    case Qt::DisplayRole: {
        if (index.column() == 0)
            return row.name;
        const size_t c = static_cast<size_t>(index.column() - 1);
        return QString::number(c < row.counts.size() ? row.counts[c] : row.total);
    }
    case Qt::ToolTipRole: // a long name may be cut in its column
        return index.column() == 0 ? QVariant(row.name) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (totals || index.column() == columnCount() - 1) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant StatTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_titles.value(section);
    return section + 1 <= static_cast<int>(m_table.rows.size()) ? QVariant(section + 1)
                                                                : QVariant();
}

} // namespace zelm
