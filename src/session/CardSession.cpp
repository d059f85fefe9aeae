#include "session/CardSession.h"

#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/RecordFileRewrite.h"
#include "store/RecordScan.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zelm {
namespace {

void openOrCreate(CardFile& file, const QString& path, int recordSize) {
    if (QFileInfo::exists(path))
        file.open(path, recordSize);
    else
        file.create(path, recordSize);
}

// Waits for the index of unique numbers, showing how far it got; false when it could not read
// the register.
bool waitForIndex(const UniqueNumberIndex& index, const std::function<void(int)>& whileWaiting) {
    bool waited = false;
    const bool built = index.waitUntilReady([&](int percent) {
        waited = true;
        if (whileWaiting)
            whileWaiting(percent);
    });
    if (waited && whileWaiting)
        whileWaiting(0);
    return built;
}

} // namespace

CardSession::CardSession(const Installation& inst, const CurrentUser& user, QObject* parent)
    : QObject(parent), m_inst(inst), m_user(user) {}

void CardSession::showChanged() {
    m_edited = m_current;
    emit cardShown();
    emit countersChanged();
}

void CardSession::useSharedCards(std::unique_ptr<SharedCards> shared) {
    m_shared = std::move(shared);
}

const RecordSource& CardSession::registerCards(RegisterFile file) const {
    if (m_shared)
        return m_shared->cards(file);
    return file == RegisterFile::Main ? m_files.main : m_files.archive;
}

qint64 CardSession::mainCount() const {
    if (m_shared)
        return m_shared->count(RegisterFile::Main);
    return m_files.main.isOpen() ? m_files.main.count() : 0;
}

qint64 CardSession::mainPosition() const {
    return m_shared ? m_sharedPosition : m_files.main.position();
}

void CardSession::seekMain(qint64 index) {
    if (m_shared)
        m_sharedPosition = std::max<qint64>(index, 0);
    else
        m_files.main.seek(index);
}

void CardSession::rebuildNumberIndex() {
    if (m_files.main.isOpen())
        m_numbers.build(m_files.main.path(), sizeof(TAnketa));
}

qint64 CardSession::indexOfNumber(std::int32_t number) const {
    if (m_shared)
        return m_shared->indexOfNumber(number);
    const bool built = waitForIndex(m_numbers, m_indexWait);
    if (built)
        return m_numbers.firstPositionOf(number);
    // The index could not read the register: it is read here, and a failure reported.
    qint64 found = -1;
    scanForward<TAnketa>(m_files.main, 0, [&](qint64 at, const TAnketa& card) {
        if (card.Klu4Form1 != number)
            return true;
        found = at;
        return false;
    });
    return found;
}

TAnketa CardSession::cardToPrint() const {
    if (m_mode != Mode::New)
        return m_current;
    TAnketa card = m_edited;
    card.DaWrSozd = uniqueNumberDayCount(card.Klu4Form1);
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    return card;
}

QString CardSession::CardMode() const {
    return m_mode == Mode::New ? QStringLiteral("New") : QStringLiteral("Korr");
}

int CardSession::CardTotal() const {
    return static_cast<int>(mainCount());
}

int CardSession::CardNo() const {
    return static_cast<int>(mainPosition()) + 1;
}

bool CardSession::openFiles() {
    m_files.working.create(m_inst.workingCardFile(), sizeof(TAnketa));
    m_mode = Mode::Korr;
    // On a server the data folder's register files are not held open: an export from the
    // server may replace them at any time.
    if (m_shared) {
        m_shared->reload();
        emit sideFileChanged(SideFile::Archive, m_shared->count(RegisterFile::Archive));
        emit sideFileChanged(SideFile::Working, 0);
        const qint64 count = m_shared->count(RegisterFile::Main);
        if (count > 0) {
            m_sharedPosition = count - 1;
            Scatter();
            if (m_shown == Shown::MainCard)
                return true;
        }
        startOnBlankCard();
        return false;
    }
    openOrCreate(m_files.attachments, m_inst.attachmentList(), sizeof(TSpisFil));
    openOrCreate(m_files.archive, m_inst.archiveCardFile(), sizeof(TAnketa));
    openOrCreate(m_files.main, m_inst.mainCardFile(), sizeof(TAnketa));
    rebuildNumberIndex();
    emit sideFileChanged(SideFile::Archive, m_files.archive.count());
    emit sideFileChanged(SideFile::Working, 0);
    if (m_files.main.count() > 0) {
        m_files.main.seek(m_files.main.count() - 1);
        Scatter();
        return true;
    }
    m_mode = Mode::New;
    m_shown = Shown::Blank;
    emit countersChanged();
    return false;
}

void CardSession::Scatter() {
    if (m_shared) {
        const qint64 count = m_shared->count(RegisterFile::Main);
        qint64 p = std::clamp<qint64>(m_sharedPosition, 0, std::max<qint64>(count - 1, 0));
        // Another workstation may have taken the card out since the order was read: the order
        // is read again and the card now at that place shown.
        if (!readShared(p)) {
            m_shared->reload();
            emit registerReloaded();
            p = std::clamp<qint64>(p, 0,
                                   std::max<qint64>(m_shared->count(RegisterFile::Main) - 1, 0));
            if (!readShared(p))
                startOnBlankCard();
        }
        return;
    }
    CardFile& f = m_files.main;
    qint64 p = f.position();
    if (f.atEnd()) {
        p = f.count() - 1;
        f.seek(std::max<qint64>(p, 0));
    }
    if (p < 0)
        p = 0;
    f.read(&m_current);
    f.seek(p);
    m_shown = Shown::MainCard;
    m_shownIndex = p;
    showChanged();
}

void CardSession::showMainCard(qint64 index) {
    seekMain(index);
    Scatter();
}

void CardSession::showFoundCard(qint64 index, const TAnketa& card) {
    if (m_shared) {
        // The card read afresh carries the version a save must know.
        showMainCard(index);
        return;
    }
    m_current = card;
    m_shown = Shown::MainCard;
    m_shownIndex = index;
    m_files.main.seek(index);
    showChanged();
}

void CardSession::showArchivedCard(const TAnketa& card) {
    m_current = card;
    m_shownId = 0;
    m_changedElsewhere = false;
    m_shown = Shown::ArchivedCard;
    m_shownIndex = -1;
    showChanged();
}

std::optional<qint64> CardSession::stepFirst() {
    if (mainCount() <= 0)
        return std::nullopt;
    m_cardIndex = 0;
    showMainCard(0);
    return 0;
}

std::optional<qint64> CardSession::stepLast() {
    const qint64 count = mainCount();
    if (count < 2)
        return std::nullopt;
    m_cardIndex = static_cast<int>(count - 1);
    showMainCard(count - 1);
    return count - 1;
}

std::optional<qint64> CardSession::stepPrevious() {
    const qint64 count = mainCount();
    if (count <= 0)
        return std::nullopt;
    const qint64 p = mainPosition();
    // At the end of the file the card shown is the last one.
    const qint64 target = p >= count ? count - 1 : std::max<qint64>(p - 1, 0);
    m_cardIndex = static_cast<int>(target);
    showMainCard(target);
    return target;
}

std::optional<qint64> CardSession::stepNext() {
    const qint64 count = mainCount();
    const qint64 p = mainPosition();
    if (count < 2 || p > count - 2)
        return std::nullopt;
    m_cardIndex = static_cast<int>(p + 1);
    showMainCard(p + 1);
    return p + 1;
}

bool CardSession::readLastCard() {
    if (m_shared) {
        const qint64 count = m_shared->count(RegisterFile::Main);
        if (count <= 0)
            return false;
        if (const std::optional<SharedCard> last = m_shared->read(RegisterFile::Main, count - 1))
            m_current = last->card;
        return true;
    }
    CardFile& f = m_files.main;
    const qint64 count = f.count();
    if (count <= 0)
        return false;
    f.seek(count - 1);
    f.read(&m_current);
    return true;
}

std::int32_t CardSession::beginNewCard(bool& registerEmpty) {
    m_mode = Mode::New;
    m_shown = Shown::Blank;
    m_shownIndex = -1;
    registerEmpty = !readLastCard();
    m_edited = m_current;
    return registerEmpty ? 1 : m_current.GurN + 1;
}

std::optional<std::int32_t> CardSession::beginCopy() {
    m_mode = Mode::New;
    m_shown = Shown::Blank;
    m_shownIndex = -1;
    if (!readLastCard())
        return std::nullopt;
    m_edited = m_current;
    return m_current.GurN + 1;
}

bool CardSession::cancelNewCard() {
    m_mode = Mode::Korr;
    const qint64 count = mainCount();
    if (count <= 0)
        return false;
    if (m_cardIndex >= 0 && m_cardIndex < count)
        seekMain(m_cardIndex);
    Scatter();
    return true;
}

void CardSession::startOnBlankCard() {
    m_mode = Mode::New;
    m_current = TAnketa::zeroed();
    m_edited = m_current;
    m_shown = Shown::Blank;
    m_shownIndex = -1;
    m_shownId = 0;
    m_changedElsewhere = false;
    emit countersChanged();
}

CardSession::SaveOutcome CardSession::save() {
    CardFile& f = m_files.main;
    if (m_mode == Mode::Korr && m_shown == Shown::ArchivedCard)
        return SaveOutcome::Refused;
    TAnketa card = m_edited;
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    if (m_shared)
        return saveShared(card, std::nullopt);
    qint64 p = 0;
    SaveOutcome outcome = SaveOutcome::Appended;
    if (m_mode == Mode::New) {
        card.DaWrSozd = nowDayCount();
        // A card shown from the register while a new one was open still carries its own
        // number; two cards must never share one.
        if (numberTaken(card.Klu4Form1))
            card.Klu4Form1 = NewUniqueNumber();
        p = appendFlushed(f, &card);
        m_mode = Mode::Korr;
        m_numbers.appended(card.Klu4Form1);
    } else {
        const qint64 count = f.count();
        if (count <= 0)
            return SaveOutcome::Nothing;
        if (m_shown == Shown::MainCard && m_shownIndex >= 0 && m_shownIndex < count)
            p = m_shownIndex;
        else
            p = std::min<qint64>(f.position(), count - 1);
        TAnketa before;
        f.readRange(p, 1, &before);
        f.seek(p);
        f.write(&card);
        f.flush();
        outcome = SaveOutcome::Overwritten;
        if (before.Klu4Form1 != card.Klu4Form1)
            m_numbers.changed(p, card.Klu4Form1);
    }
    m_current = card;
    m_edited = card;
    f.reopen();
    f.seek(p);
    m_shown = Shown::MainCard;
    m_shownIndex = p;
    if (outcome == SaveOutcome::Appended)
        emit mainCardInserted(p);
    else
        emit mainCardWritten(p);
    emit cardStored();
    emit countersChanged();
    return outcome;
}

qint64 CardSession::insertBlankCardAfter(qint64 anchor, std::int32_t runningNumber) {
    TAnketa card = TAnketa::zeroed();
    const double now = nowDayCount();
    card.GurN = runningNumber;
    card.Klu4Form1 = NewUniqueNumber();
    card.DataMer = card.DateKUSP = card.DataOsn = todayDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    card.DaWrSozd = now;
    card.DWKorr = now;
    if (m_shared) {
        const qint64 anchorId = m_shared->idAt(RegisterFile::Main, anchor);
        if (anchorId == 0)
            throw std::runtime_error(
                QStringLiteral("Карточки %1 уже нет в картотеке на сервере %2.")
                    .arg(anchor + 1)
                    .arg(m_shared->serverName())
                    .toStdString());
        const SharedCard stored = m_shared->insertAfter(anchorId, card);
        const qint64 at = m_shared->indexOfId(RegisterFile::Main, stored.id);
        m_mode = Mode::Korr;
        m_cardIndex = CardTotal() - 1;
        m_sharedPosition = at;
        showShared(stored, at);
        emit mainCardInserted(at);
        emit countersChanged();
        return at;
    }
    const qint64 at = anchor + 1;
    // The rewrite renames a new register over the one the index is being built from, which
    // would start the build again from the beginning: both would read the whole register at
    // once. The index is finished first and then follows the insertion in memory.
    waitForIndex(m_numbers, m_indexWait);
    insertCardIntoMainFile(m_files.main, m_files.working, m_inst.workingCardFile(), at, card);

    m_mode = Mode::Korr;
    m_cardIndex = CardTotal() - 1;
    m_current = card;
    m_edited = card;
    m_shown = Shown::MainCard;
    m_shownIndex = at;
    m_files.main.seek(at);
    m_numbers.inserted(at, card.Klu4Form1);
    emit mainCardInserted(at);
    // The Working card file served as scratch: it holds a copy of the new register.
    emit sideFileChanged(SideFile::Working, m_files.working.count());
    emit countersChanged();
    return at;
}

bool CardSession::canDeleteShownCard() const {
    if (m_shared)
        return m_shown == Shown::MainCard && m_shownId != 0;
    return m_shown == Shown::MainCard && m_shownIndex >= 0 && m_shownIndex < m_files.main.count();
}

void CardSession::deleteShownCard(DeletionKind kind) {
    if (!canDeleteShownCard())
        return;
    if (m_shared) {
        deleteShared(kind);
        return;
    }
    CardFile& main = m_files.main;
    CardFile& working = m_files.working;
    const qint64 n = m_shownIndex;
    const QString mainPath = m_inst.mainCardFile();
    const QString workingPath = m_inst.workingCardFile();
    auto workingCount = [&] { return working.isOpen() ? working.count() : 0; };
    auto emptyWorking = [&] {
        try {
            working.create(workingPath, sizeof(TAnketa));
        } catch (const FileError&) {
            // The command's own error is the one to report; the counter shows what is there.
        }
    };
    qint64 archivedAt = -1;
    try {
        working.create(workingPath, sizeof(TAnketa));
        copyRecordsExcept(main, n, working);
        working.flush();
        if (kind == DeletionKind::IntoArchive) {
            TAnketa card;
            main.readRange(n, 1, &card);
            // The card is on disk in the Archive before the register loses it.
            archivedAt = appendFlushed(m_files.archive, &card);
        }
        replaceFile(workingPath, mainPath);
    } catch (...) {
        if (archivedAt >= 0)
            cutBack(m_files.archive, archivedAt);
        emptyWorking();
        emit sideFileChanged(SideFile::Working, workingCount());
        throw;
    }
    // The Working card file's descriptor now reaches the new register and the Main card
    // file's the old one: the scratch file is made anew before anything writes to it, and
    // the register is reopened before anything reads it.
    emptyWorking();
    main.open(mainPath, sizeof(TAnketa));
    m_numbers.removed(n);
    emit sideFileChanged(SideFile::Working, workingCount());
    if (kind == DeletionKind::IntoArchive)
        emit sideFileChanged(SideFile::Archive, m_files.archive.count());
    emit mainCardRemoved(n);
    showLastCardOrBlank();
}

void CardSession::showLastCardOrBlank() {
    const qint64 count = mainCount();
    if (count > 0) {
        m_cardIndex = static_cast<int>(count - 1);
        showMainCard(count - 1);
    } else {
        startOnBlankCard();
    }
}

bool CardSession::toggleMark() {
    if (m_shared)
        return toggleSharedMark();
    CardFile& main = m_files.main;
    const qint64 p = m_shownIndex;
    if (m_shown != Shown::MainCard || p < 0 || p >= main.count())
        return false;
    // The stored card is read afresh: edits pending in the window are not written with it.
    TAnketa card;
    main.readRange(p, 1, &card);
    if (card.Otmetka.size() > 0)
        card.Otmetka.clear();
    else
        card.Otmetka.set(QStringLiteral("уд"));
    const qint64 position = main.position();
    main.seek(p);
    main.write(&card);
    main.flush();
    main.seek(position);
    m_current = card;
    m_edited = card;
    emit mainCardWritten(p);
    emit cardStored();
    return true;
}

void CardSession::pasteRememberedCard() {
    // The pasted card is a new card with a number of its own: the documents and attached
    // files filed under the archived card's number are not its own.
    TAnketa card = m_remembered;
    card.Klu4Form1 = NewUniqueNumber();
    card.AdminFIO.set(m_user.UserFIO);
    m_current = card;
    m_shown = Shown::Blank;
    m_shownIndex = -1;
    m_shownId = 0;
    m_mode = Mode::New;
    showChanged();
}

} // namespace zelm
