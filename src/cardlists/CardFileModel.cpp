#include "cardlists/CardFileModel.h"

#include "store/Records.h"
#include "store/UnitGlo.h"

#include <QTimer>
#include <algorithm>
#include <climits>
#include <cstring>

namespace zelm {
namespace {

constexpr int kWatchMs = 2000;    // how often the file is looked at for others' changes
constexpr int kBlockRecords = 64; // a screen of rows and some, read at once
constexpr int kCachedBlocks = 8;  // under a megabyte of the file kept

const TAnketa& asCard(const char* record) {
    return *reinterpret_cast<const TAnketa*>(record);
}

QString columnText(const TAnketa& c, int column) {
    switch (column) {
    case 0:
        return ShortDate(c.DataMer);
    case 1:
        return c.NameOrg.text();
    case 2:
        return c.Povod.text();
    case 3:
        return c.VidORM.text();
    case 4:
        return c.Osnovan.text();
    case 5:
        return ShortDate(c.DateKUSP);
    case 6:
        return c.NomKUSP.text();
    case 7:
        return c.Podrazd.text();
    case 8:
        return c.FIOSotr.text();
    case 9:
        return c.FIOUtv.text();
    case CardFileModel::kUniqueNumberColumn:
        return QString::number(c.Klu4Form1);
    default:
        return {};
    }
}

// Rows a view can hold: a file of more cards than that shows its first ones.
qint64 viewableRows(qint64 count) {
    return std::min<qint64>(count, INT_MAX - 1);
}

} // namespace

CardFileModel::CardFileModel(bool withUniqueNumber, QObject* parent)
    : QAbstractTableModel(parent), m_withUnique(withUniqueNumber),
      m_reader(sizeof(TAnketa), kBlockRecords, kCachedBlocks), m_watch(new QTimer(this)) {
    m_watch->setInterval(kWatchMs);
    connect(m_watch, &QTimer::timeout, this, [this] { refresh(); });
    m_watch->start();
}

QStringList CardFileModel::columnTitles() {
    return {QStringLiteral("Дата ОРМ"),   QStringLiteral("Организация"),
            QStringLiteral("Повод"),      QStringLiteral("Вид ОРМ"),
            QStringLiteral("Основание"),  QStringLiteral("КУСП дата"),
            QStringLiteral("КУСП №"),     QStringLiteral("Подраделение"),
            QStringLiteral("Провёл ФИО"), QStringLiteral("Утвердил ФИО")};
}

QString CardFileModel::uniqueNumberColumnTitle() {
    return QStringLiteral("Уник. №");
}

int CardFileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows);
}

int CardFileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (m_withUnique ? 11 : 10);
}

const char* CardFileModel::recordOf(int row) const {
    if (row < 0 || row >= m_rows)
        return nullptr;
    // While views are told of a change the file has already made, they are shown the rows as
    // they were before it.
    qint64 at = row;
    if (m_pending.kind == Pending::Inserted && row >= m_pending.row)
        at = row + 1;
    else if (m_pending.kind == Pending::Removed && row == m_pending.row)
        return nullptr;
    else if (m_pending.kind == Pending::Removed && row > m_pending.row)
        at = row - 1;
    const char* r = m_source->record(at);
    if (!r && m_source->rowsLeftUnread() && !m_readQueued) {
        // Read once the painting is over, and painted again.
        m_readQueued = true;
        auto* self = const_cast<CardFileModel*>(this);
        QTimer::singleShot(0, self, [self] {
            self->m_readQueued = false;
            if (self->m_source->readLeftRows() && self->m_rows > 0)
                emit self->dataChanged(
                    self->index(0, 0),
                    self->index(static_cast<int>(self->m_rows) - 1, self->columnCount() - 1));
        });
    }
    if (!r && m_source->stale() && !m_refreshQueued) {
        // Someone is writing the file: show it as it is once the writing is done.
        m_refreshQueued = true;
        auto* self = const_cast<CardFileModel*>(this);
        QTimer::singleShot(0, self, [self] {
            self->m_refreshQueued = false;
            self->refresh();
        });
    }
    return r;
}

QString CardFileModel::cellText(int row, int column) const {
    if (column < 0 || column >= columnCount())
        return {};
    const char* r = recordOf(row);
    return r ? columnText(asCard(r), column) : QString();
}

std::int32_t CardFileModel::uniqueNumber(int row) const {
    const char* r = recordOf(row);
    return r ? asCard(r).Klu4Form1 : 0;
}

bool CardFileModel::card(int row, TAnketa& out) const {
    const char* r = recordOf(row);
    if (!r)
        return false;
    std::memcpy(&out, r, sizeof out);
    return true;
}

QVariant CardFileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const RowSource::ForDrawing drawing;
    return cellText(index.row(), index.column());
}

QVariant CardFileModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    if (section == kUniqueNumberColumn)
        return uniqueNumberColumnTitle();
    return columnTitles().value(section);
}

void CardFileModel::resetToFile() {
    beginResetModel();
    m_source->reload();
    m_rows = viewableRows(m_source->count());
    endResetModel();
}

void CardFileModel::setFile(const QString& path) {
    beginResetModel();
    m_source = &m_reader;
    m_ownRows.reset();
    if (path.isEmpty())
        m_reader.close();
    else
        m_reader.open(path);
    m_rows = viewableRows(m_source->count());
    endResetModel();
}

void CardFileModel::setRows(std::unique_ptr<RowSource> rows) {
    beginResetModel();
    m_reader.close();
    m_ownRows = std::move(rows);
    m_source = m_ownRows ? m_ownRows.get() : &m_reader;
    m_rows = viewableRows(m_source->count());
    endResetModel();
}

bool CardFileModel::refresh() {
    if (!m_source->check())
        return false;
    beginResetModel();
    m_rows = viewableRows(m_source->count());
    endResetModel();
    return true;
}

void CardFileModel::cardsAppended() {
    m_source->reload();
    const qint64 now = viewableRows(m_source->count());
    if (now < m_rows) {
        resetToFile();
        return;
    }
    if (now == m_rows)
        return;
    beginInsertRows({}, static_cast<int>(m_rows), static_cast<int>(now - 1));
    m_rows = now;
    endInsertRows();
}

void CardFileModel::cardInserted(int row) {
    m_source->reload();
    const qint64 now = viewableRows(m_source->count());
    // The file must hold exactly one card more, else it changed otherwise too.
    if (row < 0 || row > m_rows || now != m_rows + 1) {
        resetToFile();
        return;
    }
    m_pending = {Pending::Inserted, row};
    beginInsertRows({}, row, row);
    m_pending = {};
    m_rows = now;
    endInsertRows();
}

void CardFileModel::cardRemoved(int row) {
    m_source->reload();
    const qint64 now = viewableRows(m_source->count());
    if (row < 0 || row >= m_rows || now != m_rows - 1) {
        resetToFile();
        return;
    }
    m_pending = {Pending::Removed, row};
    beginRemoveRows({}, row, row);
    m_pending = {};
    m_rows = now;
    endRemoveRows();
}

void CardFileModel::cardChanged(int row) {
    m_source->reload();
    if (viewableRows(m_source->count()) != m_rows) {
        resetToFile();
        return;
    }
    if (row >= 0 && row < m_rows)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CardFileModel::fileReplaced() {
    resetToFile();
}

} // namespace zelm
