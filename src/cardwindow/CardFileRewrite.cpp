#include "cardwindow/CardFileRewrite.h"

#include "store/CardFile.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace zelm {
namespace {

// About four megabytes of cards per read and write: few system calls, modest memory.
constexpr qint64 kBlockBytes = 4 << 20;

void copyRange(const CardFile& from, qint64 first, qint64 n, CardFile& to,
               std::vector<char>& buffer) {
    const qint64 size = from.recordSize();
    const qint64 perBlock = std::max<qint64>(1, kBlockBytes / size);
    buffer.resize(static_cast<size_t>(std::min(perBlock, std::max<qint64>(n, 1)) * size));
    for (qint64 done = 0; done < n;) {
        const qint64 step = std::min(perBlock, n - done);
        from.readRange(first + done, step, buffer.data());
        to.appendMany(buffer.data(), step);
        done += step;
    }
}

} // namespace

void copyRecordsExcept(const CardFile& from, qint64 skip, CardFile& to) {
    const qint64 count = from.count();
    std::vector<char> buffer;
    if (skip < 0 || skip >= count) {
        copyRange(from, 0, count, to, buffer);
        return;
    }
    copyRange(from, 0, skip, to, buffer);
    copyRange(from, skip + 1, count - skip - 1, to, buffer);
}

void removeRecordByRewrite(CardFile& file, qint64 index, const QString& scratchPath) {
    const QString path = file.path();
    const int recordSize = file.recordSize();
    try {
        CardFile scratch;
        scratch.create(scratchPath, recordSize);
        copyRecordsExcept(file, index, scratch);
        scratch.flush();
        scratch.close();
        replaceFile(scratchPath, path);
    } catch (...) {
        QFile::remove(scratchPath);
        throw;
    }
    file.open(path, recordSize);
}

} // namespace zelm
