// Storing the card of the window, and following what others store. A save names the card as
// it was read, so nothing another workstation or another program stored meanwhile is written
// over unasked, and no other card is ever hit.
#include "session/CardSession.h"

#include "store/DayCount.h"

#include <algorithm>

namespace zelm {

QString changedElsewhereQuestion(const StoredCard& theirs) {
    const QString who =
        theirs.changedBy.isEmpty() ? QStringLiteral("другой пользователь") : theirs.changedBy;
    return QStringLiteral("Карточку изменил(а) %1 в %2. Записать поверх?")
        .arg(who, theirs.changedAt.toLocalTime().toString(QStringLiteral("hh:mm dd.MM.yyyy")));
}

QString CardSession::cardGoneMessage() const {
    return m_register->cardGoneText() +
           QStringLiteral(" Правка не записана и осталась в окне: её можно записать новой "
                          "карточкой кнопкой «Копия».");
}

CardSession::SaveOutcome CardSession::save() {
    if (m_mode == Mode::Korr && m_shown == Shown::ArchivedCard)
        return SaveOutcome::Refused;
    TAnketa card = m_edited;
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    if (m_mode == Mode::New) {
        card.DaWrSozd = nowDayCount();
        return storeNew(card, m_recalling);
    }
    if (m_shown != Shown::MainCard)
        return SaveOutcome::Nothing;
    return storeOver(m_shownCard, card);
}

CardSession::SaveOutcome CardSession::storeNew(const TAnketa& card, bool recalled) {
    // A card shown from the register while a new one was open still carries its own number;
    // the register gives the new card another when that one is taken.
    // The key, made when the card began, makes a save repeated after its reply was lost find
    // the card stored by the first instead of storing it again.
    if (m_newCardKey.isNull())
        m_newCardKey = QUuid::createUuid();
    const StoredCard stored =
        recalled ? m_register->recall(card) : m_register->appendOnce(card, m_newCardKey);
    m_newCardKey = QUuid();
    m_mode = Mode::Korr;
    m_recalling = false;
    holdStored(stored);
    emit mainCardInserted(stored.place);
    emit cardStored();
    emit countersChanged();
    return SaveOutcome::Appended;
}

CardSession::SaveOutcome CardSession::restoreVersion(const TAnketa& version) {
    TAnketa card = version;
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    const bool shownIsIt = m_mode == Mode::Korr && m_shown == Shown::MainCard &&
                           m_shownCard.card.Klu4Form1 == version.Klu4Form1;
    if (!shownIsIt) {
        const qint64 at = m_register->indexOfNumber(version.Klu4Form1);
        if (at < 0) {
            const SaveOutcome out = storeNew(card, true);
            emit cardShown();
            return out;
        }
        m_mode = Mode::Korr;
        m_cardIndex = static_cast<int>(at);
        showMainCard(at);
        if (m_shown != Shown::MainCard)
            return SaveOutcome::Gone;
    }
    m_edited = card;
    return storeOver(m_shownCard, card);
}

CardSession::SaveOutcome CardSession::storeOver(const StoredCard& asRead, const TAnketa& card) {
    const Register::SaveResult r = m_register->save(asRead, card);
    using Status = Register::SaveResult::Status;
    if (r.status != Status::Saved) {
        m_theirs = r.card;
        m_theirsPending = r.status == Status::Conflict;
        return r.status == Status::Conflict ? SaveOutcome::Conflict : SaveOutcome::Gone;
    }
    // The card shown keeps its place unless the order was read again meanwhile.
    holdStored(r.card);
    if (r.card.place >= 0)
        emit mainCardWritten(r.card.place);
    emit cardStored();
    emit countersChanged();
    return SaveOutcome::Overwritten;
}

CardSession::SaveOutcome CardSession::saveOver() {
    if (!m_theirsPending || m_mode != Mode::Korr || m_shown != Shown::MainCard)
        return SaveOutcome::Nothing;
    TAnketa card = m_edited;
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    return storeOver(m_theirs, card);
}

void CardSession::showTheirs() {
    if (!m_theirsPending || m_shown != Shown::MainCard)
        return;
    showStored(m_theirs);
}

void CardSession::cardsChangedElsewhere(const std::vector<qint64>& ids) {
    // Row by row where the register can follow the changes; else the whole order anew.
    std::optional<std::vector<OrderStep>> steps;
    if (!ids.empty())
        steps = m_register->follow(ids);
    if (!steps)
        m_register->reload();
    const qint64 count = mainCount();
    // The card shown keeps its place in the new order; the position follows it.
    if (m_shown == Shown::MainCard) {
        const qint64 at = m_register->placeOf(m_shownCard);
        m_shownCard.place = at;
        if (at >= 0)
            m_position = at;
        if (ids.empty() || at < 0 ||
            std::find(ids.begin(), ids.end(), m_shownCard.key) != ids.end()) {
            m_changedElsewhere = true;
            emit shownCardChangedElsewhere();
        }
    }
    m_position = std::min(m_position, std::max<qint64>(count - 1, 0));
    if (!steps) {
        emit registerReloaded();
    } else {
        for (const OrderStep& step : *steps) {
            if (step.file == RegisterFile::Archive) {
                if (step.kind == OrderStep::Kind::Removed)
                    emit sideCardRemoved(SideFile::Archive, step.place);
            } else if (step.kind == OrderStep::Kind::Inserted) {
                emit mainCardInserted(step.place);
            } else if (step.kind == OrderStep::Kind::Written) {
                emit mainCardWritten(step.place);
            } else {
                emit mainCardRemoved(step.place);
            }
        }
    }
    emit sideFileChanged(SideFile::Archive, m_register->count(RegisterFile::Archive));
    emit countersChanged();
}

} // namespace zelm
