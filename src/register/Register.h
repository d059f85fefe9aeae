#pragma once
// Where the register lives: the Main card file and the Archive, kept in the data folder's card
// files or on a server for several workstations. The card session, the lists, the search and
// the statistics read and change cards through this alone, so both homes behave alike.
//
// Every change names the card as it was read (StoredCard): a card is written only where it was
// read, never over another card that took its place, and a card someone else changed since it
// was read is not written over unasked. Failures are thrown (FileError for the data folder,
// std::runtime_error for a server) with a Russian message naming the file or the server; what
// failed stored nothing, except where the message says it could not be learnt whether the
// server stored it (the link broke at the commit): then repeating the command stores it once.
#include "cardlists/RowSource.h"
#include "store/CardFilter.h"
#include "store/CardHistory.h"
#include "store/RecordSource.h"
#include "store/Records.h"

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelm {

class CardFile;

enum class RegisterFile { Main, Archive };
enum class DeletionKind { ForGood, IntoArchive };

// A card as it was read: where it was, what it held, and whatever the home knows of who stored
// it last. A change passes it back so that the home can find the card again and see whether it
// is still what was read.
struct StoredCard {
    qint64 key = 0;    // the server's own key, which stays with the card into the Archive; 0 in
                       // the data folder, where a card is known by its place and unique number
    qint64 place = -1; // in the register's order as read; -1 when not in it
    int version = 0;   // the server's count of saves
    QString changedBy; // who stored it last, and when, as far as the home knows
    QDateTime changedAt;
    TAnketa card = TAnketa::zeroed();
};

// The Working card file, which a home that rewrites its files whole streams through.
struct ScratchFile {
    CardFile& file;
    QString path;
};

// What a change made elsewhere did to the order as last read.
struct OrderStep {
    enum class Kind { Written, Inserted, Removed } kind;
    RegisterFile file;
    qint64 place;
};

class Register {
public:
    virtual ~Register() = default;

    // The register as messages name it: the server, or the data folder's file.
    virtual QString name() const = 0;
    // Opens the register (creating the data folder's empty card files) and reads its order.
    virtual void open() = 0;
    // At exit: nothing is held open any more. Throws what it met, after closing everything.
    virtual void close() = 0;

    // The order as last read, for passes on this thread; reload() reads it again.
    virtual const RecordSource& cards(RegisterFile file) const = 0;
    virtual qint64 count(RegisterFile file) const = 0;
    virtual void reload() = 0;
    // Rows for a list, holding only a few blocks at a time; they follow the register's changes.
    virtual std::unique_ptr<RowSource> rows(RegisterFile file) = 0;
    // Brings the order as last read up to date with the changes other workstations made to the
    // cards `keys`, reading only those cards: the steps taken, in order. Nothing when the home
    // cannot tell what changed without reading the whole order; then reload() is due.
    virtual std::optional<std::vector<OrderStep>> follow(const std::vector<qint64>& keys) {
        (void)keys;
        return std::nullopt;
    }
    // A source of its own for a pass on another thread (a count, an export).
    virtual std::shared_ptr<const RecordSource> snapshot(RegisterFile file) const = 0;

    // The card at `index`, read now; nothing when there is none.
    virtual std::optional<StoredCard> read(RegisterFile file, qint64 index) = 0;
    // The Main card `asRead` as it is now, wherever it went; nothing when it is gone.
    virtual std::optional<StoredCard> reread(const StoredCard& asRead) = 0;
    // Its place in the order as last read, without reading the register; -1 when not there.
    virtual qint64 placeOf(const StoredCard& card) const = 0;

    // The first Main card carrying `number`, or -1. A home that keeps an index builds it on a
    // thread of its own; asked before it is ready, this waits, calling the wait's function.
    virtual qint64 indexOfNumber(std::int32_t number) const = 0;
    virtual bool numberIndexReady() const = 0;
    virtual void setIndexWait(std::function<void(int percent)> whileWaiting) = 0;

    // Appends to `target` every card of `file` that `matches`, in order; `prefilter`, when
    // given, lets the home pick the candidates by an index of its own. Returns how many.
    virtual qint64 appendMatches(RegisterFile file,
                                 const std::function<bool(const TAnketa&)>& matches,
                                 const CardFilter* prefilter, CardFile& target) = 0;

    struct SaveResult {
        enum class Status { Saved, Conflict, Gone } status = Status::Saved;
        StoredCard card; // stored now: the card written, or the other version it met
    };
    // Writes `card` over the Main card `asRead` if it still holds what was read.
    virtual SaveResult save(const StoredCard& asRead, const TAnketa& card) = 0;
    // A new card at the end of the Main card file; it keeps its unique number unless another
    // card has it, and then gets a new one.
    virtual StoredCard append(const TAnketa& card) = 0;
    // append() for a new card the workstation gave `key` when it began: a home whose commands
    // can lose their reply stores it once however often it is sent, and returns the card
    // stored under the key. The data folder, which cannot lose a reply, ignores the key.
    virtual StoredCard appendOnce(const TAnketa& card, const QUuid& key) {
        (void)key;
        return append(card);
    }
    // A new card right after Main card `anchor` (a place in the order as read).
    virtual StoredCard insertAfter(qint64 anchor, const TAnketa& card,
                                   const ScratchFile& scratch) = 0;
    // Takes the Main card `asRead` out, into the Archive or for good; returns the place it had,
    // or -1 when it was gone.
    virtual qint64 remove(const StoredCard& asRead, DeletionKind kind,
                          const ScratchFile& scratch) = 0;
    // Takes the archived card carrying `number` out for good (the card at `hint` when it does);
    // false when no archived card carries it.
    virtual bool removeArchived(std::int32_t number, qint64 hint) = 0;

    // A card brought back into the Main card file, at its end: an archived card pasted as a new
    // card, or a deleted card's last version. Kept like append() and noted in the history.
    virtual StoredCard recall(const TAnketa& card) = 0;

    // The history: every save, deletion, archiving and recall keeps the card as it was before
    // (a recall, as it was recalled), with who did it and when. The versions of the cards that
    // carry (or carried) `number`, newest first; deleted cards' too.
    virtual std::vector<CardVersion> history(std::int32_t number) = 0;

    // The first sentence of the message for a save whose card is gone: who may have taken it.
    virtual QString cardGoneText() const = 0;
};

} // namespace zelm
