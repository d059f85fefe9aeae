#pragma once
// The bulk of a register moved onto the server: the cards, their search rows and the attached
// files' list as COPY streams, inside the move's transaction.
#include "server/RegisterTransfer.h"
#include "server/Schema.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <vector>

class QThread;

namespace zelm {

class PgConnection;

// The move's progress, counted on whichever thread the work runs (a COPY's data is read on the
// thread carrying it out) and reported on the thread that started the move.
class MoveProgress {
public:
    MoveProgress(const TransferProgress& report, qint64 total);
    // `halves` half records done: a card counts half when stored, half when its search row is.
    void addHalves(qint64 halves);
    void add(qint64 records) { addHalves(2 * records); }
    void reportNow(); // on the thread that made this

private:
    const TransferProgress& m_report;
    qint64 m_total;
    std::atomic<qint64> m_halves{0};
    std::atomic<bool> m_posted{false};
    QThread* m_home;
    QObject m_context; // posted reports die with it
};

// A file of records and how many of them move: those it held when the move began.
struct CardSource {
    QString path;
    CardFileKind file;
    qint64 records;
};

// Keys for `count` new rows of cards, in ascending order.
std::vector<qint64> newCardIds(PgConnection& c, qint64 count);

// Stores the cards of `files` in their order with `ids` one by one, then their search rows.
// Cards of one clock tick share a number on disk: they come over as they are, told apart by
// uniq_dup.
void copyCards(PgConnection& c, const std::vector<CardSource>& files,
               const std::vector<qint64>& ids, MoveProgress& progress);

// The attached files' list, each record at its index.
void copyAttachments(PgConnection& c, const CardSource& list, MoveProgress& progress);

} // namespace zelm
