#pragma once
// The register's Main card file and Archive when a server keeps them for several workstations.
// Places are counted in the register's order as this workstation last read it (reload() reads
// it again); every change names the card by the server's own key, so a place gone stale never
// hits another card. Failures are thrown as std::runtime_error with a Russian message naming the
// server; whatever failed stored nothing.
#include "cardlists/RowSource.h"
#include "store/CardFilter.h"
#include "store/RecordSource.h"
#include "store/Records.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zelm {

enum class RegisterFile { Main, Archive };

struct SharedCard {
    qint64 id = 0;     // the server's key; stays with the card into the Archive
    int version = 0;   // grows with every save
    QString changedBy; // who stored it last, and when
    QDateTime changedAt;
    TAnketa card = TAnketa::zeroed();
};

class SharedCards {
public:
    virtual ~SharedCards() = default;

    // The server as messages name it.
    virtual QString serverName() const = 0;

    // The register's order as last read: passes over the register read through these.
    virtual const RecordSource& cards(RegisterFile file) const = 0;
    virtual qint64 count(RegisterFile file) const = 0;
    // Reads the order of both files again.
    virtual void reload() = 0;
    // Rows for a list, with blocks of their own; they follow reload().
    virtual std::unique_ptr<RowSource> rows(RegisterFile file) = 0;

    // The card at `index`, read now; nothing when it is gone.
    virtual std::optional<SharedCard> read(RegisterFile file, qint64 index) = 0;
    virtual std::optional<SharedCard> readId(qint64 id) = 0;
    // The key of the card at `index` in the order as last read, or 0.
    virtual qint64 idAt(RegisterFile file, qint64 index) const = 0;
    // Its place in the order as last read, or -1.
    virtual qint64 indexOfId(RegisterFile file, qint64 id) const = 0;
    virtual qint64 indexOfNumber(std::int32_t number) const = 0; // in the Main card file
    // The cards of `file` that may pass a search, in the register's order: the server picks
    // them by its own index, a superset the caller confirms with its matcher.
    virtual std::vector<TAnketa> candidates(RegisterFile file, const CardFilter& filter) = 0;

    struct SaveResult {
        enum class Status { Saved, Conflict, Deleted, Archived } status = Status::Saved;
        SharedCard card; // what is stored now
    };
    // Writes over card `id` if it is still `expectedVersion`.
    virtual SaveResult save(qint64 id, const TAnketa& card, int expectedVersion) = 0;
    // A new card at the end of the Main card file, or right after card `anchorId`; the server
    // gives it a unique number no other card has (its own when free). The order is read again.
    virtual SharedCard append(const TAnketa& card) = 0;
    virtual SharedCard insertAfter(qint64 anchorId, const TAnketa& card) = 0;
    // False when the card was already gone. The order is read again.
    virtual bool remove(qint64 id) = 0;
    virtual bool archive(qint64 id) = 0;
    virtual bool removeArchived(qint64 id) = 0;
};

} // namespace zelm
