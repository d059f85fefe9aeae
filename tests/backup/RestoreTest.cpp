// Reading a backup archive back into the data folder, and archives that must change nothing.
#include "ZipTestSupport.h"
#include "backup/ZipBackup.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "store/ScratchFiles.h"

#include "common/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

constexpr auto put = writeBytes;

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every file below `folder`, with its contents.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDir root(folder);
    std::function<void(const QString&)> walk = [&](const QString& path) {
        for (const QFileInfo& i : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::NoDotAndDotDot | QDir::System)) {
            if (i.isDir())
                walk(i.filePath());
            else
                out.insert(root.relativeFilePath(i.filePath()), get(i.filePath()));
        }
    };
    walk(folder);
    return out;
}

class Restore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        put(data + "/Anketi.dat", "current cards");
        put(data + "/Mine.txt", "kept");
        ASSERT_TRUE(QDir().mkpath(dir.filePath("Temp")));
        setScratchFolder(dir.filePath("Temp")); // as the installation sets it
        before = snapshot(dir.path());
    }
    void TearDown() override { setScratchFolder(QString()); }
    void expectNothingChanged() { EXPECT_EQ(snapshot(dir.path()), before); }
    QTemporaryDir dir;
    QTemporaryDir archiveDir; // apart, so that snapshots of `dir` do not see it
    QString data = dir.filePath("Baza");
    QString archive = archiveDir.filePath("archive.zip");
    QMap<QString, QByteArray> before;
};

QByteArray sizeable(char fill) {
    return QByteArray(50000, fill) + QByteArray("конец");
}

} // namespace

TEST_F(Restore, ReplacesTheArchivedFilesAndKeepsTheOthers) {
    writeZip(archive, {{"Anketi.dat", sizeable('a'), ZIP_CM_DEFLATE},
                       {"Povod.txt", "\xCF\xEE\xE2\xEE\xE4\r\n", ZIP_CM_STORE},
                       {"Sub/", "", ZIP_CM_STORE}});
    PreparedRestore prepared = prepareRestore(archive, data);
    EXPECT_EQ(prepared.names(), (QStringList{"Anketi.dat", "Povod.txt"}));
    EXPECT_EQ(get(data + "/Anketi.dat"), "current cards"); // nothing replaced before commit
    prepared.commit();
    EXPECT_EQ(get(data + "/Anketi.dat"), sizeable('a'));
    EXPECT_EQ(get(data + "/Povod.txt"), "\xCF\xEE\xE2\xEE\xE4\r\n");
    EXPECT_EQ(get(data + "/Mine.txt"), "kept");
    EXPECT_EQ(QDir(data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Anketi.dat", "Mine.txt", "Povod.txt"}));
}

TEST_F(Restore, ABackupComesBackWhole) {
    put(data + "/ArhAnket.dat", sizeable('z'));
    const auto original = snapshot(data);
    writeFolderArchive(data, archive);
    put(data + "/ArhAnket.dat", "changed since");
    prepareRestore(archive, data).commit();
    EXPECT_EQ(snapshot(data), original);
}

TEST_F(Restore, EntryNamesCannotLeaveTheDataFolder) {
    const QString outside =
        QDir::tempPath() +
        QStringLiteral("/zelm-restore-probe-%1/VidORM.txt").arg(QCoreApplication::applicationPid());
    writeZip(archive, {{"../../etc/Osnovan.txt", "one", ZIP_CM_STORE},
                       {outside, "two", ZIP_CM_STORE},
                       {"C:\\ZELM\\Baza\\FIOSotr.txt", "three", ZIP_CM_STORE},
                       {"C:ArhAnket.dat", "four", ZIP_CM_STORE},
                       {"a\\..\\", "six", ZIP_CM_STORE}});
    prepareRestore(archive, data).commit();
    auto after = snapshot(dir.path());
    for (const char* name :
         {"Baza/Osnovan.txt", "Baza/FIOSotr.txt", "Baza/ArhAnket.dat", "Baza/VidORM.txt"})
        EXPECT_TRUE(after.remove(name)) << name;
    EXPECT_FALSE(QFile::exists(outside));
    EXPECT_EQ(after, before);
}

TEST_F(Restore, OnlyTheProgramsDataFilesComeBackAndItsOwnNamesRefuseTheArchive) {
    // A backup holds whatever lay in Baza; only what the program reads is written back, under
    // the name the program reads it by.
    writeZip(archive, {{"ANKETI.DAT", "cards", ZIP_CM_STORE},
                       {"passwd", "root", ZIP_CM_STORE},
                       {"Mine.txt", "replaced?", ZIP_CM_STORE}});
    PreparedRestore prepared = prepareRestore(archive, data);
    EXPECT_EQ(prepared.names(), QStringList{"Anketi.dat"});
    EXPECT_EQ(prepared.skipped(), (QStringList{"passwd", "Mine.txt"}));
    prepared.commit();
    EXPECT_EQ(get(data + "/Anketi.dat"), "cards");
    EXPECT_EQ(get(data + "/Mine.txt"), "kept");
    EXPECT_FALSE(QFile::exists(data + "/passwd"));
    before = snapshot(dir.path());
    for (const char* reserved : {"zelm-restore.journal", "x/ZELM-RESTORE.JOURNAL", "Zelm.lock",
                                 "~zelm-Anketi.dat.AbC123", "zelm-restore.journal.kept-1"}) {
        writeZip(archive,
                 {{"Povod.txt", "list", ZIP_CM_STORE}, {reserved, "forward", ZIP_CM_STORE}});
        try {
            prepareRestore(archive, data).commit();
            ADD_FAILURE() << reserved;
        } catch (const ZipError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("служебного файла")))
                << e.message().toStdString();
        }
        expectNothingChanged();
    }
}

TEST(RestoreNames, BareNames) {
    EXPECT_EQ(bareEntryName("Anketi.dat"), "Anketi.dat");
    EXPECT_EQ(bareEntryName("Baza/Anketi.dat"), "Anketi.dat");
    EXPECT_EQ(bareEntryName("c:\\ZELM\\Baza\\Справка.txt"), QStringLiteral("Справка.txt"));
    EXPECT_EQ(bareEntryName("/etc/passwd"), "passwd");
    EXPECT_EQ(bareEntryName("Sub/"), "");
    for (const char* name : {"a/..", ".", "C:", "bad\nname", "x/tab\there"})
        EXPECT_FALSE(unusableNameReason(name, bareEntryName(name)).isEmpty()) << name;
    EXPECT_FALSE(unusableNameReason("long", QString(256, 'n')).isEmpty());
    EXPECT_TRUE(unusableNameReason("ok", QString(255, 'n')).isEmpty());
    // 128 Cyrillic letters are 256 bytes in the file system's UTF-8.
    EXPECT_FALSE(unusableNameReason("long", QString(128, QChar(0x0416))).isEmpty());
}

TEST_F(Restore, NotAZipChangesNothing) {
    put(archive, "This is a text file, not an archive.\r\n");
    EXPECT_THROW(prepareRestore(archive, data), ZipError);
    expectNothingChanged();
}

TEST_F(Restore, TruncatedZipChangesNothing) {
    writeZip(archive, {{"Anketi.dat", sizeable('b'), ZIP_CM_DEFLATE}});
    QByteArray bytes = get(archive);
    put(archive, bytes.left(bytes.size() - 30));
    EXPECT_THROW(prepareRestore(archive, data), ZipError);
    expectNothingChanged();
}

TEST_F(Restore, CorruptEntryDataChangesNothing) {
    for (int method : {ZIP_CM_STORE, ZIP_CM_DEFLATE}) {
        // A good entry first: it must not be written either.
        writeZip(archive,
                 {{"Povod.txt", "good", ZIP_CM_STORE}, {"Anketi.dat", sizeable('c'), method}});
        QByteArray bytes = get(archive);
        const qsizetype at = bytes.indexOf("Anketi.dat") + 10 + 20; // inside its data
        bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
        put(archive, bytes);
        try {
            prepareRestore(archive, data);
            ADD_FAILURE() << "damaged entry accepted, method " << method;
        } catch (const ZipError& e) {
            EXPECT_TRUE(e.message().contains("Anketi.dat")) << e.message().toStdString();
        }
        expectNothingChanged();
    }
}
