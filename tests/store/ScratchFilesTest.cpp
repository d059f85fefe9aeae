// Scratch files of rewrites: where they are made, what a crash leaves, what start-up removes,
// and that every rename over data is made durable.
#include "store/ScratchFiles.h"
#include "backup/ZipBackup.h"
#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RecordFileRewrite.h"
#include "store/TextFiles.h"

#include "common/CardFactory.h"
#include "common/FileBytes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

QStringList listing(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

mode_t modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        inst.prepare();
    }
    void TearDown() override {
        setScratchFolder(QString());
        QDir::setCurrent(QDir::tempPath());
    }
    QTemporaryDir dir;
    Installation inst{dir.path()};
};

} // namespace

TEST_F(Scratch, AreMadeInTempUnderTheScratchPrefix) {
    EXPECT_EQ(scratchFolder(), inst.path("Temp"));
    QString path;
    ::close(createScratchFile(inst.mainCardFile(), path));
    EXPECT_EQ(QFileInfo(path).absolutePath(), inst.path("Temp"));
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith("~zelm-Anketi.dat."));
    EXPECT_TRUE(isScratchFileName(QFileInfo(path).fileName()));
    // A Temp that is gone: beside the file, still under a scratch name.
    setScratchFolder(dir.filePath("gone"));
    EXPECT_EQ(scratchFolderFor(inst.mainCardFile()), inst.path("Baza"));
}

TEST_F(Scratch, AnInsertionKilledMidWriteLeavesTheRegisterWholeAndNothingInBaza) {
    // A register large enough that the child is still writing when it is killed.
    const int n = 20000;
    {
        CardFile main;
        main.create(inst.mainCardFile(), sizeof(TAnketa));
        std::vector<TAnketa> cards = makeCards(200);
        for (int i = 0; i < n / 200; ++i)
            main.appendMany(cards.data(), static_cast<qint64>(cards.size()));
    }
    const QByteArray before = [&] {
        QFile f(inst.mainCardFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const pid_t pid = ::fork();
    if (pid == 0) {
        CardFile main;
        CardFile working;
        main.open(inst.mainCardFile(), sizeof(TAnketa));
        insertCardIntoMainFile(main, working, inst.workingCardFile(), n / 2, makeCard(99999));
        ::_exit(0);
    }
    // Killed once a scratch file of the register (not the Working card file) has grown.
    bool killed = false;
    QElapsedTimer clock;
    clock.start();
    while (!killed && clock.elapsed() < 20000) {
        for (const QString& folder : {inst.path("Temp"), inst.path("Baza")})
            for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
                if (f.fileName() != "RabAnket.dat" && f.fileName() != "Anketi.dat" &&
                    f.size() > (1 << 20) && ::kill(pid, SIGKILL) == 0)
                    killed = true;
        int status = 0;
        if (!killed && ::waitpid(pid, &status, WNOHANG) == pid)
            break;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!killed)
        GTEST_SKIP() << "the insertion ended before it could be interrupted";

    EXPECT_EQ(listing(inst.path("Baza")), QStringList{"Anketi.dat"});
    // Whole, old or new: killed just after its rename, the insertion has completed.
    QFile f(inst.mainCardFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    if (after.size() == before.size())
        EXPECT_TRUE(after == before) << "the register changed";
    else
        EXPECT_EQ(after.size(), before.size() + qsizetype(sizeof(TAnketa)));
    EXPECT_TRUE(filesToBackUp(inst.path("Baza")) == QStringList{"Anketi.dat"});
    EXPECT_GE(removeLeftoverScratchFiles(inst), 1);
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{"RabAnket.dat"});
}

TEST_F(Scratch, StartUpRemovesLeftoversAndABackupNeverPacksThem) {
    for (const char* name : {"~zelm-Anketi.dat.Ab12Cd", "Anketi.dat.new", ".restore-x1Y2z3",
                             "Anketi.dat", "Povod.txt", "Mine~zelm-.txt"})
        writeBytes(inst.path("Baza/") + name, "x");
    for (const char* name : {"~zelm-Kusp.txt.aaaaaa", "ArhAnket.new", "RabAnket.dat"})
        writeBytes(inst.path("Temp/") + name, "x");
    writeBytes(inst.path("~zelm-NoKor.vez.bbbbbb"), "x");
    writeBytes(inst.path("NoKor.vez"), "x");

    EXPECT_EQ(filesToBackUp(inst.path("Baza")),
              (QStringList{"Anketi.dat", "Mine~zelm-.txt", "Povod.txt"}));
    EXPECT_EQ(removeLeftoverScratchFiles(inst), 6);
    EXPECT_EQ(listing(inst.path("Baza")),
              (QStringList{"Anketi.dat", "Mine~zelm-.txt", "Povod.txt"}));
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{"RabAnket.dat"});
    EXPECT_TRUE(QFile::exists(inst.path("NoKor.vez")));
    EXPECT_FALSE(QFile::exists(inst.path("~zelm-NoKor.vez.bbbbbb")));
}

TEST_F(Scratch, WholeFileWritesLeaveNoScratchFileAndKeepTheFileMode) {
    const QString list = inst.path("Baza/Povod.txt");
    writeTextLines(list, {"one"});
    EXPECT_EQ(modeOf(list), newFileMode());
    ASSERT_EQ(::chmod(QFile::encodeName(list).constData(), 0640), 0);
    writeTextLines(list, {"one", "two"});
    EXPECT_EQ(modeOf(list), 0640u);
    EXPECT_EQ(listing(inst.path("Baza")), QStringList{"Povod.txt"});
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{});
    // A write that fails leaves the old file and no scratch file.
    EXPECT_THROW(writeTextLines(inst.path("Baza/no/such/folder.txt"), {"x"}), FileError);
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{});
}

TEST_F(Scratch, EveryRenameOverDataSyncsItsFolder) {
    const QString list = inst.path("Baza/Povod.txt");
    quint64 syncs = folderSyncsSoFar();
    writeTextLines(list, {"one"});
    EXPECT_EQ(folderSyncsSoFar(), syncs + 1) << "whole-file write";

    CardFile main;
    main.create(inst.mainCardFile(), sizeof(TAnketa));
    auto cards = makeCards(3);
    main.appendMany(cards.data(), 3);
    CardFile working;
    syncs = folderSyncsSoFar();
    insertCardIntoMainFile(main, working, inst.workingCardFile(), 1, makeCard(7));
    EXPECT_EQ(folderSyncsSoFar(), syncs + 1) << "insertion";
    EXPECT_EQ(main.count(), 4);

    syncs = folderSyncsSoFar();
    removeRecordByRewrite(main, 0, newScratchPath(main.path()));
    EXPECT_EQ(folderSyncsSoFar(), syncs + 1) << "removal";

    writeBytes(inst.path("Temp/new.dat"), "n");
    syncs = folderSyncsSoFar();
    replaceFile(inst.path("Temp/new.dat"), inst.path("Baza/ArhAnket.dat"));
    EXPECT_EQ(folderSyncsSoFar(), syncs + 1) << "replaceFile";
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{"RabAnket.dat"});
}

TEST_F(Scratch, AWholeFileWriteThatMeetsAFullDiskLeavesTheOldFile) {
    const QString list = inst.path("Baza/Povod.txt");
    writeTextLines(list, {"old"});
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto* handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000; // no file may grow past 1000 bytes, as on a full disk
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        writeTextLines(list, QStringList(200, QStringLiteral("строка списка")));
    } catch (const FileError& e) {
        failed = true;
        EXPECT_TRUE(e.fileName().contains("Povod.txt")) << e.fileName().toStdString();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_TRUE(failed);
    EXPECT_EQ(readTextLines(list), QStringList{"old"});
    EXPECT_EQ(listing(inst.path("Temp")), QStringList{});
}
