#include "store/AttachmentIndex.h"

#include "store/CardFile.h"
#include "store/Records.h"

#include <QFileInfo>
#include <vector>

namespace zelm {

bool AttachmentIndex::stale(const CardFile& list) const {
    if (!m_valid || m_path != list.path())
        return true;
    QFileInfo info(list.path());
    return info.size() != m_size || info.lastModified() != m_modified;
}

void AttachmentIndex::rebuild(CardFile& list) {
    m_counts.clear();
    QFileInfo info(list.path());
    m_size = info.size();
    m_modified = info.lastModified();
    m_path = list.path();
    const qint64 total = list.count();
    constexpr qint64 kChunk = 4096;
    std::vector<TSpisFil> chunk(kChunk);
    for (qint64 first = 0; first < total; first += kChunk) {
        qint64 n = std::min(kChunk, total - first);
        list.readRange(first, n, chunk.data());
        for (qint64 i = 0; i < n; ++i)
            ++m_counts[chunk[static_cast<size_t>(i)].Klu4DK];
    }
    m_valid = true;
}

int AttachmentIndex::CountAttachments(CardFile& list, std::int32_t cardNumber) {
    if (stale(list))
        rebuild(list);
    return m_counts.value(cardNumber, 0);
}

} // namespace zelm
