// Writes a register of realistic cards for the start-up benchmark:
//   make_register <installation folder> <cards>
// makes <folder>/Baza/Anketi.dat (and Temp) and prints the mean bytes of list text a card.
#include "RealisticCards.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_register <installation folder> <cards>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const qint64 cards = QByteArray(argv[2]).toLongLong();
    QDir(root).mkpath(QStringLiteral("Baza"));
    QDir(root).mkpath(QStringLiteral("Temp"));
    const QByteArray path = QFile::encodeName(root + QStringLiteral("/Baza/Anketi.dat"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || !zelm::bench::writeRealisticCards(fd, cards) || ::close(fd) != 0) {
        std::perror(path.constData());
        return 1;
    }
    double bytes = 0;
    const qint64 sample = std::min<qint64>(cards, 10000);
    for (qint64 i = 0; i < sample; ++i)
        bytes += zelm::bench::listTextBytes(
            zelm::bench::realisticCard(i * (cards / std::max<qint64>(sample, 1))));
    std::printf("%lld cards, %.0f bytes of list text a card\n", static_cast<long long>(cards),
                sample ? bytes / static_cast<double>(sample) : 0.0);
    return 0;
}
