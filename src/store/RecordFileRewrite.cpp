#include "store/RecordFileRewrite.h"

#include "store/CardFile.h"
#include "store/ScratchFiles.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace zelm {

void copyRecords(const CardFile& from, qint64 first, qint64 n, CardFile& to) {
    const qint64 size = from.recordSize();
    // About four megabytes per read and write: few system calls, modest memory.
    const qint64 perBlock = std::max<qint64>(1, (4 << 20) / size);
    std::vector<char> block(static_cast<size_t>(std::max<qint64>(std::min(n, perBlock), 0) * size));
    for (qint64 done = 0; done < n;) {
        const qint64 chunk = std::min(perBlock, n - done);
        from.readRange(first + done, chunk, block.data());
        to.appendMany(block.data(), chunk);
        done += chunk;
    }
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
    working.create(workingPath, sizeof(TAnketa));
    copyRecords(main, 0, insertAt, working);
    working.appendMany(&card, 1);
    copyRecords(main, insertAt, count - insertAt, working);
    rewriteThroughScratch(main, newScratchPath(main.path()), [&](CardFile& scratch) {
        copyRecords(working, 0, working.count(), scratch);
    });
}

} // namespace zelm
