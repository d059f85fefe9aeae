#pragma once
// Passes over a file of fixed records in blocks, so a register of a hundred thousand
// cards is read in a few hundred calls; none moves the file's position. The session's and the
// search's passes, the registers' finds and the attached-file list's go through these. Some
// passes read blocks of their own on purpose and stay outside: the copies of a whole-file
// rewrite (RecordFileRewrite, larger blocks written as they are read), the index of unique
// numbers (a descriptor of its own on its own thread, read again when the file changed under
// it), the statistics' count (cancellable between blocks, with progress), the report writers
// (a card's text at a time into the data file), the moves to and from a server (rows a batch
// at a time) and the attached-file index.
#include "store/CardFile.h"
#include "store/RecordSource.h"

#include <algorithm>
#include <vector>

namespace zelm {

// Under a megabyte of cards per read: a read costs little per card, and the block is still in the
// processor's cache when its cards are looked at (blocks of several megabytes are not, and a
// search then waits on memory for most cards it tests).
inline constexpr qint64 kScanBlockRecords = 512;

// Calls `visit(index, record)` for records `from`, `from` + 1, … up to the end, until it
// returns false; returns the index it stopped at, or -1 when it went through to the end.
template <class R, class Visit>
qint64 scanForward(const RecordSource& file, qint64 from, Visit&& visit) {
    const qint64 total = file.count();
    from = std::max<qint64>(from, 0);
    if (from >= total)
        return -1;
    std::vector<R> block(static_cast<size_t>(std::min(kScanBlockRecords, total - from)));
    for (qint64 first = from; first < total; first += kScanBlockRecords) {
        const qint64 n = std::min(kScanBlockRecords, total - first);
        file.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            if (!visit(first + i, static_cast<const R&>(block[static_cast<size_t>(i)])))
                return first + i;
    }
    return -1;
}

// The same from record `from` down to record 0.
template <class R, class Visit>
qint64 scanBackward(const RecordSource& file, qint64 from, Visit&& visit) {
    from = std::min(from, file.count() - 1);
    if (from < 0)
        return -1;
    std::vector<R> block(static_cast<size_t>(std::min(kScanBlockRecords, from + 1)));
    for (qint64 end = from + 1; end > 0;) {
        const qint64 n = std::min(kScanBlockRecords, end);
        const qint64 first = end - n;
        file.readRange(first, n, block.data());
        for (qint64 i = n - 1; i >= 0; --i)
            if (!visit(first + i, static_cast<const R&>(block[static_cast<size_t>(i)])))
                return first + i;
        end = first;
    }
    return -1;
}

// Appends to `target` every record of `source` that `match(record)` accepts, in order, and
// returns how many. The records found are written a block at a time, as they were read.
template <class R, class Match>
qint64 appendMatching(const RecordSource& source, Match&& match, CardFile& target) {
    std::vector<R> found;
    qint64 appended = 0;
    auto writeFound = [&] {
        if (!found.empty())
            target.appendMany(found.data(), static_cast<qint64>(found.size()));
        appended += static_cast<qint64>(found.size());
        found.clear();
    };
    scanForward<R>(source, 0, [&](qint64, const R& record) {
        if (match(record)) {
            found.push_back(record);
            if (static_cast<qint64>(found.size()) >= kScanBlockRecords)
                writeFound();
        }
        return true;
    });
    writeFound();
    return appended;
}

} // namespace zelm
