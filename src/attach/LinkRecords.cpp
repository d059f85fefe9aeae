#include "attach/LinkRecords.h"

#include "attach/LinkPath.h"
#include "store/Records.h"
#include "store/SharedData.h"

namespace zelm {

TSpisFil LinkRecords::record(std::int32_t card, const QString& title, const QString& path,
                             const QString& content) {
    TSpisFil r = TSpisFil::zeroed();
    r.Klu4DK = card;
    r.ImaDok.set(title);
    r.PutFil.set(path);
    r.SodFil.set(content);
    return r;
}

std::vector<StoredLink> LinkRecords::linksOf(std::int32_t card) const {
    std::vector<StoredLink> out;
    if (card == 0)
        return out;
    for (const PlacedAttachment& a : m_list.attachmentsOf(card))
        out.push_back(
            {a.pos, a.record.ImaDok.text(), a.record.PutFil.text(), a.record.SodFil.text()});
    return out;
}

qint64 LinkRecords::firstLinkWithPath(std::int32_t card, const QString& path) const {
    if (card == 0)
        return -1;
    for (const PlacedAttachment& a : m_list.attachmentsOf(card))
        if (sameLinkPath(a.record.PutFil.text(), path))
            return a.pos;
    return -1;
}

qint64 LinkRecords::add(std::int32_t card, const QString& title, const QString& path,
                        const QString& content) {
    return m_list.addAttachment(record(card, title, path, content));
}

int LinkRecords::remove(std::int32_t card, const QString& path) {
    if (card == 0)
        return 0;
    int removed = 0;
    const TSpisFil blank = TSpisFil::zeroed();
    for (const PlacedAttachment& a : m_list.attachmentsOf(card)) {
        if (!sameLinkPath(a.record.PutFil.text(), path))
            continue;
        m_list.writeAttachment(a.pos, blank);
        ++removed;
    }
    return removed;
}

void LinkRecords::changePath(std::int32_t card, qint64 index, const QString& path) {
    for (PlacedAttachment& a : m_list.attachmentsOf(card)) {
        if (a.pos != index)
            continue;
        a.record.PutFil.set(path);
        m_list.writeAttachment(a.pos, a.record);
        return;
    }
}

} // namespace zelm
