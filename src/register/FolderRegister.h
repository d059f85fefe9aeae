#pragma once
// The register in the data folder: Baza/Anketi.dat and Baza/ArhAnket.dat, with the index of the
// unique numbers in the Main card file. Another program may change the files while they are
// open (cut them, write into them, rename a new file over them): before every command the
// files are looked at, a file renamed over the open one is followed, and a change by another
// program makes the index be built again. A save then finds its card by place and unique
// number, and writes only over the record it read. Every change first appends the card as it
// was to Baza/History.dat, so a change is never on disk without the version it replaced.
#include "cardlists/UniqueNumberIndex.h"
#include "register/Register.h"
#include "store/CardFile.h"
#include "store/HistoryFile.h"

namespace zelm {

class Installation;
struct CurrentUser;

class FolderRegister : public Register {
public:
    // The history names `user` (the login's, read at each change) as who changed a card.
    explicit FolderRegister(const Installation& inst, const CurrentUser* user = nullptr);
    ~FolderRegister() override;

    QString name() const override;
    void open() override;
    void close() override;

    const RecordSource& cards(RegisterFile file) const override;
    qint64 count(RegisterFile file) const override;
    void reload() override;
    std::unique_ptr<RowSource> rows(RegisterFile file) override;
    std::shared_ptr<const RecordSource> snapshot(RegisterFile file) const override;

    std::optional<StoredCard> read(RegisterFile file, qint64 index) override;
    std::optional<StoredCard> reread(const StoredCard& asRead) override;
    qint64 placeOf(const StoredCard& card) const override;

    qint64 indexOfNumber(std::int32_t number) const override;
    bool numberIndexReady() const override { return m_numbers.isReady(); }
    void setIndexWait(std::function<void(int percent)> whileWaiting) override {
        m_indexWait = std::move(whileWaiting);
    }

    qint64 appendMatches(RegisterFile file, const std::function<bool(const TAnketa&)>& matches,
                         const CardFilter* prefilter, CardFile& target) override;

    SaveResult save(const StoredCard& asRead, const TAnketa& card) override;
    StoredCard append(const TAnketa& card) override;
    StoredCard insertAfter(qint64 anchor, const TAnketa& card, const ScratchFile& scratch) override;
    qint64 remove(const StoredCard& asRead, DeletionKind kind, const ScratchFile& scratch) override;
    bool removeArchived(std::int32_t number, qint64 hint) override;
    StoredCard recall(const TAnketa& card) override;
    std::vector<CardVersion> history(std::int32_t number) override;

    QString cardGoneText() const override;

private:
    CardFile& fileOf(RegisterFile file);
    const CardFile& fileOf(RegisterFile file) const;
    // Follows a file renamed over the open one and notices another program's change since
    // this program last wrote or looked; the index of numbers is then built again. Every
    // look at the register does this first, a count too, so nothing is ever answered from a
    // file that has lost its name.
    void follow(RegisterFile file) const;
    // This program changed the file: what it left is what follow() compares with.
    void remember(RegisterFile file);
    // Where the Main card `asRead` is now: its place when that still holds its number, else
    // the first card carrying it; -1 when gone.
    qint64 locate(const StoredCard& asRead);
    bool waitForIndex() const;
    StoredCard storedAt(qint64 place, const TAnketa& card) const;
    // Gives `card` another number while a Main card has its own.
    void takeFreeNumber(TAnketa& card) const;
    // Appends at the end of the Main card file under a number no other card has.
    StoredCard appendCard(TAnketa card, bool recalled);
    // Returns what takeBack() needs when the change then fails.
    qint64 keepVersion(HistoryAction action, const TAnketa& card);

    const Installation& m_inst;
    const CurrentUser* m_user;
    HistoryFile m_history;
    mutable CardFile m_main;
    mutable CardFile m_archive;
    mutable CardFile::Stamp m_mainSeen;
    mutable CardFile::Stamp m_archiveSeen;
    mutable UniqueNumberIndex m_numbers; // unique number -> first Main card carrying it
    std::function<void(int)> m_indexWait;
};

} // namespace zelm
