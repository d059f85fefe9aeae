#pragma once
// The card lists Spisok, RabTab and ArhTab: one row per card of a card file, in file order.
// Rows keep only the texts of their columns, packed, so a register of a hundred thousand
// cards costs a few tens of megabytes.
#include "store/Records.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

namespace zelm {

class CardSession;

class CardListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns a command reads back by number.
    enum Column { DataMerColumn = 0, NameOrgColumn = 1, UniqueNumberColumn = 10 };

    // `withUniqueNumber`: the eleventh column "Уник. №" of the Working and Archive lists.
    explicit CardListModel(bool withUniqueNumber, QObject* parent = nullptr);

    static QStringList columnTitles(); // the ten common titles

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void setCards(const TAnketa* cards, qsizetype n);
    void setCards(const std::vector<TAnketa>& cards) {
        setCards(cards.data(), static_cast<qsizetype>(cards.size()));
    }
    // Every whole card of `file`, read in large blocks so the register never sits in memory.
    void setCardsFromFile(const class CardFile& file);
    void appendCard(const TAnketa& card);
    void insertCard(int row, const TAnketa& card);
    void setCard(int row, const TAnketa& card);
    void removeCard(int row);
    void clear();
    // Keeps the rows in step with the session's Main card file: a card stored, inserted or
    // taken out there changes its row here.
    void followMainFile(CardSession& session);

    int cardCount() const { return static_cast<int>(m_rows.size()); }
    std::int32_t uniqueNumber(int row) const;
    bool containsUniqueNumber(std::int32_t number) const;
    int rowOfUniqueNumber(std::int32_t number) const; // the first row with it, else -1
    QString cellText(int row, int column) const;

private:
    struct Row {
        std::uint32_t offset; // of the packed texts in the arena
        std::int32_t unique;
        double dataMer;
        double dateKusp;
    };
    Row pack(const TAnketa& card);
    void compactIfWasteful();

    bool m_withUnique;
    std::vector<Row> m_rows;
    std::vector<char> m_arena;
    std::size_t m_liveBytes = 0;
};

} // namespace zelm
