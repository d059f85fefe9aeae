// Find all over a register of 1 000 000 realistic cards, as the search window runs it through
// the card session (the Working card file emptied, the matches appended and flushed), beside
// its floors: reading the same file in the same blocks and passing memchr over every byte of
// it, and the reading alone. Pairs interleaved, warm (the register is read once before).
#include "BenchConditions.h"
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "register/FolderRegister.h"
#include "search/CardMatcher.h"
#include "search/SearchPrefilter.h"
#include "session/CardSession.h"
#include "store/CardFile.h"
#include "store/Installation.h"
#include "store/RecordScan.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
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

// The same blocks read, no byte looked at.
void readingPass(const QString& path) {
    CardFile f;
    f.open(path, sizeof(TAnketa));
    std::vector<TAnketa> block(kScanBlockRecords);
    for (qint64 first = 0, n = f.count(); first < n; first += kScanBlockRecords)
        f.readRange(first, std::min(kScanBlockRecords, n - first), block.data());
}

} // namespace

//   findall_bench [cards]   (ZELM_BENCH_REGISTERS: where make_register wrote registers before)
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int cards = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    bench::BenchInstall install(cards);
    const Installation inst(install.root());
    CurrentUser user;
    user.UserFIO = QStringLiteral("Иванов И.И.");
    CardSession session(inst, user, std::make_unique<FolderRegister>(inst));
    session.openFiles();
    session.indexOfNumber(0); // the index of unique numbers built, not building while timed
    const QString mainPath = inst.mainCardFile();

    const SearchConditions conditions = benchConditions();
    const CardMatcher matcher(conditions);
    const CardFilter prefilter = searchPrefilter(conditions);
    qint64 found = 0;
    auto findAll = [&] {
        session.emptyWorking();
        found = session.appendMatchesToWorking(
            [&matcher](const TAnketa& card) { return matcher.matches(card); }, &prefilter);
    };
    // The floor's count is printed, or the compiler drops memchr as a call whose result is never
    // used and the floor is the reading alone.
    qint64 floorHits = memchrPass(mainPath); // warm
    findAll();
    std::printf("%d cards, %lld found\n", cards, static_cast<long long>(found));
    bench::pairedRuns("find all", 7, "search", findAll, "memchr",
                      [&] { floorHits += memchrPass(mainPath); });
    bench::pairedRuns("find all", 7, "search", findAll, "reading", [&] { readingPass(mainPath); });
    std::printf("(bytes 0x01 seen by the floor: %lld)\n", static_cast<long long>(floorHits));
    return 0;
}
