#include "cardwindow/CardListModel.h"

#include "session/CardSession.h"
#include "store/RecordScan.h"

#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/UnitGlo.h"

#include <algorithm>

namespace zelm {
namespace {

// The text columns in the order they are packed; -1 marks the date columns 0 and 5.
constexpr int kTextFields = 8;
constexpr int kPackedOfColumn[10] = {-1, 0, 1, 2, 3, -1, 4, 5, 6, 7};

template <int N> void putText(std::vector<char>& arena, const PStr<N>& s) {
    arena.push_back(static_cast<char>(s.size()));
    arena.insert(arena.end(), s.data, s.data + s.size());
}

std::size_t packedSize(const char* p) {
    const char* start = p;
    for (int i = 0; i < kTextFields; ++i)
        p += 1 + static_cast<unsigned char>(*p);
    return static_cast<std::size_t>(p - start);
}

} // namespace

CardListModel::CardListModel(bool withUniqueNumber, QObject* parent)
    : QAbstractTableModel(parent), m_withUnique(withUniqueNumber) {}

QStringList CardListModel::columnTitles() {
    return {QStringLiteral("Дата ОРМ"),   QStringLiteral("Организация"),
            QStringLiteral("Повод"),      QStringLiteral("Вид ОРМ"),
            QStringLiteral("Основание"),  QStringLiteral("КУСП дата"),
            QStringLiteral("КУСП №"),     QStringLiteral("Подраделение"),
            QStringLiteral("Провёл ФИО"), QStringLiteral("Утвердил ФИО")};
}

int CardListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CardListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (m_withUnique ? 11 : 10);
}

QString CardListModel::cellText(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (column == 0)
        return ShortDate(r.dataMer);
    if (column == 5)
        return ShortDate(r.dateKusp);
    if (column == 10)
        return QString::number(r.unique);
    if (column < 0 || column > 10)
        return {};
    const char* p = m_arena.data() + r.offset;
    for (int i = 0; i < kPackedOfColumn[column]; ++i)
        p += 1 + static_cast<unsigned char>(*p);
    return fromCp1251(p + 1, static_cast<unsigned char>(*p));
}

QVariant CardListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return cellText(index.row(), index.column());
}

QVariant CardListModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1;
    if (section == 10)
        return QStringLiteral("Уник. №");
    return columnTitles().value(section);
}

CardListModel::Row CardListModel::pack(const TAnketa& c) {
    Row r{static_cast<std::uint32_t>(m_arena.size()), c.Klu4Form1, c.DataMer, c.DateKUSP};
    putText(m_arena, c.NameOrg);
    putText(m_arena, c.Povod);
    putText(m_arena, c.VidORM);
    putText(m_arena, c.Osnovan);
    putText(m_arena, c.NomKUSP);
    putText(m_arena, c.Podrazd);
    putText(m_arena, c.FIOSotr);
    putText(m_arena, c.FIOUtv);
    m_liveBytes += m_arena.size() - r.offset;
    return r;
}

void CardListModel::setCards(const TAnketa* cards, qsizetype n) {
    beginResetModel();
    m_rows.clear();
    m_arena.clear();
    m_liveBytes = 0;
    m_rows.reserve(static_cast<size_t>(n));
    m_arena.reserve(static_cast<size_t>(n) * 96);
    for (qsizetype i = 0; i < n; ++i)
        m_rows.push_back(pack(cards[i]));
    endResetModel();
}

void CardListModel::setCardsFromFile(const CardFile& file) {
    const qint64 total = file.count();
    beginResetModel();
    m_rows.clear();
    m_arena.clear();
    m_liveBytes = 0;
    m_rows.reserve(static_cast<size_t>(total));
    m_arena.reserve(static_cast<size_t>(total) * 160);
    try {
        scanForward<TAnketa>(file, 0, [this](qint64, const TAnketa& card) {
            m_rows.push_back(pack(card));
            return true;
        });
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

void CardListModel::followMainFile(CardSession& session) {
    CardSession* s = &session;
    connect(s, &CardSession::mainCardInserted, this,
            [this, s](qint64 index) { insertCard(static_cast<int>(index), s->CurrentCard()); });
    connect(s, &CardSession::mainCardWritten, this,
            [this, s](qint64 index) { setCard(static_cast<int>(index), s->CurrentCard()); });
    connect(s, &CardSession::mainCardRemoved, this, [this, s](qint64 index) {
        // A list that no longer matches the file before the removal is read again whole.
        if (cardCount() == s->CardTotal() + 1)
            removeCard(static_cast<int>(index));
        else
            setCardsFromFile(s->files().main);
    });
}

void CardListModel::appendCard(const TAnketa& card) {
    insertCard(cardCount(), card);
}

void CardListModel::insertCard(int row, const TAnketa& card) {
    row = std::clamp(row, 0, cardCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, pack(card));
    endInsertRows();
}

void CardListModel::setCard(int row, const TAnketa& card) {
    if (row < 0 || row >= cardCount())
        return;
    m_liveBytes -= packedSize(m_arena.data() + m_rows[static_cast<size_t>(row)].offset);
    m_rows[static_cast<size_t>(row)] = pack(card);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    compactIfWasteful();
}

void CardListModel::removeCard(int row) {
    if (row < 0 || row >= cardCount())
        return;
    beginRemoveRows({}, row, row);
    m_liveBytes -= packedSize(m_arena.data() + m_rows[static_cast<size_t>(row)].offset);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    compactIfWasteful();
}

void CardListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_arena.clear();
    m_liveBytes = 0;
    endResetModel();
}

std::int32_t CardListModel::uniqueNumber(int row) const {
    if (row < 0 || row >= cardCount())
        return 0;
    return m_rows[static_cast<size_t>(row)].unique;
}

bool CardListModel::containsUniqueNumber(std::int32_t number) const {
    return rowOfUniqueNumber(number) >= 0;
}

int CardListModel::rowOfUniqueNumber(std::int32_t number) const {
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [number](const Row& r) { return r.unique == number; });
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

void CardListModel::compactIfWasteful() {
    // Rewritten rows leave their old texts behind; repack when most of the arena is dead.
    if (m_arena.size() < 1 << 20 || m_liveBytes * 2 > m_arena.size())
        return;
    std::vector<char> fresh;
    fresh.reserve(m_liveBytes);
    for (Row& r : m_rows) {
        const char* p = m_arena.data() + r.offset;
        std::size_t size = packedSize(p);
        r.offset = static_cast<std::uint32_t>(fresh.size());
        fresh.insert(fresh.end(), p, p + size);
    }
    m_arena.swap(fresh);
}

} // namespace zelm
