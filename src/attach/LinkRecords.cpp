#include "attach/LinkRecords.h"

#include "attach/LinkPath.h"
#include "store/CardFile.h"
#include "store/RecordScan.h"
#include "store/Records.h"

#include <algorithm>

namespace zelm {
template <class F> void LinkRecords::forEach(F f) const {
    scanForward<TSpisFil>(m_list, 0, [&](qint64 index, const TSpisFil& r) {
        f(index, r);
        return true;
    });
}

std::vector<StoredLink> LinkRecords::linksOf(std::int32_t card) const {
    std::vector<StoredLink> out;
    if (card == 0)
        return out;
    forEach([&](qint64 index, const TSpisFil& r) {
        if (r.Klu4DK == card)
            out.push_back({index, r.ImaDok.text(), r.PutFil.text(), r.SodFil.text()});
    });
    return out;
}

qint64 LinkRecords::lastFreeRecord() const {
    // Read from the end: the free record nearest it is usually found in the first block.
    return scanBackward<TSpisFil>(m_list, m_list.count() - 1,
                                  [](qint64, const TSpisFil& r) { return r.Klu4DK != 0; });
}

qint64 LinkRecords::firstLinkWithPath(std::int32_t card, const QString& path) const {
    qint64 found = -1;
    if (card == 0)
        return found;
    forEach([&](qint64 index, const TSpisFil& r) {
        if (found < 0 && r.Klu4DK == card && sameLinkPath(r.PutFil.text(), path))
            found = index;
    });
    return found;
}

void LinkRecords::writeAt(qint64 index, const TSpisFil& record) {
    m_list.seek(index);
    m_list.write(&record);
}

TSpisFil LinkRecords::record(std::int32_t card, const QString& title, const QString& path,
                             const QString& content) {
    TSpisFil r = TSpisFil::zeroed();
    r.Klu4DK = card;
    r.ImaDok.set(title);
    r.PutFil.set(path);
    r.SodFil.set(content);
    return r;
}

qint64 LinkRecords::add(std::int32_t card, const QString& title, const QString& path,
                        const QString& content) {
    const TSpisFil r = record(card, title, path, content);
    qint64 at = lastFreeRecord();
    if (at < 0)
        at = m_list.count();
    writeAt(at, r);
    m_list.flush();
    return at;
}

int LinkRecords::remove(std::int32_t card, const QString& path) {
    std::vector<qint64> doomed;
    if (card != 0)
        forEach([&](qint64 index, const TSpisFil& r) {
            if (r.Klu4DK == card && sameLinkPath(r.PutFil.text(), path))
                doomed.push_back(index);
        });
    const TSpisFil blank = TSpisFil::zeroed();
    for (qint64 index : doomed)
        writeAt(index, blank);
    if (!doomed.empty())
        m_list.flush();
    return static_cast<int>(doomed.size());
}

void LinkRecords::changePath(qint64 index, const QString& path) {
    TSpisFil r;
    m_list.readRange(index, 1, &r);
    r.PutFil.set(path);
    writeAt(index, r);
    m_list.flush();
}

} // namespace zelm
