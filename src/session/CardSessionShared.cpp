// The session's commands when a server keeps the register: each change is one transaction on
// the server, named by the card's key and the version that was shown, so nothing another
// workstation stored meanwhile is overwritten unasked.
#include "session/CardSession.h"

#include "store/DayCount.h"

#include <algorithm>
#include <stdexcept>

namespace zelm {
namespace {

[[noreturn]] void refuse(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

} // namespace

QString changedElsewhereQuestion(const SharedCard& theirs) {
    const QString who =
        theirs.changedBy.isEmpty() ? QStringLiteral("другой пользователь") : theirs.changedBy;
    return QStringLiteral("Карточку изменил(а) %1 в %2. Записать поверх?")
        .arg(who, theirs.changedAt.toLocalTime().toString(QStringLiteral("hh:mm dd.MM.yyyy")));
}

void CardSession::showShared(const SharedCard& card, qint64 index) {
    m_current = card.card;
    m_shownId = card.id;
    m_shownVersion = card.version;
    m_changedElsewhere = false;
    m_shown = Shown::MainCard;
    m_shownIndex = index;
    showChanged();
}

bool CardSession::readShared(qint64 index) {
    const std::optional<SharedCard> card = m_shared->read(RegisterFile::Main, index);
    if (!card)
        return false;
    m_sharedPosition = index;
    showShared(*card, index);
    return true;
}

CardSession::SaveOutcome CardSession::saveShared(TAnketa card, std::optional<int> version) {
    if (m_mode == Mode::New) {
        card.DaWrSozd = nowDayCount();
        // The server keeps the card's number unless another card has it.
        const SharedCard stored = m_shared->append(card);
        const qint64 at = m_shared->indexOfId(RegisterFile::Main, stored.id);
        m_mode = Mode::Korr;
        m_sharedPosition = std::max<qint64>(at, 0);
        showShared(stored, at);
        m_edited = stored.card;
        emit mainCardInserted(at);
        emit cardStored();
        emit countersChanged();
        return SaveOutcome::Appended;
    }
    if (m_shown != Shown::MainCard || m_shownId == 0)
        return SaveOutcome::Nothing;
    const SharedCards::SaveResult r =
        m_shared->save(m_shownId, card, version.value_or(m_shownVersion));
    using Status = SharedCards::SaveResult::Status;
    if (r.status == Status::Conflict) {
        m_theirs = r.card;
        return SaveOutcome::Conflict;
    }
    if (r.status != Status::Saved) {
        m_theirs = r.card;
        return SaveOutcome::Gone;
    }
    // The card shown keeps its place unless the order was read again meanwhile.
    const qint64 at = m_shared->indexOfId(RegisterFile::Main, r.card.id);
    m_current = r.card.card;
    m_edited = r.card.card;
    m_shownVersion = r.card.version;
    m_changedElsewhere = false;
    if (at >= 0) {
        m_shownIndex = at;
        m_sharedPosition = at;
        emit mainCardWritten(at);
    }
    emit cardStored();
    emit countersChanged();
    return SaveOutcome::Overwritten;
}

CardSession::SaveOutcome CardSession::saveOver() {
    if (!m_shared || m_theirs.id != m_shownId || m_mode != Mode::Korr)
        return SaveOutcome::Nothing;
    TAnketa card = m_edited;
    card.DWKorr = nowDayCount();
    card.AdminFIO.set(m_user.UserFIO);
    return saveShared(card, m_theirs.version);
}

void CardSession::showTheirs() {
    if (!m_shared || m_theirs.id == 0 || m_theirs.id != m_shownId)
        return;
    showShared(m_theirs, m_shared->indexOfId(RegisterFile::Main, m_theirs.id));
}

void CardSession::deleteShared(DeletionKind kind) {
    const qint64 n = m_shownIndex;
    const bool done =
        kind == DeletionKind::ForGood ? m_shared->remove(m_shownId) : m_shared->archive(m_shownId);
    if (!done)
        refuse(QStringLiteral("Карточку уже удалили на другом рабочем месте."));
    emit mainCardRemoved(n);
    if (kind == DeletionKind::IntoArchive)
        emit sideFileChanged(SideFile::Archive, m_shared->count(RegisterFile::Archive));
    showLastCardOrBlank();
}

bool CardSession::toggleSharedMark() {
    if (m_shown != Shown::MainCard || m_shownId == 0)
        return false;
    // The stored card is read afresh: edits pending in the window are not written with it.
    const std::optional<SharedCard> stored = m_shared->readId(m_shownId);
    if (!stored)
        refuse(QStringLiteral("Карточку уже удалили на другом рабочем месте."));
    TAnketa card = stored->card;
    if (card.Otmetka.size() > 0)
        card.Otmetka.clear();
    else
        card.Otmetka.set(QStringLiteral("уд"));
    const SharedCards::SaveResult r = m_shared->save(m_shownId, card, stored->version);
    if (r.status != SharedCards::SaveResult::Status::Saved)
        refuse(QStringLiteral("Карточку только что изменили на другом рабочем месте. "
                              "Повторите команду."));
    m_current = r.card.card;
    m_edited = r.card.card;
    m_shownVersion = r.card.version;
    if (m_shownIndex >= 0)
        emit mainCardWritten(m_shownIndex);
    emit cardStored();
    return true;
}

void CardSession::sharedCardsChanged(const std::vector<qint64>& ids) {
    if (!m_shared)
        return;
    m_shared->reload();
    // The card shown keeps its place in the new order; the position follows it.
    if (m_shown == Shown::MainCard && m_shownId != 0) {
        const qint64 at = m_shared->indexOfId(RegisterFile::Main, m_shownId);
        m_shownIndex = at;
        if (at >= 0)
            m_sharedPosition = at;
        if (ids.empty() || at < 0 || std::find(ids.begin(), ids.end(), m_shownId) != ids.end()) {
            m_changedElsewhere = true;
            emit shownCardChangedElsewhere();
        }
    }
    m_sharedPosition =
        std::min(m_sharedPosition, std::max<qint64>(m_shared->count(RegisterFile::Main) - 1, 0));
    emit registerReloaded();
    emit sideFileChanged(SideFile::Archive, m_shared->count(RegisterFile::Archive));
    emit countersChanged();
}

} // namespace zelm
