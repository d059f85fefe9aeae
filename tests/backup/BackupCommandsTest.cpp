// "Выход" with its backup, the restore from a backup and the network help, through the
// card window's menu and the settings window's button.
#include "ZipTestSupport.h"
#include "access/TNastroika.h"
#include "backup/ZipBackup.h"
#include "cardwindow/TForm1.h"
#include "common/CardFactory.h"
#include "common/FileBytes.h"
#include "common/Form1Controls.h"
#include "common/TestInstall.h"
#include "store/Cp1251.h"
#include "widgets/TdxfColorButton.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        t.makeFolders();
        t.writeCards("Baza/Anketi.dat", makeCards(5));
        t.writeCards("Baza/ArhAnket.dat", makeCards(2, 100));
        w = t.start().form1();
        w->show();
        closed = std::make_unique<QSignalSpy>(w, &TForm1::closedForGood);
        t.platform.clearRecords();
    }
    ZelmApp& app() { return t.app(); }
    bool filesOpen() {
        // Whether this process holds a data file of Baza open for writing, as a backup must
        // not; the lists' views only read.
        std::error_code err;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", err)) {
            const std::string target = std::filesystem::read_symlink(fd.path(), err).string();
            if (target.find("/Baza/") == std::string::npos || !target.ends_with(".dat"))
                continue;
            QFile info(QStringLiteral("/proc/self/fdinfo/") +
                       QString::fromStdString(fd.path().filename().string()));
            if (!info.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : info.readAll().split('\n'))
                if (line.startsWith("flags:") && (line.mid(6).trimmed().toInt(nullptr, 8) & 3) != 0)
                    return true;
        }
        return false;
    }
    QStringList backups() {
        return QDir(app().settings().SavePapka).entryList(QDir::Files, QDir::Name);
    }
    TestInstall t;
    TForm1* w = nullptr;
    std::unique_ptr<QSignalSpy> closed;
};

} // namespace

TEST_F(Commands, LeavingWithABackup) {
    // A mark is a save: the history file beside the card files gets its first version.
    controls(w).OtmDel->click();
    ASSERT_TRUE(QFile::exists(t.path("Baza/History.dat")));
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Question);
    EXPECT_EQ(t.platform.messages[0].text, QStringLiteral("Получить резервную копию папки ") +
                                               t.path("Baza") + QStringLiteral(" ?"));
    EXPECT_EQ(t.platform.messages[0].caption,
              QStringLiteral("При аварии - нет!.Последние 10 копий в ") + t.path("Backup"));
    EXPECT_EQ(backups(), QStringList{"b0000001.zip"});
    const auto entries = readZip(t.path("Backup/b0000001.zip"));
    QStringList names;
    for (const ZipEntry& e : entries)
        names << e.name;
    ASSERT_TRUE(names.contains("Anketi.dat"));
    EXPECT_TRUE(names.contains("ArhAnket.dat"));
    EXPECT_TRUE(names.contains("SpisFil.dat"));
    EXPECT_FALSE(names.contains("RabAnket.dat")); // the Working file lives outside Baza
    EXPECT_EQ(entries[names.indexOf("Anketi.dat")].data, t.readFile("Baza/Anketi.dat"));
    ASSERT_TRUE(names.contains("History.dat"));
    EXPECT_EQ(entries[names.indexOf("History.dat")].data, t.readFile("Baza/History.dat"));
    EXPECT_FALSE(filesOpen());
    EXPECT_EQ(closed->count(), 1);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(Commands, AnsweringNoStillClosesTheFilesAndLeaves) {
    t.platform.onMessage = [this](const ShownMessage&) { EXPECT_FALSE(filesOpen()); };
    controls(w).N3->trigger();
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_EQ(closed->count(), 1);
}

TEST_F(Commands, AFolderChosenInTheSettingsTakesEffectAtOnce) {
    QTemporaryDir elsewhere;
    const QString folder = elsewhere.filePath("Копии");
    t.platform.folderResults.enqueue("  " + folder + "  ");
    t.app().nastroika()->SaveDirBUClick();
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    EXPECT_TRUE(QFile::exists(folder + "/b0000001.zip"));
    // Not saved: the next start reads the old folder.
    t.stop();
    t.start();
    EXPECT_EQ(t.app().settings().SavePapka, t.path("Backup"));
}

TEST_F(Commands, ABackupThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
    t.writeFile("NotAFolder", "plain file");
    app().settings().SavePapka = t.path("NotAFolder/Backup");
    t.platform.answers.enqueue(true);
    controls(w).N3->trigger();
    ASSERT_EQ(t.platform.messages.size(), 2);
    EXPECT_EQ(t.platform.messages[1].kind, ShownMessage::Notice);
    EXPECT_TRUE(t.platform.messages[1].text.contains(t.path("NotAFolder/Backup")))
        << t.platform.messages[1].text.toStdString();
    EXPECT_EQ(closed->count(), 1);
    EXPECT_EQ(t.readCards("Baza/Anketi.dat").size(), 5u);
}

TEST_F(Commands, RestoreReplacesTheDataAndEndsTheProgram) {
    QTemporaryDir copies;
    const QString archive = copies.filePath("b0000001.zip");
    const auto cards = makeCards(3, 500);
    const QByteArray cardBytes(reinterpret_cast<const char*>(cards.data()),
                               static_cast<qsizetype>(cards.size() * sizeof(cards[0])));
    const QByteArray list = toCp1251(QStringLiteral("Проверка\r\nЖалоба\r\n"));
    const QByteArray history(3 * 1869, 'h');
    writeZip(archive, {{"Anketi.dat", cardBytes, 8},
                       {"History.dat", history, 8},
                       {"ArhAnket.dat", QByteArray(), 0},
                       {"SpisFil.dat", QByteArray(448, 'f'), 8},
                       {"Povod.txt", list, 0}});
    t.writeFile("Baza/Свой файл.txt", "kept");
    app().settings().ReadPapka = copies.path();
    t.platform.openFileResults.enqueue(archive);
    t.platform.onMessage = [this](const ShownMessage& m) {
        if (m.kind == ShownMessage::Notice) {
            EXPECT_FALSE(filesOpen());
        }
    };

    controls(w).BackUp1->trigger();

    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].text, QStringLiteral("Операция выполнена"));
    EXPECT_EQ(t.platform.messages[0].caption, QStringLiteral("Запустите программу снова"));
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cardBytes);
    EXPECT_EQ(t.readFile("Baza/ArhAnket.dat").size(), 0);
    EXPECT_EQ(t.readFile("Baza/SpisFil.dat"), QByteArray(448, 'f'));
    EXPECT_EQ(t.readFile("Baza/Povod.txt"), list);
    EXPECT_EQ(t.readFile("Baza/History.dat"), history);
    EXPECT_EQ(t.readFile(QStringLiteral("Baza/Свой файл.txt")), "kept");
    EXPECT_EQ(closed->count(), 1);
    EXPECT_EQ(QDir::currentPath(), QDir(t.root()).canonicalPath());
}

TEST_F(Commands, ADamagedArchiveIsRefusedAndWorkGoesOn) {
    QTemporaryDir copies;
    const QString archive = copies.filePath("b0000002.zip");
    QFile f(archive);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 but nothing more");
    f.close();
    const QByteArray register_ = t.readFile("Baza/Anketi.dat");
    t.platform.openFileResults.enqueue(archive);

    controls(w).BackUp1->trigger();

    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Notice);
    EXPECT_TRUE(t.platform.messages[0].text.contains(archive));
    EXPECT_TRUE(filesOpen());
    EXPECT_EQ(app().session().mainCount(), 5);
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), register_);
    EXPECT_EQ(closed->count(), 0);
}

TEST_F(Commands, NoArchiveChosenDoesNothing) {
    t.platform.openFileResults.enqueue(QString());
    t.platform.openFileResults.enqueue(t.path("Backup/b0000404.zip")); // no such file
    controls(w).BackUp1->trigger();
    controls(w).BackUp1->trigger();
    EXPECT_TRUE(t.platform.messages.isEmpty());
    EXPECT_TRUE(filesOpen());
    EXPECT_EQ(closed->count(), 0);
}

TEST_F(Commands, NetworkHelpOpensTheGuideAtTheSecondMention) {
    t.app().nastroika()->pRezKop()->click();
    EXPECT_EQ(t.platform.officeCalls,
              (QStringList{"Word.Application", "Documents.Open " + t.path("Help/ReadMe.doc"),
                           "Find.Forward true", QStringLiteral("Find.Text Если у Вас сеть"),
                           "Find.Execute", "Find.Execute", "Visible true"}));
    EXPECT_TRUE(t.platform.messages.isEmpty()) << "the document itself shows where";

    t.platform.clearRecords();
    t.platform.officeFails = true;
    t.app().nastroika()->pRezKop()->click();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_EQ(t.platform.messages[0].kind, ShownMessage::Error);
}

TEST_F(Commands, ACraftedArchiveCannotReachOutsideTheFolderAtTheNextStart) {
    QTemporaryDir copies;
    QTemporaryDir outside;
    const QString archive = copies.filePath("b0000003.zip");
    for (const char* name : {"target.txt", "evil.txt", "precious.txt"})
        writeBytes(outside.filePath(name), name);
    // A journal as the start obeyed one, naming files outside the data folder.
    const QByteArray journal =
        "zelm restore journal 1\n" + t.path("Baza").toUtf8() + "\nforward\n" +
        (outside.filePath("target.txt") + "\t" + outside.filePath("evil.txt") + "\t" +
         outside.filePath("precious.txt") + "\n")
            .toUtf8() +
        "end\n";
    writeZip(archive, {{"Anketi.dat", "planted cards", 0}, {"zelm-restore.journal", journal, 0}});
    const QByteArray cards = t.readFile("Baza/Anketi.dat");
    app().settings().ReadPapka = copies.path();
    t.platform.openFileResults.enqueue(archive);
    controls(w).BackUp1->trigger();
    ASSERT_EQ(t.platform.messages.size(), 1);
    EXPECT_TRUE(t.platform.messages[0].text.startsWith(QStringLiteral("Восстановление невозможно")))
        << t.platform.messages[0].text.toStdString();
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), cards);

    // An archive with a file of its own besides the data files: only the data files come back,
    // and the user is told which were left out.
    writeZip(archive, {{"Anketi.dat", "archived cards", 0}, {"Mine.txt", "not ours", 0}});
    t.platform.openFileResults.enqueue(archive);
    controls(w).BackUp1->trigger();
    ASSERT_EQ(t.platform.messages.size(), 2);
    EXPECT_EQ(t.platform.messages[1].text,
              QStringLiteral("Операция выполнена\nФайлы архива, которые не относятся к данным "
                             "программы, не восстановлены: Mine.txt"));
    EXPECT_FALSE(QFile::exists(t.path("Baza/Mine.txt")));

    // The next start.
    t.stop();
    t.platform.clearRecords();
    t.start();
    EXPECT_TRUE(t.platform.messages.isEmpty());
    for (const char* name : {"target.txt", "evil.txt", "precious.txt"}) {
        QFile f(outside.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(f.readAll(), name);
    }
    EXPECT_EQ(t.readFile("Baza/Anketi.dat"), "archived cards");
}
