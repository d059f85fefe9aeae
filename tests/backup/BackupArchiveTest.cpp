// Writing the backup archive and the numbering and rotation of the backup folder.
#include "ZipTestSupport.h"
#include "backup/BackupRotation.h"
#include "backup/ZipBackup.h"
#include "backup/ZipError.h"
#include "common/CardFactory.h"
#include "store/Cp1251.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

constexpr auto put = writeBytes;

QStringList names(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString archiveName(int n) {
    return QStringLiteral("b%1.zip").arg(n, 7, 10, QLatin1Char('0'));
}

class Rotation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        put(data + "/Anketi.dat", "cards");
    }
    void archives(int from, int to) {
        for (int i = from; i <= to; ++i)
            put(backups + "/" + archiveName(i), "old");
    }
    QTemporaryDir dir;
    QString data = dir.filePath("Baza");
    QString backups = dir.filePath("Backup");
};

} // namespace

TEST_F(Rotation, MissingFolderIsMadeAndGetsTheFirstArchive) {
    EXPECT_EQ(makeBackup(data, backups), backups + "/b0000001.zip");
    EXPECT_EQ(names(backups), QStringList{"b0000001.zip"});
}

TEST_F(Rotation, OnlyTheLastLevelOfTheFolderIsMade) {
    const QString deep = dir.filePath("no/such/Backup");
    EXPECT_THROW(makeBackup(data, deep), ZipError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no")));
}

TEST_F(Rotation, KeepsTheLastTenArchives) {
    archives(1, 9);
    makeBackup(data, backups);
    EXPECT_EQ(names(backups).size(), 10);
    EXPECT_TRUE(QFile::exists(backups + "/b0000001.zip"));
    EXPECT_TRUE(QFile::exists(backups + "/b0000010.zip"));

    makeBackup(data, backups);
    EXPECT_EQ(names(backups).size(), 10);
    EXPECT_FALSE(QFile::exists(backups + "/b0000001.zip"));
    EXPECT_TRUE(QFile::exists(backups + "/b0000011.zip"));
}

TEST_F(Rotation, TwelveArchivesPlacedByHandLoseTheThreeLowest) {
    archives(1, 12);
    makeBackup(data, backups + "/"); // a trailing slash changes nothing
    QStringList expected;
    for (int i = 4; i <= 13; ++i)
        expected << archiveName(i);
    EXPECT_EQ(names(backups), expected);
}

TEST_F(Rotation, OtherFilesAndFoldersAreNeverDeletedOrNumberedFrom) {
    archives(5, 16);
    put(backups + "/b12.zip", "user");
    put(backups + "/b0000003.zip.bak", "user");
    put(backups + "/a_notes.txt", "user");
    put(backups + "/zz_last.txt", "user"); // sorts last: it must not give a number
    put(backups + "/b0000002/inside.txt", "user");
    QDir().mkpath(backups + "/b0000001.zip"); // a folder with an archive's name

    EXPECT_EQ(makeBackup(data, backups), backups + "/b0000017.zip");
    const QStringList left = names(backups);
    for (const char* kept :
         {"b12.zip", "b0000003.zip.bak", "a_notes.txt", "zz_last.txt", "b0000002", "b0000001.zip"})
        EXPECT_TRUE(left.contains(kept)) << kept;
    EXPECT_TRUE(QFile::exists(backups + "/b0000002/inside.txt"));
    ASSERT_EQ(listBackupArchives(backups).size(), 10);
    EXPECT_EQ(listBackupArchives(backups).first().number, 8);
}

TEST_F(Rotation, NumbersFollowTheHighestNotTheCount) {
    put(backups + "/b0000004.zip", "");
    put(backups + "/B0000120.ZIP", ""); // copied from a system that ignores case
    EXPECT_EQ(nextBackupFileName(listBackupArchives(backups)), "b0000121.zip");
}

TEST_F(Rotation, FailedWriteKeepsEveryOldArchive) {
    archives(1, 10);
    EXPECT_THROW(makeBackup(dir.filePath("NoData"), backups), ZipError);
    EXPECT_EQ(listBackupArchives(backups).size(), 10);
    for (const QString& n : names(backups))
        EXPECT_FALSE(n.endsWith(".part")) << n.toStdString();
}

TEST(BackupArchive, HoldsThePlainFilesOfTheFolderUnderBareNames) {
    QTemporaryDir dir;
    const QString data = dir.filePath("Baza");
    const auto cards = makeCards(200);
    const QByteArray cardBytes(reinterpret_cast<const char*>(cards.data()),
                               static_cast<qsizetype>(cards.size() * sizeof(cards[0])));
    QByteArray noise(100000, '\0');
    QRandomGenerator gen(7);
    gen.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QByteArray list = toCp1251(QStringLiteral("Опрос\r\nНаблюдение\r\n"));
    put(data + "/Anketi.dat", cardBytes);
    put(data + "/VidORM.txt", list);
    put(data + "/Фото проверки.jpg", noise);
    put(data + "/Empty.txt", "");
    put(data + "/.hidden", "not backed up");
    put(data + "/Sub/Inner.txt", "not backed up");
    const QString archive = dir.filePath("Backup/b0000001.zip");
    QDir().mkpath(dir.filePath("Backup"));

    writeFolderArchive(data, archive);

    const QList<ZipEntry> entries = readZip(archive);
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].name, "Anketi.dat");
    EXPECT_EQ(entries[0].data, cardBytes);
    EXPECT_EQ(entries[0].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(entries[1].name, "Empty.txt");
    EXPECT_EQ(entries[1].method, ZIP_CM_STORE);
    EXPECT_EQ(entries[2].name, "VidORM.txt");
    EXPECT_EQ(entries[2].data, list);
    EXPECT_EQ(entries[3].name, QStringLiteral("Фото проверки.jpg"));
    EXPECT_EQ(entries[3].data, noise);
    EXPECT_EQ(entries[3].method, ZIP_CM_STORE); // deflate cannot shrink random bytes
    EXPECT_EQ(names(dir.filePath("Backup")), QStringList{"b0000001.zip"});

    // Other programs read it too.
    if (!QStandardPaths::findExecutable("unzip").isEmpty()) {
        QProcess unzip;
        unzip.start("unzip", {"-tq", archive});
        ASSERT_TRUE(unzip.waitForFinished());
        EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardOutput().toStdString();
    }
    if (!QStandardPaths::findExecutable("python3").isEmpty()) {
        QProcess py;
        py.start("python3", {"-c",
                             "import sys,zipfile\n"
                             "z=zipfile.ZipFile(sys.argv[1])\n"
                             "assert z.testzip() is None\n"
                             "print('|'.join(i.filename for i in z.infolist()))",
                             archive});
        ASSERT_TRUE(py.waitForFinished());
        EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
                  QStringLiteral("Anketi.dat|Empty.txt|VidORM.txt|Фото проверки.jpg"));
    }
}

TEST(BackupArchive, EmptyDataFolderGivesAnEmptyValidArchive) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Baza"));
    writeFolderArchive(dir.filePath("Baza"), dir.filePath("b0000001.zip"));
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(dir.filePath("b0000001.zip")).constData(),
                         ZIP_RDONLY | ZIP_CHECKCONS, &code);
    ASSERT_NE(za, nullptr);
    EXPECT_EQ(zip_get_num_entries(za, 0), 0);
    zip_discard(za);
}

TEST(BackupArchive, UnreadableFileFailsWithoutLeavingAnArchive) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    const QString data = dir.filePath("Baza");
    put(data + "/Anketi.dat", "cards");
    QFile(data + "/Anketi.dat").setPermissions(QFileDevice::WriteOwner);
    EXPECT_THROW(writeFolderArchive(data, dir.filePath("b0000001.zip")), ZipError);
    EXPECT_EQ(names(dir.path()), QStringList{"Baza"});
}

TEST(BackupArchive, ArchiveThatCannotBeWrittenFailsCleanly) {
    QTemporaryDir dir;
    put(dir.filePath("Baza/Anketi.dat"), "cards");
    EXPECT_THROW(writeFolderArchive(dir.filePath("Baza"), dir.filePath("gone/b0000001.zip")),
                 ZipError);
    EXPECT_EQ(names(dir.path()), QStringList{"Baza"});
}
