// The whole program's start-up, as the user waits for it: from exec to the idle card window
// after the login (the program's start-up probe answers the login and ends the run there),
// over registers of realistic cards of growing size, each beside `cat` of the same register.
// Runs are interleaved - every size and its `cat` in each round - so that a drift of the
// machine's speed falls on all alike; medians and the spread (min-max) are printed, and the
// ratios are taken round by round.
//   startup_bench [--runs N] [--sizes 1000,100000,1000000] [--dir FOLDER] [--program ZELM]
// The registers are made in FOLDER (default $TMPDIR/zelm-startup-bench) when missing and left
// there for the next call; remove the folder afterwards (10 000 000 cards take 17 GB).
#include "RealisticCards.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double ms = 0;
    double peakMiB = 0;
    double probeMs = -1; // the program's own figure since exec, when it printed one
};

struct Stats {
    double median, min, max;
};

Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty())
        return {0, 0, 0};
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

Run spawnAndWait(const std::vector<QByteArray>& args, const std::vector<QByteArray>& extraEnv,
                 bool readProbe) {
    std::vector<char*> argv;
    for (const QByteArray& a : args)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    std::vector<QByteArray> envStore(extraEnv);
    for (char** e = environ; *e; ++e)
        envStore.emplace_back(*e);
    std::vector<char*> envp;
    for (const QByteArray& e : envStore)
        envp.push_back(const_cast<char*>(e.constData()));
    envp.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (readProbe)
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    Run run;
    if (rc != 0) {
        ::close(out[0]);
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        return run;
    }
    QByteArray printed;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        printed.append(buf, n);
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const int at = printed.indexOf("startup-probe: ");
    if (at >= 0)
        run.probeMs = printed.mid(at + 15).split(' ').value(0).toDouble() * 1000.0;
    else if (readProbe)
        run.probeMs = -1;
    return run;
}

QString prepareRegister(const QString& dir, qint64 cards) {
    const QString root = QStringLiteral("%1/%2").arg(dir).arg(cards);
    const QString file = root + QStringLiteral("/Baza/Anketi.dat");
    if (QFileInfo(file).size() != cards * static_cast<qint64>(sizeof(zelm::TAnketa))) {
        std::printf("writing %lld cards...\n", static_cast<long long>(cards));
        std::fflush(stdout);
        QDir(root).mkpath(QStringLiteral("Baza"));
        QDir(root).mkpath(QStringLiteral("Temp"));
        const int fd = ::open(QFile::encodeName(file).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || !zelm::bench::writeRealisticCards(fd, cards) || ::close(fd) != 0) {
            std::perror("register");
            return {};
        }
    }
    return root;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    QList<qint64> sizes = {1000, 100000, 1000000};
    QString dir = QDir::tempPath() + QStringLiteral("/zelm-startup-bench");
    QByteArray program = ZELM_PROGRAM;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray opt = argv[i];
        if (opt == "--runs")
            runs = QByteArray(argv[i + 1]).toInt();
        else if (opt == "--program")
            program = argv[i + 1];
        else if (opt == "--dir")
            dir = QString::fromLocal8Bit(argv[i + 1]);
        else if (opt == "--sizes") {
            sizes.clear();
            for (const QByteArray& s : QByteArray(argv[i + 1]).split(','))
                sizes << s.toLongLong();
        }
    }
    std::map<qint64, QString> roots;
    for (qint64 n : sizes) {
        roots[n] = prepareRegister(dir, n);
        if (roots[n].isEmpty())
            return 1;
    }
    auto startUp = [&](qint64 n) {
        return spawnAndWait({program},
                            {"ZELM_STARTUP_PROBE=1", "QT_QPA_PLATFORM=offscreen",
                             "ZELM_HOME=" + QFile::encodeName(roots[n])},
                            true);
    };
    auto cat = [&](qint64 n) {
        return spawnAndWait({"/bin/cat", QFile::encodeName(roots[n] + "/Baza/Anketi.dat")}, {},
                            false);
    };
    // One round not counted: the first start makes the installation's files, and the page
    // cache takes the registers (the figures are warm ones).
    for (qint64 n : sizes) {
        startUp(n);
        cat(n);
    }
    std::map<qint64, std::vector<Run>> zelm, peer;
    for (int r = 0; r < runs; ++r)
        for (qint64 n : sizes) {
            zelm[n].push_back(startUp(n));
            peer[n].push_back(cat(n));
        }
    const qint64 floorSize = sizes.first();
    std::printf("%d interleaved rounds, warm; median [min-max]\n", runs);
    std::printf("%10s %24s %22s %24s %22s %24s %24s\n", "cards", "start-up ms", "peak MiB",
                "since exec (probe) ms", "cat ms", "start-up / cat", "start-up / first size");
    for (qint64 n : sizes) {
        std::vector<double> ms, peak, probe, catMs, ratioCat, ratioFirst;
        for (int r = 0; r < runs; ++r) {
            const Run& z = zelm[n][static_cast<size_t>(r)];
            ms.push_back(z.ms);
            peak.push_back(z.peakMiB);
            probe.push_back(z.probeMs);
            catMs.push_back(peer[n][static_cast<size_t>(r)].ms);
            ratioCat.push_back(z.ms / peer[n][static_cast<size_t>(r)].ms);
            ratioFirst.push_back(z.ms / zelm[floorSize][static_cast<size_t>(r)].ms);
        }
        auto cell = [](const Stats& s, const char* fmt) {
            static char text[8][64];
            static int k = 0;
            char* t = text[k++ % 8];
            char f[64];
            std::snprintf(f, sizeof f, "%s [%s-%s]", fmt, fmt, fmt);
            std::snprintf(t, 64, f, s.median, s.min, s.max);
            return t;
        };
        std::printf("%10lld %24s %22s %24s %22s %24s %24s\n", static_cast<long long>(n),
                    cell(stats(ms), "%.0f"), cell(stats(peak), "%.0f"), cell(stats(probe), "%.0f"),
                    cell(stats(catMs), "%.0f"), cell(stats(ratioCat), "%.2f"),
                    cell(stats(ratioFirst), "%.2f"));
    }
    return 0;
}
