#pragma once
// The card lists Spisok, RabTab and ArhTab as table models over their card files: row n shows
// card n of the file, read from the file when a view asks for it, so a register of any size
// costs a few blocks of memory and opens at once. This program's own changes to the file are
// told to the model row by row; a change made by anyone else (another program, a restore) is
// found by looking at the file, and the model then shows the file as it is now.
#include "cardlists/RecordFileReader.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <memory>

class QTimer;

namespace zelm {

struct TAnketa;

class CardFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `withUniqueNumber`: the eleventh column "Уник. №" of the Working and Archive lists.
    explicit CardFileModel(bool withUniqueNumber, QObject* parent = nullptr);

    static QStringList columnTitles();        // the ten common titles
    static QString uniqueNumberColumnTitle(); // "Уник. №"
    static constexpr int kUniqueNumberColumn = 10;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The card file shown; an empty path shows none.
    void setFile(const QString& path);
    const QString& file() const { return m_reader.path(); }
    // Shows rows from elsewhere (a register's rows); the model owns them.
    void setRows(std::unique_ptr<RowSource> rows);
    bool showsOwnRows() const { return m_ownRows != nullptr; }

    // This program changed the file: the rows that changed, in the file as it is now.
    void cardsAppended();       // rows added at the end, however many
    void cardInserted(int row); // one card now at `row`, the cards from there on moved down
    void cardRemoved(int row);  // the card at `row` gone, the cards after it moved up
    void cardChanged(int row);  // written over in place
    void fileReplaced();        // rewritten as a whole, or emptied

    // Looks at the file now; when someone else changed it, the model shows it anew (a reset)
    // and true is returned. Also done every few seconds by itself.
    bool refresh();

    int cardCount() const { return static_cast<int>(m_rows); }
    std::int32_t uniqueNumber(int row) const; // 0 for no such card
    QString cellText(int row, int column) const;
    // The whole card of `row`; false when there is none or it cannot be read.
    bool card(int row, TAnketa& out) const;

private:
    const char* recordOf(int row) const;
    void resetToFile();

    // A row inserted into or removed from the file that views are being told of.
    struct Pending {
        enum Kind { None, Inserted, Removed } kind = None;
        int row = -1;
    };

    bool m_withUnique;
    Pending m_pending;
    mutable RecordFileReader m_reader;
    std::unique_ptr<RowSource> m_ownRows;
    RowSource* m_source = &m_reader; // the reader, or the rows set from elsewhere
    qint64 m_rows = 0;
    QTimer* m_watch;
    mutable bool m_refreshQueued = false;
    mutable bool m_readQueued = false;
};

} // namespace zelm
