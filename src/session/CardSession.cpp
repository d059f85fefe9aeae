#include "session/CardSession.h"

#include "store/DayCount.h"
#include "store/UniqueNumber.h"
#include "store/UnitGlo.h"

#include <algorithm>
#include <stdexcept>

namespace zelm {

CardSession::CardSession(const Installation& inst, const CurrentUser& user,
                         std::unique_ptr<Register> cardRegister, QObject* parent)
    : QObject(parent), m_inst(inst), m_user(user), m_register(std::move(cardRegister)) {}

CardSession::~CardSession() = default;

void CardSession::refuse(const QString& message) const {
    throw std::runtime_error(message.toStdString());
}

void CardSession::showChanged() {
    m_edited = m_current;
    m_theirsPending = false;
    emit cardShown();
    emit countersChanged();
}

void CardSession::closeFiles() {
    runEveryStep({[this] { m_register->close(); }, [this] { m_working.close(); }});
}

qint64 CardSession::mainCount() const {
    return m_register->count(RegisterFile::Main);
}

qint64 CardSession::mainPosition() const {
    return m_position;
}

void CardSession::seekMain(qint64 index) {
    m_position = std::clamp<qint64>(index, 0, std::max<qint64>(mainCount(), 0));
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
    // The register first: a Working card file that cannot be made still leaves the cards to
    // be seen.
    m_mode = Mode::Korr;
    m_register->open();
    m_working.create(m_inst.workingCardFile(), sizeof(TAnketa));
    emit sideFileChanged(SideFile::Archive, m_register->count(RegisterFile::Archive));
    emit sideFileChanged(SideFile::Working, 0);
    const qint64 count = mainCount();
    if (count > 0) {
        m_position = count - 1;
        Scatter();
        if (m_shown == Shown::MainCard)
            return true;
    }
    startOnBlankCard();
    return false;
}

void CardSession::holdStored(const StoredCard& card) {
    m_current = card.card;
    m_edited = card.card;
    m_shownCard = card;
    m_changedElsewhere = false;
    m_theirsPending = false;
    m_shown = Shown::MainCard;
    if (card.place >= 0)
        m_position = card.place;
}

void CardSession::showStored(const StoredCard& card) {
    holdStored(card);
    showChanged();
}

bool CardSession::readMain(qint64 index) {
    const std::optional<StoredCard> card = m_register->read(RegisterFile::Main, index);
    if (!card)
        return false;
    showStored(*card);
    return true;
}

void CardSession::Scatter() {
    auto lastPlace = [this] { return std::max<qint64>(mainCount() - 1, 0); };
    const qint64 p = std::clamp<qint64>(m_position, 0, lastPlace());
    if (readMain(p))
        return;
    // The register changed since its order was read (another workstation took the card out,
    // another program cut the file): the order is read again and the card now there shown.
    m_register->reload();
    emit registerReloaded();
    if (!readMain(std::clamp<qint64>(p, 0, lastPlace())))
        startOnBlankCard();
}

void CardSession::showMainCard(qint64 index) {
    seekMain(index);
    Scatter();
}

void CardSession::showFoundCard(qint64 index, const TAnketa& card) {
    // Read afresh: the card shown is what a save will find again. A search's pass may have
    // read the register as it was a moment ago, so the card is found by its number when its
    // place now holds another.
    std::optional<StoredCard> stored = m_register->read(RegisterFile::Main, index);
    if (!stored || stored->card.Klu4Form1 != card.Klu4Form1) {
        const qint64 at = m_register->indexOfNumber(card.Klu4Form1);
        stored = at >= 0 ? m_register->read(RegisterFile::Main, at) : std::nullopt;
    }
    if (stored)
        showStored(*stored);
    else
        showMainCard(index);
}

void CardSession::showArchivedCard(const TAnketa& card) {
    m_current = card;
    m_shownCard = StoredCard{};
    m_changedElsewhere = false;
    m_shown = Shown::ArchivedCard;
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
    const qint64 count = mainCount();
    if (count <= 0)
        return false;
    if (const std::optional<StoredCard> last = m_register->read(RegisterFile::Main, count - 1))
        m_current = last->card;
    return true;
}

void CardSession::enterNewMode() {
    m_mode = Mode::New;
    m_recalling = false;
    m_newCardKey = QUuid::createUuid();
}

std::int32_t CardSession::beginNewCard(bool& registerEmpty) {
    enterNewMode();
    m_shown = Shown::Blank;
    registerEmpty = !readLastCard();
    m_edited = m_current;
    return registerEmpty ? 1 : m_current.GurN + 1;
}

std::optional<std::int32_t> CardSession::beginCopy() {
    enterNewMode();
    m_shown = Shown::Blank;
    if (!readLastCard())
        return std::nullopt;
    m_edited = m_current;
    return m_current.GurN + 1;
}

bool CardSession::cancelNewCard() {
    m_mode = Mode::Korr;
    m_recalling = false;
    const qint64 count = mainCount();
    if (count <= 0)
        return false;
    if (m_cardIndex >= 0 && m_cardIndex < count)
        seekMain(m_cardIndex);
    Scatter();
    return true;
}

void CardSession::startOnBlankCard() {
    enterNewMode();
    m_current = TAnketa::zeroed();
    m_edited = m_current;
    m_shown = Shown::Blank;
    m_shownCard = StoredCard{};
    m_changedElsewhere = false;
    emit countersChanged();
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
    StoredCard stored;
    try {
        stored = m_register->insertAfter(anchor, card, scratch());
    } catch (...) {
        emit sideFileChanged(SideFile::Working, workingCount());
        throw;
    }
    m_mode = Mode::Korr;
    m_cardIndex = CardTotal() - 1;
    holdStored(stored);
    emit mainCardInserted(stored.place);
    emit sideFileChanged(SideFile::Working, workingCount());
    emit countersChanged();
    return stored.place;
}

bool CardSession::canDeleteShownCard() const {
    return m_shown == Shown::MainCard && m_shownCard.place >= 0;
}

void CardSession::deleteShownCard(DeletionKind kind) {
    if (!canDeleteShownCard())
        return;
    qint64 removedAt = -1;
    try {
        removedAt = m_register->remove(m_shownCard, kind, scratch());
    } catch (...) {
        emit sideFileChanged(SideFile::Working, workingCount());
        throw;
    }
    emit sideFileChanged(SideFile::Working, workingCount());
    if (removedAt < 0)
        refuse(m_register->cardGoneText());
    if (kind == DeletionKind::IntoArchive)
        emit sideFileChanged(SideFile::Archive, m_register->count(RegisterFile::Archive));
    emit mainCardRemoved(removedAt);
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
    if (m_shown != Shown::MainCard)
        return false;
    // The stored card is read afresh: edits pending in the window are not written with it.
    const std::optional<StoredCard> stored = m_register->reread(m_shownCard);
    if (!stored)
        refuse(m_register->cardGoneText());
    TAnketa card = stored->card;
    if (card.Otmetka.size() > 0)
        card.Otmetka.clear();
    else
        card.Otmetka.set(QStringLiteral("уд"));
    const Register::SaveResult r = m_register->save(*stored, card);
    if (r.status != Register::SaveResult::Status::Saved)
        refuse(QStringLiteral("Карточку только что изменили. Повторите команду."));
    holdStored(r.card);
    if (r.card.place >= 0)
        emit mainCardWritten(r.card.place);
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
    m_shownCard = StoredCard{};
    enterNewMode();
    showChanged();
    m_recalling = true;
}

} // namespace zelm
