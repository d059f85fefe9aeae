#include "store/RecordFileRewrite.h"

#include "store/CardFile.h"
#include "store/ScratchFiles.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace zelm {

namespace {

void copyInto(const CardFile& from, qint64 first, qint64 n,
              std::initializer_list<CardFile*> destinations) {
    const qint64 size = from.recordSize();
    // About four megabytes per read and write: few system calls, modest memory.
    const qint64 perBlock = std::max<qint64>(1, (4 << 20) / size);
    std::vector<char> block(static_cast<size_t>(std::max<qint64>(std::min(n, perBlock), 0) * size));
    for (qint64 done = 0; done < n;) {
        const qint64 chunk = std::min(perBlock, n - done);
        from.readRange(first + done, chunk, block.data());
        for (CardFile* to : destinations)
            to->appendMany(block.data(), chunk);
        done += chunk;
    }
}

} // namespace

void copyRecords(const CardFile& from, qint64 first, qint64 n, CardFile& to) {
    copyInto(from, first, n, {&to});
}

void copyRecordsTwice(const CardFile& from, qint64 first, qint64 n, CardFile& to,
                      CardFile& alsoTo) {
    copyInto(from, first, n, {&to, &alsoTo});
}

void copyRecordsExcept(const CardFile& from, qint64 skip, CardFile& to) {
    const qint64 count = from.count();
    if (skip < 0 || skip >= count) {
        copyRecords(from, 0, count, to);
        return;
    }
    copyRecords(from, 0, skip, to);
    copyRecords(from, skip + 1, count - skip - 1, to);
}

void cutBack(CardFile& file, qint64 count) noexcept {
    try {
        file.seek(count);
        file.truncate();
        file.flush();
    } catch (...) {
        // The record then stays where it was written: nothing is lost.
    }
}

qint64 appendFlushed(CardFile& file, const void* record) {
    const qint64 at = file.count();
    file.seek(at);
    try {
        file.write(record);
        file.flush();
    } catch (...) {
        cutBack(file, at);
        throw;
    }
    return at;
}

void rewriteThroughScratch(CardFile& file, const QString& scratchPath,
                           const std::function<void(CardFile& scratch)>& fill) {
    const QString path = file.path();
    const int recordSize = file.recordSize();
    try {
        CardFile scratch;
        scratch.create(scratchPath, recordSize);
        fill(scratch);
        scratch.flush();
        scratch.close();
        replaceFile(scratchPath, path);
    } catch (...) {
        QFile::remove(scratchPath);
        throw;
    }
    file.open(path, recordSize);
}

void removeRecordByRewrite(CardFile& file, qint64 index, const QString& scratchPath) {
    rewriteThroughScratch(file, scratchPath,
                          [&](CardFile& scratch) { copyRecordsExcept(file, index, scratch); });
}

void insertCardIntoMainFile(CardFile& main, CardFile& working, const QString& workingPath,
                            qint64 insertAt, const TAnketa& card) {
    const qint64 count = main.count();
    insertAt = std::clamp<qint64>(insertAt, 0, count);
    // A new file rather than the old one emptied: ext4 forces an emptied file that is written
    // again out to disk at once, which would double the time the insertion waits.
    QFile::remove(workingPath);
    working.create(workingPath, sizeof(TAnketa));
    // One pass over the register feeds both the Working card file and the new register.
    rewriteThroughScratch(main, newScratchPath(main.path()), [&](CardFile& scratch) {
        copyRecordsTwice(main, 0, insertAt, working, scratch);
        working.appendMany(&card, 1);
        scratch.appendMany(&card, 1);
        copyRecordsTwice(main, insertAt, count - insertAt, working, scratch);
    });
}

} // namespace zelm
