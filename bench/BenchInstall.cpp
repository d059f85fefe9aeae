#include "BenchInstall.h"

#include "RealisticCards.h"
#include "store/Records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm::bench {

BenchInstall::BenchInstall(int cards, int attachments) {
    QDir(m_dir.path()).mkpath(QStringLiteral("Baza"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Temp"));
    const QString mainPath = m_dir.filePath(QStringLiteral("Baza/Anketi.dat"));
    // A register that make_register wrote before is linked, not written again: benchmarks of
    // millions of cards then start in seconds. Linked, it is never written in place.
    const QString ready = qEnvironmentVariable("ZELM_BENCH_REGISTERS") +
                          QStringLiteral("/%1/Baza/Anketi.dat").arg(cards);
    if (qEnvironmentVariableIsSet("ZELM_BENCH_REGISTERS") &&
        QFileInfo(ready).size() == qint64(cards) * qint64(sizeof(TAnketa)) &&
        ::link(QFile::encodeName(ready).constData(), QFile::encodeName(mainPath).constData()) == 0)
        cards = 0;
    QFile main(mainPath);
    main.open(QIODevice::Append);
    // Written in slices so the generator never holds the whole register.
    for (int first = 0; first < cards; first += 1000) {
        auto slice = realisticCards(std::min(1000, cards - first), first);
        main.write(reinterpret_cast<const char*>(slice.data()),
                   static_cast<qint64>(slice.size() * sizeof(TAnketa)));
    }
    main.close();
    QFile list(m_dir.filePath(QStringLiteral("Baza/SpisFil.dat")));
    list.open(QIODevice::WriteOnly);
    for (int i = 0; i < attachments; ++i) {
        TSpisFil f = TSpisFil::zeroed();
        f.Klu4DK = 600000000 + (i * 7919) % std::max(attachments, 1);
        f.ImaDok.set(QStringLiteral("Документ %1").arg(i));
        f.PutFil.set(QStringLiteral("/home/user/Документы/%1.doc").arg(i));
        list.write(reinterpret_cast<const char*>(&f), sizeof f);
    }
}

void BenchInstall::ownRegister() {
    const QString mainPath = m_dir.filePath(QStringLiteral("Baza/Anketi.dat"));
    const QString copy = m_dir.filePath(QStringLiteral("Temp/Anketi.copy"));
    struct stat st {};
    if (::stat(QFile::encodeName(mainPath).constData(), &st) != 0 || st.st_nlink < 2)
        return;
    QFile::remove(copy);
    if (!QFile::copy(mainPath, copy) ||
        ::rename(QFile::encodeName(copy).constData(), QFile::encodeName(mainPath).constData()) != 0)
        qFatal("the benchmark's register could not be copied: %s", qPrintable(mainPath));
}

double peakMemoryMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace zelm::bench

namespace zelm::bench {

namespace {
std::vector<std::function<void()>>& hooks() {
    static std::vector<std::function<void()>> h;
    return h;
}
} // namespace

void atBenchEnd(std::function<void()> cleanup) {
    hooks().push_back(std::move(cleanup));
}

void runBenchEndHooks() {
    for (auto& h : hooks())
        h();
    hooks().clear();
}

} // namespace zelm::bench
