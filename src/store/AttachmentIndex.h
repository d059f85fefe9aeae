#pragma once
// Counts of attached files per card. The list is read once into memory and read again only
// when the file on disk has changed, so showing a card does not scan the whole list.
#include <QDateTime>
#include <QHash>
#include <QString>
#include <cstdint>

namespace zelm {

class CardFile;

class AttachmentIndex {
public:
    // Number of TSpisFil records of the open list whose Klu4DK is `cardNumber`.
    int CountAttachments(CardFile& list, std::int32_t cardNumber);
    void invalidate() { m_valid = false; }

private:
    void rebuild(CardFile& list);
    bool stale(const CardFile& list) const;

    QHash<std::int32_t, int> m_counts;
    bool m_valid = false;
    qint64 m_size = -1;
    QDateTime m_modified;
    QString m_path;
};

} // namespace zelm
