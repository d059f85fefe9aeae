// One workstation saves a card; how long until another workstation's session has it, and how
// much of the other's time that takes, on a register of 10 000 cards beside one of 1 000 000
// (the two in turn, pair by pair). Beside it, what each change cost the other workstation when
// every notice made it read the whole order again. The registers are filled by the server
// itself; the server runs with fsync on.
#include "PairedTiming.h"
#include "RealisticCards.h"
#include "common/PgTestServer.h"
#include "remote/RegisterFeed.h"
#include "remote/ServerCards.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"
#include "store/Installation.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>

using namespace zelm;
using namespace zelm::bench;

namespace {

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A register of `cards` cards on its own database, a workstation that changes it and another
// whose session follows it through the feed.
struct Workstations {
    Workstations(testing::PgTestServer& pg, const QString& db, qint64 cards) {
        const QString conninfo = pg.createDatabase(db);
        changer = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        changer->open();
        const TAnketa card = realisticCard(7);
        changer->connection().liftStatementLimit();
        changer->connection().exec(
            "WITH c AS (INSERT INTO cards (file, ord, uniq, gurn, record) "
            "SELECT 0, g::bigint * 1048576, g, g, $1 FROM generate_series(1, $2::int) g "
            "RETURNING id) INSERT INTO card_search (card_id, file, data_mer, date_kusp, "
            "data_osn, texts) SELECT id, 0, 0, 0, 0, '{}' FROM c",
            {PgParam::bytes(QByteArray(reinterpret_cast<const char*>(&card), sizeof card)),
             PgParam::integer(cards)});
        changer->connection().exec("VACUUM ANALYZE cards");
        changer->connection().restoreStatementLimit();
        ids = changer->listCards(CardFileKind::Main);

        QDir(folder.path()).mkpath(QStringLiteral("Baza"));
        QDir(folder.path()).mkpath(QStringLiteral("Temp"));
        inst = std::make_unique<Installation>(folder.path());
        follower = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        follower->open();
        user.UserFIO = QStringLiteral("Петров П.П.");
        session =
            std::make_unique<CardSession>(*inst, user, std::make_unique<ServerCards>(*follower));
        session->openFiles();
        feed = std::make_unique<RegisterFeed>(*follower, *session);
        const auto arrived = [this] {
            applied = true;
            if (waiting)
                waiting->quit();
        };
        QObject::connect(session.get(), &CardSession::mainCardWritten, arrived);
        QObject::connect(session.get(), &CardSession::registerReloaded, arrived);
        feed->start();
        const QDeadlineTimer patience(10000);
        while (!feed->listening() && !patience.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    // Saves a card in the middle of the register; waits until the follower has it. Returns the
    // follower's share: the process's processor time from the save's end until then.
    double changeAndWait() {
        const CardRow row = ids[ids.size() / 2 + static_cast<size_t>(random() % 1000)];
        ServerCard card = *changer->readCard(row.id);
        card.record.Prime4.set(QStringLiteral("правка №%1").arg(++edits));
        card.record.Klu4Form1 = row.uniq; // the filled records all carry one number
        applied = false;
        changer->save(row.id, card.record, card.version);
        const double cpu = processCpuMs();
        if (!applied) {
            QEventLoop loop;
            waiting = &loop;
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            waiting = nullptr;
        }
        if (!applied)
            std::fprintf(stderr, "the change did not arrive within 5 s\n");
        return processCpuMs() - cpu;
    }

    QTemporaryDir folder;
    std::unique_ptr<Installation> inst;
    CurrentUser user;
    std::unique_ptr<ServerRegister> changer;
    std::unique_ptr<ServerRegister> follower;
    std::unique_ptr<CardSession> session;
    std::unique_ptr<RegisterFeed> feed;
    std::vector<CardRow> ids;
    std::minstd_rand random{42};
    int edits = 0;
    bool applied = false;
    QEventLoop* waiting = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::PgTestServer pg;
    if (!pg.running()) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", qPrintable(pg.unavailable()));
        return 1;
    }
    const qint64 large = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const int pairs = argc > 2 ? QByteArray(argv[2]).toInt() : 31;
    Workstations small(pg, QStringLiteral("small"), 10000);
    Workstations big(pg, QStringLiteral("big"), large);
    std::fprintf(stderr, "registers of 10000 and %lld cards ready\n",
                 static_cast<long long>(large));

    std::vector<double> cpuBig, cpuSmall;
    pairedRuns(
        "a save elsewhere, until this session has it", pairs, "large",
        [&] { cpuBig.push_back(big.changeAndWait()); }, "10 000",
        [&] { cpuSmall.push_back(small.changeAndWait()); });
    const Spread b = spreadOf(cpuBig), s = spreadOf(cpuSmall);
    std::printf("processor time of the follower per change: large %.2f [%.2f-%.2f] ms | 10 000 "
                "%.2f [%.2f-%.2f] ms\n",
                b.median, b.min, b.max, s.median, s.min, s.max);
    // What every change cost before: the whole order read again.
    pairedRuns(
        "the whole order read again (every change, before)", std::max(3, pairs / 4), "large",
        [&] { big.session->cardsChangedElsewhere({}); }, "10 000",
        [&] { small.session->cardsChangedElsewhere({}); });
    return 0;
}
