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
    appendFlushed(m_files.working, &card);
    emit sideFileChanged(SideFile::Working, m_files.working.count());
}

qint64 CardSession::appendMatchesToWorking(const std::function<bool(const TAnketa&)>& matches,
                                           const CardFilter* prefilter) {
    CardFile& working = m_files.working;
    qint64 appended = 0;
    try {
        if (m_shared && prefilter) {
            std::vector<TAnketa> found;
            for (const TAnketa& card : m_shared->candidates(RegisterFile::Main, *prefilter))
                if (matches(card))
                    found.push_back(card);
            if (!found.empty())
                working.appendMany(found.data(), static_cast<qint64>(found.size()));
            appended = static_cast<qint64>(found.size());
        } else {
            appended = appendMatching<TAnketa>(registerCards(RegisterFile::Main), matches, working);
        }
        working.flush();
    } catch (...) {
        emit sideFileChanged(SideFile::Working, working.count());
        throw;
    }
    emit sideFileChanged(SideFile::Working, working.count());
    return appended;
}

void CardSession::emptyWorking() {
    CardFile& working = m_files.working;
    working.seek(0);
    working.truncate();
    emit sideFileChanged(SideFile::Working, 0);
}

CardFile& CardSession::sideFile(SideFile which) {
    return which == SideFile::Archive ? m_files.archive : m_files.working;
}

const CardFile& CardSession::sideFile(SideFile which) const {
    return which == SideFile::Archive ? m_files.archive : m_files.working;
}

QString CardSession::scratchPath(SideFile which) const {
    // The scratch files stay out of Baza, whose files the backup packs.
    return m_inst.path(which == SideFile::Archive ? QStringLiteral("Temp/ArhAnket.new")
                                                  : QStringLiteral("Temp/RabAnket.new"));
}

qint64 CardSession::cardCount(SideFile which) const {
    if (which == SideFile::Archive && m_shared)
        return m_shared->count(RegisterFile::Archive);
    const CardFile& f = sideFile(which);
    return f.isOpen() ? f.count() : 0;
}

TAnketa CardSession::cardAt(SideFile which, qint64 index) const {
    TAnketa card;
    if (which == SideFile::Archive && m_shared)
        registerCards(RegisterFile::Archive).readRange(index, 1, &card);
    else
        sideFile(which).readRange(index, 1, &card);
    return card;
}

qint64 CardSession::findCard(SideFile which, std::int32_t number, qint64 hint) const {
    const RecordSource& f = which == SideFile::Archive
                                ? registerCards(RegisterFile::Archive)
                                : static_cast<const RecordSource&>(m_files.working);
    if (hint >= 0 && hint < f.count() && cardAt(which, hint).Klu4Form1 == number)
        return hint;
    return scanForward<TAnketa>(
        f, 0, [number](qint64, const TAnketa& card) { return card.Klu4Form1 != number; });
}

void CardSession::removeCard(SideFile which, qint64 index) {
    if (which == SideFile::Archive && m_shared) {
        // The card is named by its key: a place gone stale never takes out another card.
        const qint64 id = m_shared->idAt(RegisterFile::Archive, index);
        if (id != 0)
            m_shared->removeArchived(id);
        emit sideFileChanged(which, m_shared->count(RegisterFile::Archive));
        return;
    }
    CardFile& f = sideFile(which);
    removeRecordByRewrite(f, index, scratchPath(which));
    emit sideFileChanged(which, f.count());
}

} // namespace zelm
