// The program with its register on a PostgreSQL server: the start that cannot reach the server,
// the Service menu's move onto the server and back, and the backup at exit, as a user meets
// them in the windows.
#include "backup/ZipTestSupport.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "server/ServerFixture.h"
#include "server/ServerRegister.h"
#include "store/AccessTable.h"
#include "store/Cp1251.h"
#include "store/ReferenceLists.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

std::vector<TSpisFil> attachmentsOf(const std::vector<TAnketa>& cards) {
    std::vector<TSpisFil> links(7, TSpisFil::zeroed());
    for (size_t i = 0; i < links.size(); ++i) {
        if (i == 2)
            continue; // a free record stays free
        links[i].Klu4DK = cards[i].Klu4Form1;
        links[i].ImaDok.set(QStringLiteral("Справка «№%1» о проверке").arg(i));
        links[i].PutFil.set(QStringLiteral("/home/Иванов/Документы/справка %1.pdf").arg(i));
    }
    return links;
}

QByteArray linkBytes(const std::vector<TSpisFil>& links) {
    return QByteArray(reinterpret_cast<const char*>(links.data()),
                      qsizetype(links.size() * sizeof(TSpisFil)));
}

QMap<QString, QByteArray> packedFiles(const QString& archive) {
    QMap<QString, QByteArray> files;
    for (const ZipEntry& e : readZip(archive))
        files[e.name] = e.data;
    return files;
}

// The files of the register a move carries, by their paths in the installation folder.
QStringList registerFiles() {
    QStringList files = {"Baza/Anketi.dat", "Baza/ArhAnket.dat", "Baza/SpisFil.dat"};
    for (const ReferenceListDef& def : referenceLists())
        files << QStringLiteral("Baza/") + QLatin1String(def.file);
    return files;
}

class ServerMode : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        t.makeFolders();
    }
    // A register of Cyrillic cards in the data folder, as a unit has it before the move.
    void writeLocalRegister() {
        t.writeCards("Baza/Anketi.dat", cards);
        t.writeCards("Baza/ArhAnket.dat", makeCards(3, 300));
        t.writeFile("Baza/SpisFil.dat", linkBytes(attachmentsOf(cards)));
    }
    TForm1* startShown() {
        TForm1* w = t.start().form1();
        w->show();
        t.platform.clearRecords();
        return w;
    }
    std::unique_ptr<ServerRegister> workstation() {
        auto r = std::make_unique<ServerRegister>(ServerConfig::parse(conninfo));
        r->open();
        return r;
    }
    QString lastText() const {
        return t.platform.lastMessage() ? t.platform.lastMessage()->text : QString();
    }

    TestInstall t;
    std::vector<TAnketa> cards = makeCards(25);
};

} // namespace

TEST_F(ServerMode, TheRegisterMovesOntoTheServerAndComesBackByteForByte) {
    writeLocalRegister();
    TForm1* w = startShown();
    QMap<QString, QByteArray> before;
    for (const QString& f : registerFiles())
        before[f] = t.readFile(f);
    ASSERT_EQ(before["Baza/Anketi.dat"].size(), qsizetype(25 * sizeof(TAnketa)));
    QSignalSpy closed(w, &TForm1::closedForGood);
    QSignalSpy gauge(controls(w).Gauge1, &QProgressBar::valueChanged);

    // Without Server.vez the user names the server; the move ends the run.
    t.platform.enteredTexts.enqueue(QStringLiteral("  ") + conninfo + QStringLiteral("\n"));
    t.platform.answers.enqueue(true);
    controls(w).nToServer->trigger();
    ASSERT_EQ(t.platform.messages.size(), 2) << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(QStringLiteral("карточек 25, в архиве 3, прикреплённых "
                                                   "файлов 7")))
        << lastText().toStdString();
    EXPECT_EQ(t.readFile("Server.vez"), toCp1251(conninfo) + "\r\n");
    EXPECT_EQ(closed.count(), 1);
    ASSERT_GE(gauge.size(), 2); // it showed the whole move, then went back to zero
    EXPECT_EQ(gauge[gauge.size() - 2][0].toInt(), 100);
    EXPECT_EQ(controls(w).Gauge1->value(), 0);
    EXPECT_EQ(workstation()->countCards(CardFileKind::Main), 25);
    t.stop();

    // The next start works on the server. The data folder's files, gone or changed meanwhile,
    // are written back from it on the user's word.
    for (const QString& f : registerFiles())
        if (f.endsWith(QLatin1String(".dat")))
            QFile::remove(t.path(f));
        else
            t.writeFile(f, toCp1251(QStringLiteral("изменено здесь\r\n")));
    w = startShown();
    ASSERT_NE(t.app().server(), nullptr);
    EXPECT_TRUE(controls(w).nFromServer->isEnabled());
    t.platform.answers.enqueue(true);
    t.platform.enteredTexts.enqueue(QStringLiteral("580214")); // the administrator's password
    controls(w).nFromServer->trigger();
    EXPECT_TRUE(lastText().contains(t.app().server()->serverName())) << lastText().toStdString();
    for (const QString& f : registerFiles())
        EXPECT_EQ(t.readFile(f), before[f]) << f.toStdString();
    // Dostup.dat as the old program reads it, with the new passwords the message showed.
    const QList<AccessRow> exported = accessRowsFromBytes(t.readFile("Dostup.dat"));
    ASSERT_EQ(exported.size(), 4);
    EXPECT_EQ(exported[0].FIO, QStringLiteral("Администратор"));
    EXPECT_EQ(exported[0].Dostup, QStringLiteral("Z"));
    for (const AccessRow& row : exported)
        EXPECT_TRUE(lastText().contains(row.FIO + QStringLiteral(" (") + row.Dostup +
                                        QStringLiteral("): ") + row.Parol))
            << lastText().toStdString();

    // The backup at exit packs the server's register, whatever the folder held just before.
    t.writeFile("Baza/Anketi.dat", QByteArray("stale"));
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    const QMap<QString, QByteArray> packed = packedFiles(t.path("Backup/b0000001.zip"));
    EXPECT_EQ(packed.value("Anketi.dat"), before["Baza/Anketi.dat"]);
    EXPECT_EQ(packed.value("SpisFil.dat"), before["Baza/SpisFil.dat"]);
}

TEST_F(ServerMode, AServerThatHoldsCardsIsRefusedAndNothingChanges) {
    auto other = workstation();
    other->append(makeCard(900));
    writeLocalRegister();
    t.writeFile("Server.vez", toCp1251(conninfo));
    // The server is running: the run starts on it, the database holds one card already.
    TForm1* w = startShown();
    ASSERT_NE(t.app().server(), nullptr);
    QSignalSpy closed(w, &TForm1::closedForGood);
    t.platform.answers.enqueue(true);
    controls(w).nToServer->trigger();
    EXPECT_TRUE(t.platform.offeredTexts.isEmpty()); // the run's own server, not asked again
    EXPECT_TRUE(lastText().contains(QStringLiteral("уже есть картотека")));
    EXPECT_TRUE(lastText().contains(t.app().server()->serverName()));
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(other->countCards(CardFileKind::Main), 1);
    EXPECT_EQ(other->countCards(CardFileKind::Archive), 0);
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 25u);

    // A restore would replace the folder's files only: refused, before any archive is chosen.
    t.platform.clearRecords();
    controls(w).BackUp1->trigger();
    EXPECT_TRUE(t.platform.fileDialogs.isEmpty());
    EXPECT_TRUE(lastText().contains(QStringLiteral("Server.vez")));
    EXPECT_EQ(closed.count(), 0);
}

TEST_F(ServerMode, ABackupAtExitIsNotMadeFromFilesTheServerCouldNotRefresh) {
    writeLocalRegister();
    t.writeFile("Server.vez", toCp1251(conninfo));
    TForm1* w = startShown();
    ASSERT_NE(t.app().server(), nullptr);
    pg->stop();
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("Резервная копия не сделана")))
        << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(t.app().server()->serverName()));
    EXPECT_FALSE(QFile::exists(t.path("Backup/b0000001.zip")));
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 25u);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ServerMode, CardsStoredWhileTheServerWasAwayAreNotReplacedUnasked) {
    writeLocalRegister();
    t.writeFile("Server.vez", toCp1251(conninfo));
    pg->stop();
    t.platform.choices.enqueue(0);
    startShown();
    ASSERT_EQ(t.app().server(), nullptr);
    t.stop();
    const std::vector<TAnketa> local = makeCards(26); // a card stored in that run
    t.writeCards("Baza/Anketi.dat", local);

    ASSERT_TRUE(pg->start());
    TForm1* w = startShown();
    ASSERT_NE(t.app().server(), nullptr);
    t.platform.answers.enqueue(true);  // a backup
    t.platform.answers.enqueue(false); // of the folder as it is
    controls(w).N3->trigger();
    ASSERT_EQ(t.platform.messages.size(), 2);
    EXPECT_TRUE(t.platform.messages[1].text.contains(t.app().server()->serverName()));
    const QMap<QString, QByteArray> packed = packedFiles(t.path("Backup/b0000001.zip"));
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 26u);
    EXPECT_EQ(packed.value("Anketi.dat"), t.readFile("Baza/Anketi.dat"));
    t.stop();

    // Once the user let the server's register replace the folder, exits no longer ask.
    w = startShown();
    t.platform.answers.enqueue(true);
    t.platform.enteredTexts.enqueue(QStringLiteral("580214"));
    controls(w).nFromServer->trigger();
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 0u); // the server never got a card
    t.platform.clearRecords();
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    EXPECT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(QFile::exists(t.path("Backup/b0000002.zip")));
}

// No server is needed to be refused one: the socket folder holds none.
TEST(ServerStart, AServerThatCannotBeReachedOrAFileThatCannotBeUsedLeavesTheChoiceToTheUser) {
    TestInstall t;
    t.makeFolders();
    QTemporaryDir nowhere;
    t.writeFile(
        "Server.vez",
        toCp1251(QStringLiteral("host=%1 port=5439 dbname=orm user=орм").arg(nowhere.path())));
    t.platform.choices.enqueue(0);
    ZelmApp& local = t.start();
    EXPECT_FALSE(local.endRequested());
    EXPECT_EQ(local.server(), nullptr);
    ASSERT_NE(local.form1(), nullptr);
    EXPECT_FALSE(t.find<QAction>("nFromServer")->isEnabled());
    ASSERT_EQ(t.platform.messages.size(), 1);
    const QString text = t.platform.messages[0].text;
    EXPECT_TRUE(text.contains(nowhere.path() + QStringLiteral(":5439/orm"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("не запущен"))) << text.toStdString();
    EXPECT_TRUE(text.contains(t.path("Baza")));
    EXPECT_EQ(t.platform.choiceButtons.value(0),
              (QStringList{QStringLiteral("Работать с папкой данных"),
                           QStringLiteral("Завершить программу")}));
    t.stop();

    t.platform.clearRecords();
    t.platform.choices.enqueue(1);
    EXPECT_TRUE(t.start().endRequested());
    EXPECT_EQ(t.app().form1(), nullptr);
    t.stop();

    // A password in the file, or a link in its place, is refused by the file's name before
    // any connection is tried; closing the box ends the program.
    t.writeFile("Server.vez", "host=localhost dbname=orm password=secret\r\n");
    t.platform.clearRecords();
    EXPECT_TRUE(t.start().endRequested());
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("Server.vez")));
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("пароль")));
    t.stop();

    QFile::remove(t.path("Server.vez"));
    ASSERT_TRUE(QFile::link(t.path("elsewhere.vez"), t.path("Server.vez")));
    t.platform.clearRecords();
    t.platform.choices.enqueue(0);
    EXPECT_EQ(t.start().server(), nullptr);
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].text.contains(QStringLiteral("ссылка")));
    EXPECT_TRUE(t.platform.messages[0].text.contains(t.path("Server.vez")));
}
