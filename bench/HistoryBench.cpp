// What keeping each card's history costs. A save with its version kept against a save without,
// in pairs run in turn on one machine: in the data folder against the save as it was before the
// history (the same reads, comparison, write and flush of the card file, and no more), on a
// server (fsync on) against a database whose history trigger is switched off. And the history
// window opened on a card of 1 000 versions among 10 000 in Baza/History.dat. Beside the data
// folder's pairs, the floor: the save as before with one record flushed ahead of the card.
//   history_bench [pairs]
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "app/ZelmApp.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TIstoriya.h"
#include "common/PgTestServer.h"
#include "common/ScriptedPlatform.h"
#include "register/FolderRegister.h"
#include "server/RegisterTransfer.h"
#include "server/ServerRegister.h"
#include "session/CardSession.h"
#include "store/CardFile.h"
#include "store/HistoryFile.h"
#include "store/Installation.h"
#include "store/RecordFileRewrite.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace zelm;

namespace {

constexpr int kCards = 10000;

TAnketa edited(const TAnketa& card, int n) {
    TAnketa out = card;
    out.Prime4.set(QStringLiteral("Правка %1").arg(n));
    return out;
}

void folderSaves(int pairs) {
    bench::BenchInstall withHistory(kCards), without(kCards);
    withHistory.ownRegister();
    without.ownRegister();
    const Installation inst(withHistory.root());
    CurrentUser user;
    user.UserFIO = QStringLiteral("Иванов И.И.");
    CardSession session(inst, user, std::make_unique<FolderRegister>(inst, &user));
    session.openFiles();
    session.indexOfNumber(0);
    CardFile plain;
    plain.open(Installation(without.root()).mainCardFile(), sizeof(TAnketa));
    int n = 0;
    qint64 place = 0;
    const auto withVersion = [&] {
        if (session.save() != CardSession::SaveOutcome::Overwritten)
            std::fprintf(stderr, "the save did not write the card over\n");
    };
    const auto asBefore = [&] {
        // FolderRegister::save as it was: look at the file, find the card, compare, write it
        // over and flush.
        CardFile::Stamp stamp = plain.stamp();
        if (plain.replacedOnDisk(stamp))
            std::fprintf(stderr, "replaced\n");
        TAnketa now;
        plain.readRange(place, 1, &now);
        TAnketa card = edited(now, n);
        if (std::memcmp(&now, &card, sizeof now) == 0)
            std::fprintf(stderr, "nothing to write\n");
        plain.writeRange(place, 1, &card);
        plain.flush();
        stamp = plain.stamp();
    };
    bench::pairedRuns(
        "save, data folder", pairs, "with history",
        [&] {
            // Both sides read the card they write over, as showing it does.
            ++n;
            place = (n * 7919) % kCards;
            session.showMainCard(place);
            session.setEdits(edited(session.CurrentCard(), n));
            withVersion();
        },
        "as before",
        [&] {
            TAnketa shown;
            plain.readRange(place, 1, &shown); // what showing the card reads
            asBefore();
        });
    // The least any history costs that has the version before on disk ahead of the change: one
    // more record flushed ahead of the card, a second flush of the disk's cache in every save.
    CardFile ahead;
    ahead.create(Installation(without.root()).path(QStringLiteral("Baza/Ahead.dat")),
                 sizeof(THistory));
    const THistory record{};
    bench::pairedRuns(
        "save, data folder, floor", pairs, "a record flushed first",
        [&] {
            ++n;
            place = (n * 7919) % kCards;
            appendFlushed(ahead, &record);
            asBefore();
        },
        "as before", [&] { asBefore(); });
}

void serverSaves(int pairs) {
    testing::PgTestServer pg{testing::PgTestServer::Options{true}};
    if (!pg.running()) {
        std::printf("server: skipped (%s)\n", qPrintable(pg.unavailable()));
        return;
    }
    bench::BenchInstall install(2000);
    const Installation inst(install.root());
    auto open = [&](const char* name) {
        auto r = std::make_unique<ServerRegister>(
            ServerConfig::parse(pg.createDatabase(QLatin1String(name))));
        r->setIdentity(QStringLiteral("Иванов И.И."), QStringLiteral("ws1"));
        r->open();
        moveRegisterToServer(*r, inst);
        r->connection().exec("VACUUM ANALYZE");
        return r;
    };
    auto kept = open("withhistory");
    auto plain = open("without");
    plain->connection().exec("ALTER TABLE cards DISABLE TRIGGER cards_keep_version");
    const std::vector<CardRow> rowsA = kept->listCards(CardFileKind::Main);
    const std::vector<CardRow> rowsB = plain->listCards(CardFileKind::Main);
    int n = 0;
    auto saveOn = [&](ServerRegister& r, const std::vector<CardRow>& rows) {
        const qint64 id = rows[static_cast<size_t>((n * 7919) % rows.size())].id;
        const ServerCard now = *r.readCard(id);
        return [&r, id, now, card = edited(now.record, n)] {
            if (r.save(id, card, now.version).status != SaveResult::Status::Saved)
                std::fprintf(stderr, "the save did not write the card over\n");
        };
    };
    bench::pairedRuns(
        "save, server", pairs, "with history",
        [&] {
            ++n;
            saveOn(*kept, rowsA)();
        },
        "trigger off", [&] { saveOn(*plain, rowsB)(); });
    const PgResult count = kept->connection().exec("SELECT count(*) FROM card_history");
    std::printf("(versions kept on the server: %lld)\n", static_cast<long long>(count.int64(0, 0)));
}

void historyWindow() {
    bench::BenchInstall install(1000);
    install.ownRegister();
    const Installation inst(install.root());
    CardFile main;
    main.open(inst.mainCardFile(), sizeof(TAnketa));
    const std::vector<TAnketa> cards = main.readAll<TAnketa>();
    main.close();
    const std::int32_t number = cards[500].Klu4Form1;
    std::vector<CardVersion> versions;
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-300);
    for (int i = 0; i < 10000; ++i) {
        CardVersion v;
        v.when = start.addSecs(i * 600);
        v.who = i % 2 ? QStringLiteral("Сидорова А.А.") : QStringLiteral("Кузнецов К.К.");
        v.card = i % 10 == 0 ? cards[500] : cards[static_cast<size_t>(i % 1000)];
        v.card.Prime4.set(QStringLiteral("Версия %1").arg(i));
        versions.push_back(v);
    }
    writeHistoryFile(inst.historyFile(), versions);

    ScriptedPlatform platform;
    ZelmApp app(install.root(), platform);
    app.user().UserFIO = QStringLiteral("Иванов И.И.");
    app.user().UserDostup = QStringLiteral("Z");
    TForm1& w = *app.form1();
    w.session().showMainCard(500);
    int listed = 0;
    bench::timedRuns("history window, 1 000 versions of 10 000", 15, [&] {
        TIstoriya window(w);
        window.showHistory(number);
        window.show();
        QApplication::processEvents();
        listed = static_cast<int>(window.versions().size());
    });
    std::printf("(versions listed: %d)\n", listed);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pairs = argc > 1 ? QByteArray(argv[1]).toInt() : 101;
    folderSaves(pairs);
    serverSaves(pairs);
    historyWindow();
    bench::runBenchEndHooks();
    return 0;
}
