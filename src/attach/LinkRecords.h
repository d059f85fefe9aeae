#pragma once
// The records of the attached-file list that tie files to cards. A link belongs to a card only
// through its Klu4DK; a removed link becomes a free record (Klu4DK 0) that a later link reuses.
// Every change is stored before it returns; failures raise FileError.
#include <QString>
#include <cstdint>
#include <vector>

namespace zelm {

class AttachmentRecords;
struct TSpisFil;

struct StoredLink {
    qint64 index; // record number in the list
    QString ImaDok, PutFil, SodFil;
};

class LinkRecords {
public:
    explicit LinkRecords(AttachmentRecords& list) : m_list(list) {}

    // One link as a record stores it; texts longer than their fields are cut.
    static TSpisFil record(std::int32_t card, const QString& title, const QString& path,
                           const QString& content);

    // The card's links in list order. Number 0 marks free records and owns no links.
    std::vector<StoredLink> linksOf(std::int32_t card) const;
    // The first record of the card whose path equals `path`, -1 when there is none.
    qint64 firstLinkWithPath(std::int32_t card, const QString& path) const;

    // Stores a link in a free record, else after the last; returns its record. Texts longer
    // than their fields are cut.
    qint64 add(std::int32_t card, const QString& title, const QString& path,
               const QString& content);
    // Blanks every record of the card whose path equals `path`; returns how many.
    int remove(std::int32_t card, const QString& path);
    // Gives the card's record at `index` a new path, its other fields unchanged.
    void changePath(std::int32_t card, qint64 index, const QString& path);

private:
    AttachmentRecords& m_list;
};

} // namespace zelm
