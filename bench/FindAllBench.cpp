// Find all over a register of 1 000 000 realistic cards beside its floor: reading the same file
// in the same blocks and passing memchr over every byte of it. Pairs interleaved, warm (the
// register is read once before).
#include "BenchConditions.h"
#include "PairedTiming.h"
#include "RealisticCards.h"
#include "search/CardScan.h"
#include "store/RecordScan.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace zelm;

namespace {

// The floor: every byte of the file read in the blocks the search reads and looked at by memchr.
qint64 memchrPass(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> block(kScanBlockRecords * sizeof(TAnketa));
    qint64 hits = 0;
    for (ssize_t n; (n = ::read(fd, block.data(), block.size())) > 0;) {
        const char* p = block.data();
        const char* end = p + n;
        while ((p = static_cast<const char*>(std::memchr(p, '\x01', static_cast<size_t>(end - p)))))
            ++hits, ++p;
    }
    ::close(fd);
    return hits;
}

} // namespace

//   findall_bench [cards] [register file of that many cards, written before by make_register]
int main(int argc, char** argv) {
    const qint64 cards = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    QTemporaryDir dir;
    QString mainPath = dir.filePath(QStringLiteral("Anketi.dat"));
    if (argc > 2)
        mainPath = QString::fromLocal8Bit(argv[2]);
    else {
        const int fd = ::open(QFile::encodeName(mainPath).constData(), O_WRONLY | O_CREAT, 0644);
        bench::writeRealisticCards(fd, cards);
        ::close(fd);
    }
    CardFile main;
    main.open(mainPath, sizeof(TAnketa));
    CardFile working;
    working.create(dir.filePath(QStringLiteral("RabAnket.dat")), sizeof(TAnketa));
    const CardMatcher matcher(benchConditions());
    qint64 found = 0;
    auto findAll = [&] {
        working.seek(0);
        working.truncate();
        found = appendAllMatches(main, matcher, working);
    };
    memchrPass(mainPath); // warm
    findAll();
    std::printf("%lld cards, %lld found\n", static_cast<long long>(cards),
                static_cast<long long>(found));
    bench::pairedRuns("find all", 7, "search", findAll, "memchr", [&] { memchrPass(mainPath); });
    return 0;
}
