#include "store/CardInsertion.h"

#include "store/CardFile.h"
#include "store/FileError.h"

#include <QFile>
#include <QFileInfo>
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

void insertCardIntoMainFile(CardFile& main, CardFile& working, const QString& workingPath,
                            qint64 insertAt, const TAnketa& card) {
    const qint64 count = main.count();
    insertAt = std::clamp<qint64>(insertAt, 0, count);
    working.create(workingPath, sizeof(TAnketa));
    copyRecords(main, 0, insertAt, working);
    working.appendMany(&card, 1);
    copyRecords(main, insertAt, count - insertAt, working);

    const QString mainPath = main.path();
    const QString tempPath = mainPath + QStringLiteral(".new");
    try {
        CardFile fresh;
        fresh.create(tempPath, sizeof(TAnketa));
        copyRecords(working, 0, working.count(), fresh);
        fresh.flush();
        fresh.close();
        replaceFile(tempPath, mainPath);
    } catch (...) {
        QFile::remove(tempPath);
        throw;
    }
    main.open(mainPath, sizeof(TAnketa));
}

} // namespace zelm
