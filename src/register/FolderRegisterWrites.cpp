// The changes of the data folder's register. Each first finds its card again where it was read
// (FolderRegister::locate), so a file cut, reordered or replaced by another program never has
// another card's record written over.
#include "register/FolderRegister.h"

#include "register/ArchiveJournal.h"
#include "register/SaveJournal.h"

#include "store/CurrentUser.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RecordFileRewrite.h"
#include "store/RecordScan.h"
#include "store/UniqueNumber.h"

#include <cstring>

namespace zelm {

qint64 FolderRegister::keepVersion(HistoryAction action, const TAnketa& card) {
    CardVersion v;
    v.action = action;
    v.when = currentDateTime().toUTC();
    v.who = m_user ? m_user->UserFIO : QString();
    v.card = card;
    return m_history.append(v);
}

std::vector<CardVersion> FolderRegister::history(std::int32_t number) {
    std::vector<CardVersion> versions = m_history.versionsOf(number);
    if (versions.empty())
        return versions;
    follow(RegisterFile::Main);
    TAnketa now;
    const qint64 at = indexOfNumber(number);
    if (at >= 0)
        m_main.readRange(at, 1, &now);
    dropUnchangedSaves(versions, at >= 0 ? &now : nullptr);
    return versions;
}

Register::SaveResult FolderRegister::save(const StoredCard& asRead, const TAnketa& card) {
    const qint64 at = locate(asRead);
    if (at < 0)
        return {SaveResult::Status::Gone, asRead};
    TAnketa now;
    m_main.readRange(at, 1, &now);
    if (std::memcmp(&now, &asRead.card, sizeof now) != 0) {
        StoredCard theirs = storedAt(at, now);
        theirs.changedBy = QStringLiteral("другая программа");
        theirs.changedAt = QDateTime::fromMSecsSinceEpoch(m_main.stamp().modifiedNs / 1000000);
        return {SaveResult::Status::Conflict, theirs};
    }
    const qint64 kept = keepVersion(HistoryAction::Save, now);
    const QString journal = saveJournalPath(m_inst);
    bool journaled = false;
    try {
        writeSaveJournal(journal, m_main.stamp(), at, now, card);
        journaled = true;
        m_main.writeRange(at, 1, &card);
        m_main.flush();
    } catch (...) {
        if (journaled)
            removeSaveJournal(journal);
        // A version kept for a save that never happened would show the card changing twice.
        m_history.takeBack(kept);
        throw;
    }
    removeSaveJournal(journal);
    remember(RegisterFile::Main);
    if (now.Klu4Form1 != card.Klu4Form1)
        m_numbers.changed(at, card.Klu4Form1);
    return {SaveResult::Status::Saved, storedAt(at, card)};
}

void FolderRegister::takeFreeNumber(TAnketa& card) const {
    // Two cards must never share a number. The clock's numbers are no exception: one tick is
    // most of a second, and a program started again within it counts from the tick afresh.
    while (indexOfNumber(card.Klu4Form1) >= 0)
        card.Klu4Form1 = NewUniqueNumber();
}

StoredCard FolderRegister::append(const TAnketa& card) {
    return appendCard(card, false);
}

StoredCard FolderRegister::recall(const TAnketa& card) {
    return appendCard(card, true);
}

StoredCard FolderRegister::appendCard(TAnketa stored, bool recalled) {
    follow(RegisterFile::Main);
    takeFreeNumber(stored);
    // The history hears of the recall first: a card never stands in the register without it.
    const qint64 kept = recalled ? keepVersion(HistoryAction::Recall, stored) : -1;
    qint64 at = -1;
    try {
        at = appendFlushed(m_main, &stored);
    } catch (...) {
        if (kept >= 0)
            m_history.takeBack(kept);
        throw;
    }
    remember(RegisterFile::Main);
    m_numbers.appended(stored.Klu4Form1);
    return storedAt(at, stored);
}

StoredCard FolderRegister::insertAfter(qint64 anchor, const TAnketa& card,
                                       const ScratchFile& scratch) {
    follow(RegisterFile::Main);
    // The rewrite renames a new register over the one the index is being built from, which
    // would start the build again from the beginning: both would read the whole register at
    // once. The index is finished first and then follows the insertion in memory.
    waitForIndex();
    TAnketa stored = card;
    takeFreeNumber(stored);
    const qint64 at = std::clamp<qint64>(anchor + 1, 0, m_main.count());
    insertCardIntoMainFile(m_main, scratch.file, scratch.path, at, stored);
    remember(RegisterFile::Main);
    m_numbers.inserted(at, stored.Klu4Form1);
    return storedAt(at, stored);
}

qint64 FolderRegister::remove(const StoredCard& asRead, DeletionKind kind,
                              const ScratchFile& scratch) {
    follow(RegisterFile::Archive);
    const qint64 n = locate(asRead);
    if (n < 0)
        return -1;
    // As for an insertion: an index still being built could read the new register after the
    // rename and then have the deletion taken out of it a second time.
    waitForIndex();
    const QString mainPath = m_main.path();
    CardFile& working = scratch.file;
    // The Working card file is the rewrite's scratch file and is left empty either way.
    auto emptyWorking = [&] {
        try {
            working.create(scratch.path, sizeof(TAnketa));
        } catch (const FileError&) {
            // The command's own error is the one to report; the counter shows what is there.
        }
    };
    const QString journal = archiveJournalPath(m_inst);
    bool journaled = false;
    qint64 archivedAt = -1;
    qint64 kept = -1;
    try {
        working.create(scratch.path, sizeof(TAnketa));
        TAnketa card;
        m_main.readRange(n, 1, &card);
        kept = keepVersion(kind == DeletionKind::IntoArchive ? HistoryAction::Archive
                                                             : HistoryAction::Delete,
                           card);
        copyRecordsExcept(m_main, n, working);
        working.flush();
        if (kind == DeletionKind::IntoArchive) {
            // The card is on disk in the Archive before the register loses it, and the
            // journal lets a start take it out again should the rename never come.
            writeArchiveJournal(journal, m_main.stamp(), m_archive.stamp().size);
            journaled = true;
            archivedAt = appendFlushed(m_archive, &card);
        }
        replaceFile(scratch.path, mainPath);
    } catch (...) {
        if (archivedAt >= 0)
            cutBack(m_archive, archivedAt);
        if (journaled)
            removeArchiveJournal(journal);
        if (kept >= 0)
            m_history.takeBack(kept);
        emptyWorking();
        throw;
    }
    if (journaled)
        removeArchiveJournal(journal);
    // The Working card file's descriptor now reaches the new register and the Main card
    // file's the old one: the scratch file is made anew before anything writes to it, and
    // the register is reopened before anything reads it.
    emptyWorking();
    m_main.open(mainPath, sizeof(TAnketa));
    remember(RegisterFile::Main);
    remember(RegisterFile::Archive);
    m_numbers.removed(n);
    return n;
}

bool FolderRegister::removeArchived(std::int32_t number, qint64 hint) {
    follow(RegisterFile::Archive);
    qint64 at = -1;
    if (hint >= 0 && hint < m_archive.count()) {
        TAnketa there;
        m_archive.readRange(hint, 1, &there);
        if (there.Klu4Form1 == number)
            at = hint;
    }
    if (at < 0)
        at = scanForward<TAnketa>(m_archive, 0, [number](qint64, const TAnketa& card) {
            return card.Klu4Form1 != number;
        });
    if (at < 0)
        return false;
    TAnketa card;
    m_archive.readRange(at, 1, &card);
    const qint64 kept = keepVersion(HistoryAction::DeleteArchived, card);
    try {
        // The scratch files stay out of Baza, whose files the backup packs.
        removeRecordByRewrite(m_archive, at, m_inst.path(QStringLiteral("Temp/ArhAnket.new")));
    } catch (...) {
        m_history.takeBack(kept);
        throw;
    }
    remember(RegisterFile::Archive);
    return true;
}

} // namespace zelm
