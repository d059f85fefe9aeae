#pragma once
// Baza/History.dat, the history of the data folder's cards. The old program never opens it.
//
// Fixed records of 1869 bytes, appended one at a time and never written over; little-endian,
// no padding:
//   offset  size  content
//        0     4  "ZHv1"
//        4     4  what was done (HistoryAction, int32)
//        8     8  when, milliseconds since 1970-01-01 00:00 UTC (int64)
//       16     4  the card's unique number (int32)
//       20   101  who did it: a length byte and 100 bytes of Windows-1251
//      121  1744  the card (TAnketa) as it was before; a recall's as it was recalled
//     1865     4  FNV-1a (32 bits) of bytes 0..1864
// A record cut short or whose mark or check fails (a write a crash or a power cut interrupted)
// is never read; at the end of the file it is cut off when the file is opened, and the next
// append writes over it. Versions older than the days the settings keep are dropped when the
// file is opened, by rewriting it whole through a scratch file (ScratchFiles.h).
#include "store/CardFile.h"
#include "store/CardHistory.h"

#include <functional>
#include <vector>

namespace zelm {

#pragma pack(push, 1)
struct THistory {
    char mark[4];
    std::int32_t action;
    std::int64_t whenMs;
    std::int32_t uniq;
    PStr<100> who;
    TAnketa card;
    std::uint32_t check;
};
#pragma pack(pop)
static_assert(sizeof(THistory) == 1869);

// A record filled in and sealed with its mark and check.
THistory historyRecord(const CardVersion& version);
// Whether a record read back is whole: its mark, action and check hold.
bool isWholeHistoryRecord(const THistory& record);
CardVersion versionOf(const THistory& record);

class HistoryFile {
public:
    explicit HistoryFile(QString path);

    // Opens the file when there is one: a torn tail is cut off and versions older than
    // `keepDays` (none when 0) dropped. Without a file nothing is made until the first append.
    void open(int keepDays);
    void close();
    const QString& path() const { return m_path; }

    // Writes one version at the end and flushes it; the file and its folder entry are made at
    // the first. A failed append leaves the file as it was. Returns how many versions the file
    // held before, for takeBack().
    qint64 append(const CardVersion& version);
    // The change a version was kept for failed: the file is cut back to `count` versions, as far
    // as the disk allows; never throws.
    void takeBack(qint64 count) noexcept;
    // Every whole version kept for `uniq`, newest first.
    std::vector<CardVersion> versionsOf(std::int32_t uniq);
    // Every whole version, oldest first (a move to a server).
    void scan(const std::function<void(const CardVersion&)>& each);

private:
    void follow();

    QString m_path;
    CardFile m_file;
};

// Leaves out of `newestFirst` (versionsOf's order) each save that changed nothing: one whose card
// is the card that followed it, the next newer version's or, for the newest, `now` (the card in
// the register; none when it is not there). A power cut between a version's flush and the write
// of the card it was kept for leaves such a record; what it holds is listed all the same.
void dropUnchangedSaves(std::vector<CardVersion>& newestFirst, const TAnketa* now);

// Writes `versions` (oldest first) as the whole history file at `path`, replacing it in one step.
void writeHistoryFile(const QString& path, const std::vector<CardVersion>& versions);

} // namespace zelm
