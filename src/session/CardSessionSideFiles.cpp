// The Working card file and the Archive as lists of cards that commands add to and take from.
#include "session/CardSession.h"

#include "store/RecordFileRewrite.h"
#include "store/RecordScan.h"

#include <cstring>

namespace zelm {

bool CardSession::appendShownToWorking() {
    // An empty register at start has no card to add: the record was never read.
    static const TAnketa zero = TAnketa::zeroed();
    if (std::memcmp(&m_current, &zero, sizeof zero) == 0)
        return false;
    appendToWorking(m_current);
    return true;
}

void CardSession::appendToWorking(const TAnketa& card) {
    appendFlushed(m_working, &card);
    emit sideFileChanged(SideFile::Working, m_working.count());
}

qint64 CardSession::appendMatchesToWorking(const std::function<bool(const TAnketa&)>& matches,
                                           const CardFilter* prefilter) {
    qint64 appended = 0;
    try {
        appended = m_register->appendMatches(RegisterFile::Main, matches, prefilter, m_working);
        m_working.flush();
    } catch (...) {
        emit sideFileChanged(SideFile::Working, workingCount());
        throw;
    }
    emit sideFileChanged(SideFile::Working, m_working.count());
    return appended;
}

void CardSession::emptyWorking() {
    m_working.seek(0);
    m_working.truncate();
    emit sideFileChanged(SideFile::Working, 0);
}

qint64 CardSession::cardCount(SideFile which) const {
    return which == SideFile::Archive ? m_register->count(RegisterFile::Archive) : workingCount();
}

TAnketa CardSession::cardAt(SideFile which, qint64 index) const {
    TAnketa card;
    if (which == SideFile::Archive)
        registerCards(RegisterFile::Archive).readRange(index, 1, &card);
    else
        m_working.readRange(index, 1, &card);
    return card;
}

qint64 CardSession::findCard(SideFile which, std::int32_t number, qint64 hint) const {
    const RecordSource& f = which == SideFile::Archive
                                ? registerCards(RegisterFile::Archive)
                                : static_cast<const RecordSource&>(m_working);
    if (hint >= 0 && hint < f.count() && cardAt(which, hint).Klu4Form1 == number)
        return hint;
    return scanForward<TAnketa>(
        f, 0, [number](qint64, const TAnketa& card) { return card.Klu4Form1 != number; });
}

bool CardSession::removeCard(SideFile which, qint64 index) {
    if (which == SideFile::Archive) {
        // The card is named by its number: a place gone stale never takes out another card.
        const bool removed = m_register->removeArchived(cardAt(which, index).Klu4Form1, index);
        emit sideFileChanged(which, m_register->count(RegisterFile::Archive));
        return removed;
    }
    // The scratch file stays out of Baza, whose files the backup packs.
    removeRecordByRewrite(m_working, index, m_inst.path(QStringLiteral("Temp/RabAnket.new")));
    emit sideCardRemoved(which, index);
    emit sideFileChanged(which, m_working.count());
    return true;
}

} // namespace zelm
