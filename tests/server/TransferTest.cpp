// A register moved onto the server and written back comes back byte for byte.
#include "ServerFixture.h"
#include "common/FileBytes.h"
#include "server/RegisterTransfer.h"
#include "server/ServerError.h"
#include "store/AccessTable.h"
#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/HistoryFile.h"
#include "store/Installation.h"
#include "store/ReferenceLists.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

using namespace zelm;
using namespace zelm::testing;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList registerFiles(const Installation& inst) {
    QStringList files = {inst.mainCardFile(), inst.archiveCardFile(), inst.attachmentList()};
    for (const ReferenceListDef& def : referenceLists())
        files << referenceListPath(inst, def);
    return files;
}

void writeRecords(const QString& path, const void* data, qint64 bytes) {
    writeBytes(path, QByteArray(static_cast<const char*>(data), bytes));
}

} // namespace

using TransferTest = ServerTest;

TEST_F(TransferTest, ARegisterMovesToTheServerAndBackByteForByte) {
    QTemporaryDir here;
    Installation inst(here.path());
    inst.prepare();
    std::vector<TAnketa> cards = makeCards(10000);
    cards[500].Klu4Form1 = cards[499].Klu4Form1; // two cards of one tick
    cards[501].reserved[100] = '\x7f';           // bytes that mean nothing still come back
    cards[502].NameOrg.len = 200;                // a damaged length byte too
    writeRecords(inst.mainCardFile(), cards.data(), qint64(cards.size() * sizeof(TAnketa)));
    const std::vector<TAnketa> archived = makeCards(300, 20000);
    writeRecords(inst.archiveCardFile(), archived.data(),
                 qint64(archived.size() * sizeof(TAnketa)));
    std::vector<TSpisFil> links(2500, TSpisFil::zeroed());
    for (size_t i = 0; i < links.size(); ++i) {
        if (i % 7 == 3)
            continue; // a free record, left by a removed link
        links[i].Klu4DK = cards[i * 3].Klu4Form1;
        links[i].ImaDok.set(QStringLiteral("Справка №%1").arg(i));
        links[i].PutFil.set(QStringLiteral("/home/docs/Справка %1.pdf").arg(i));
        links[i].SodFil.set(QStringLiteral("Содержание \"в кавычках\" и \\ обратная черта"));
    }
    writeRecords(inst.attachmentList(), links.data(), qint64(links.size() * sizeof(TSpisFil)));
    for (const ReferenceListDef& def : referenceLists())
        writeBytes(referenceListPath(inst, def),
                   toCp1251(QStringLiteral("\r\nЁлкин\r\nзапись %1\r\n").arg(def.file)));
    CardFile access;
    openOrCreateAccessTable(access, inst.accessTable(), 46000);
    access.close();

    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    qint64 lastDone = -1, total = 0;
    bool steady = true;
    const TransferCounts moved = moveRegisterToServer(*a, inst, [&](qint64 done, qint64 all) {
        steady = steady && done >= lastDone && done <= all;
        lastDone = done;
        total = all;
    });
    EXPECT_TRUE(steady);
    EXPECT_EQ(lastDone, total);
    EXPECT_EQ(total, 10000 + 300 + 2500);
    EXPECT_EQ(moved.cards, 10000);
    EXPECT_EQ(moved.lists, 12);
    EXPECT_TRUE(moved.accessTable);
    EXPECT_EQ(a->countAttachments(cards[3].Klu4Form1), 1);

    // The server's register has cards: a second move is refused and changes nothing.
    try {
        moveRegisterToServer(*a, inst);
        FAIL() << "moved into a database that holds cards";
    } catch (const ServerError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("уже есть картотека"))) << e.what();
    }
    EXPECT_EQ(a->countCards(CardFileKind::Main), 10000);

    // The server keeps the passwords as salted hashes, never as they were typed.
    const PgResult hashes = a->connection().exec("SELECT hash FROM access_logins ORDER BY pos");
    ASSERT_EQ(hashes.rows(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(hashes.text(i, 0).startsWith(QStringLiteral("$2a$08$"))) << i;
    EXPECT_NE(hashes.text(1, 0), hashes.text(2, 0));

    // A wrong administrator's password stops the export before any file is written.
    QTemporaryDir there;
    Installation back(there.path());
    back.prepare();
    const AccessExport wrong{QStringLiteral("Администратор"), QStringLiteral("317968")};
    EXPECT_THROW(exportRegisterFromServer(*a, back, {}, &wrong), ServerError);
    EXPECT_FALSE(QFileInfo::exists(back.mainCardFile()));
    EXPECT_FALSE(QFileInfo::exists(back.accessTable()));

    const AccessExport admin{QStringLiteral("Администратор"), QStringLiteral("580214")};
    const TransferCounts exported = exportRegisterFromServer(*a, back, {}, &admin);
    EXPECT_EQ(exported.cards, 10000);
    EXPECT_EQ(exported.attachments, 2500);
    const QStringList original = registerFiles(inst);
    const QStringList copy = registerFiles(back);
    for (int i = 0; i < original.size(); ++i)
        EXPECT_TRUE(readAll(original[i]) == readAll(copy[i])) << copy[i].toStdString();
    EXPECT_TRUE(QDir(back.path(QStringLiteral("Temp"))).isEmpty()) << "scratch files left";

    // Dostup.dat comes back as the old program reads it: the rows as they were, each with a
    // new password of six digits, the ones shown to the administrator; the server's stay.
    const QList<AccessRow> before = accessRowsFromBytes(readAll(inst.accessTable()));
    const QList<AccessRow> after = accessRowsFromBytes(readAll(back.accessTable()));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(readAll(back.accessTable()).size(), 4 * 48);
    QSet<QString> given;
    for (int i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].Kod, before[i].Kod);
        EXPECT_EQ(after[i].Data, before[i].Data);
        EXPECT_EQ(after[i].FIO, before[i].FIO);
        EXPECT_EQ(after[i].Dostup, before[i].Dostup);
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^[0-9]{6}$")).match(after[i].Parol).hasMatch());
        EXPECT_EQ(after[i].Parol, exported.accessRows[i].Parol);
        given.insert(after[i].Parol);
    }
    EXPECT_EQ(given.size(), after.size()) << "two rows with one password: the later never enters";
    EXPECT_EQ(a->login(QStringLiteral("Пользователь 1"), QStringLiteral("317968")),
              QStringLiteral("W"));

    // Without the administrator's password (the export before a backup) Dostup.dat stays.
    writeBytes(back.accessTable(), "kept");
    exportRegisterFromServer(*a, back);
    EXPECT_EQ(readAll(back.accessTable()), QByteArray("kept"));
}

TEST_F(TransferTest, AnExportReplacesTheDataFolderFilesWhole) {
    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    for (int i = 0; i < 5; ++i)
        a->append(makeCard(i));
    QTemporaryDir here;
    Installation inst(here.path());
    inst.prepare();
    writeBytes(inst.mainCardFile(), QByteArray(3 * sizeof(TAnketa), 'x'));
    writeBytes(inst.path(QStringLiteral("Baza/Povod.txt")), "old\r\n");

    exportRegisterFromServer(*a, inst);
    EXPECT_EQ(readAll(inst.mainCardFile()).size(), qint64(5 * sizeof(TAnketa)));
    EXPECT_EQ(readAll(inst.path(QStringLiteral("Baza/Povod.txt"))), QByteArray("old\r\n"))
        << "a list the server does not hold stays as it was";
}

TEST_F(TransferTest, TheCardsHistoryMovesToTheServerAndBackAndGoesOnThere) {
    QTemporaryDir here;
    Installation inst(here.path());
    inst.prepare();
    const std::vector<TAnketa> cards = makeCards(3);
    writeRecords(inst.mainCardFile(), cards.data(), qint64(cards.size() * sizeof(TAnketa)));
    std::vector<CardVersion> versions;
    const QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(9, 30, 15, 123), Qt::UTC);
    for (int i = 0; i < 150; ++i) {
        CardVersion v;
        v.action = i % 5 == 4 ? HistoryAction::Archive : HistoryAction::Save;
        v.when = start.addSecs(i * 61);
        v.who = i % 2 ? QStringLiteral("Сидорова А.А.") : QStringLiteral("Ёлкин Ё.Ё.");
        v.card = cards[static_cast<size_t>(i % 3)];
        v.card.NameOrg.set(QStringLiteral("ООО «Версия %1»").arg(i));
        versions.push_back(v);
    }
    writeHistoryFile(inst.historyFile(), versions);
    const QByteArray historyBytes = readAll(inst.historyFile());

    auto a = workstation(QStringLiteral("Иванов"), QStringLiteral("ws1"));
    EXPECT_EQ(moveRegisterToServer(*a, inst).versions, 150);
    std::vector<CardVersion> h = a->history(cards[1].Klu4Form1);
    ASSERT_EQ(h.size(), 50u);
    EXPECT_EQ(h[0].card.NameOrg.text(), QStringLiteral("ООО «Версия 148»"));
    EXPECT_EQ(h[0].who, QStringLiteral("Ёлкин Ё.Ё."));
    EXPECT_EQ(h[0].when, start.addSecs(148 * 61));
    EXPECT_EQ(h[0].action, HistoryAction::Save);
    EXPECT_EQ(h[3].action, HistoryAction::Archive); // version 139

    // A save on the server adds to the history brought over.
    const CardRow row = a->listCards(CardFileKind::Main).at(1);
    const ServerCard now = *a->readCard(row.id);
    TAnketa changed = now.record;
    changed.NameOrg.set(QStringLiteral("ООО «На сервере»"));
    ASSERT_EQ(a->save(row.id, changed, now.version).status, SaveResult::Status::Saved);
    h = a->history(cards[1].Klu4Form1);
    ASSERT_EQ(h.size(), 51u);
    EXPECT_EQ(h[0].card.NameOrg.text(), cards[1].NameOrg.text());
    // Who saved it is the server's word: the role, as no login vouched for an officer here.
    const QString role = a->connection().exec("SELECT session_user").text(0, 0);
    EXPECT_EQ(h[0].who, role + QStringLiteral(" (ws1)"));

    QTemporaryDir there;
    Installation back(there.path());
    back.prepare();
    EXPECT_EQ(exportRegisterFromServer(*a, back).versions, 151);
    // The versions moved come back byte for byte, the server's own after them.
    const QByteArray exported = readAll(back.historyFile());
    ASSERT_EQ(exported.size(), historyBytes.size() + qint64(sizeof(THistory)));
    EXPECT_TRUE(exported.left(historyBytes.size()) == historyBytes);
    HistoryFile file(back.historyFile());
    file.open(0);
    const std::vector<CardVersion> backThere = file.versionsOf(cards[1].Klu4Form1);
    ASSERT_EQ(backThere.size(), 51u);
    EXPECT_EQ(backThere[0].who, role);
    EXPECT_EQ(backThere[0].card.NameOrg.text(), cards[1].NameOrg.text());
}
