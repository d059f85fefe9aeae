// A restore either replaces every file the archive holds or none: hostile and damaged archives,
// a folder in the way, a full disk, and a step that fails halfway.
#include "ZipTestSupport.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "store/ScratchFiles.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Sets the uncompressed size both headers of entry `name` declare.
void declareSize(QByteArray& zip, const QByteArray& name, quint32 size) {
    int patched = 0;
    for (const auto& [signature, sizeAt, nameAt] :
         {std::tuple{QByteArray("PK\x03\x04", 4), 22, 30}, {QByteArray("PK\x01\x02", 4), 24, 46}}) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 1)) {
            if (zip.mid(at + nameAt, name.size()) != name)
                continue;
            qToLittleEndian<quint32>(size, zip.data() + at + sizeAt);
            ++patched;
        }
    }
    ASSERT_EQ(patched, 2) << name.constData();
}

class RestoreChecks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeBytes(data + "/Anketi.dat", "current cards");
        writeBytes(data + "/Povod.txt", "current list");
        ASSERT_TRUE(QDir().mkpath(temp));
        setScratchFolder(temp);
    }
    void TearDown() override { setScratchFolder(QString()); }

    // prepareRestore must refuse with a message containing `why`, and change nothing.
    void expectRefused(const QString& why) {
        try {
            prepareRestore(archive, data).commit();
            ADD_FAILURE() << "restore accepted";
        } catch (const ZipError& e) {
            EXPECT_TRUE(e.message().contains(why)) << e.message().toStdString();
        }
        expectUnchanged();
    }
    void expectUnchanged() {
        EXPECT_EQ(get(data + "/Anketi.dat"), "current cards");
        EXPECT_EQ(get(data + "/Povod.txt"), "current list");
        EXPECT_EQ(listing(temp), QStringList{}) << "scratch files left behind";
    }

    QTemporaryDir dir;
    QTemporaryDir archiveDir;
    QString data = dir.filePath("Baza");
    QString temp = dir.filePath("Temp");
    QString archive = archiveDir.filePath("b0000001.zip");
};

} // namespace

TEST_F(RestoreChecks, AnEntryThatCannotBeAFileStopsItBeforeAnythingIsReplaced) {
    const QString longName = QString(300, 'x') + ".dat";
    writeZip(archive,
             {{"Anketi.dat", "new cards", ZIP_CM_STORE}, {longName, "junk", ZIP_CM_STORE}});
    expectRefused(QStringLiteral("длиннее 255 байт"));

    writeZip(archive, {{"Anketi.dat", "new cards", ZIP_CM_STORE}, {"x/..", "junk", ZIP_CM_STORE}});
    expectRefused(QStringLiteral("x/.."));
}

TEST_F(RestoreChecks, AFolderInTheDataFolderUnderAnEntrysNameStopsIt) {
    ASSERT_TRUE(QDir().mkpath(data + "/KUSPForm.txt"));
    writeZip(archive,
             {{"Anketi.dat", "new cards", ZIP_CM_STORE}, {"KUSPForm.txt", "list", ZIP_CM_STORE}});
    expectRefused(QStringLiteral("папка с именем KUSPForm.txt"));
    EXPECT_TRUE(QFileInfo(data + "/KUSPForm.txt").isDir());
}

TEST_F(RestoreChecks, TwoEntriesWithOneBareNameAreRefused) {
    writeZip(archive,
             {{"Anketi.dat", "first", ZIP_CM_STORE}, {"x/Anketi.dat", "second", ZIP_CM_STORE}});
    expectRefused(QStringLiteral("«x/Anketi.dat»"));
    // Windows names ignore case, and the archives come from there.
    writeZip(archive, {{"Povod.txt", "first", ZIP_CM_STORE}, {"POVOD.TXT", "second", 0}});
    expectRefused(QStringLiteral("два файла"));
}

TEST_F(RestoreChecks, AnArchiveThatWouldUnpackToMoreThanABackupCanHoldIsRefused) {
    EXPECT_EQ(unpackedLimit(1 << 20), qint64(4) << 30);
    EXPECT_EQ(unpackedLimit(qint64(100) << 20), qint64(6400) << 20);
    // Two entries that claim 3 GB each: 6 GB from an archive of a few hundred bytes.
    writeZip(archive, {{"Anketi.dat", QByteArray(1000, 'a'), ZIP_CM_DEFLATE},
                       {"ArhAnket.dat", QByteArray(1000, 'b'), ZIP_CM_DEFLATE}});
    QByteArray bytes = get(archive);
    declareSize(bytes, "Anketi.dat", 3u << 30);
    declareSize(bytes, "ArhAnket.dat", 3u << 30);
    writeBytes(archive, bytes);
    expectRefused(QStringLiteral("больше, чем может занять резервная копия"));
}

TEST_F(RestoreChecks, AnEntryHoldingMoreThanItDeclaresIsRefused) {
    writeZip(archive, {{"Anketi.dat", "new cards", ZIP_CM_STORE},
                       {"Povod.txt", QByteArray(200000, 'p'), ZIP_CM_DEFLATE}});
    QByteArray bytes = get(archive);
    declareSize(bytes, "Povod.txt", 1000);
    writeBytes(archive, bytes);
    expectRefused(QStringLiteral("Povod.txt"));
}

TEST_F(RestoreChecks, AStepThatFailsHalfwayPutsEveryOldFileBack) {
    writeZip(archive, {{"Anketi.dat", "new cards", ZIP_CM_STORE},
                       {"VidORM.txt", "a file not there before", ZIP_CM_STORE},
                       {"Povod.txt", "new list", ZIP_CM_STORE}});
    PreparedRestore prepared = prepareRestore(archive, data);
    // Between the checks and the replacement the last name becomes a folder.
    ASSERT_TRUE(QFile::remove(data + "/Povod.txt"));
    ASSERT_TRUE(QDir().mkpath(data + "/Povod.txt/inside"));
    try {
        prepared.commit();
        ADD_FAILURE() << "commit succeeded over a folder";
    } catch (const ZipError& e) {
        EXPECT_TRUE(e.message().contains("Povod.txt")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("остались прежними")));
    }
    EXPECT_EQ(get(data + "/Anketi.dat"), "current cards");
    EXPECT_FALSE(QFile::exists(data + "/VidORM.txt"));
    EXPECT_EQ(listing(data), (QStringList{"Anketi.dat", "Povod.txt"}));
    EXPECT_EQ(listing(temp), QStringList{});
}

TEST_F(RestoreChecks, RestoredFilesKeepTheModeOfTheFilesTheyReplace) {
    const mode_t oldMask = ::umask(022);
    ASSERT_EQ(::chmod(QFile::encodeName(data + "/Anketi.dat").constData(), 0640), 0);
    writeZip(archive,
             {{"Anketi.dat", "new cards", ZIP_CM_STORE}, {"VidORM.txt", "new file", ZIP_CM_STORE}});
    prepareRestore(archive, data).commit();
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(data + "/Anketi.dat").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(QFile::encodeName(data + "/VidORM.txt").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(get(data + "/Anketi.dat"), "new cards");
    EXPECT_EQ(listing(temp), QStringList{});
    ::umask(oldMask);
}

TEST_F(RestoreChecks, ScratchFilesOfARestoreLiveInTempNotInTheDataFolder) {
    writeZip(archive, {{"Anketi.dat", "new cards", ZIP_CM_STORE}});
    PreparedRestore prepared = prepareRestore(archive, data);
    EXPECT_EQ(listing(data), (QStringList{"Anketi.dat", "Povod.txt"}));
    const QStringList scratch = listing(temp);
    ASSERT_EQ(scratch.size(), 1);
    EXPECT_TRUE(isScratchFileName(scratch.first())) << scratch.first().toStdString();
}

// Runs `body` in a child process with its own mount of a 1 MB tmpfs at `mountPoint`; the
// child's exit code is returned, 77 when this system cannot give it one.
int inSmallDisk(const QString& mountPoint, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                ::_exit(77);
            QFile deny("/proc/self/setgroups");
            if (deny.open(QIODevice::WriteOnly))
                deny.write("deny");
            deny.close();
            QFile uidMap("/proc/self/uid_map");
            QFile gidMap("/proc/self/gid_map");
            if (!uidMap.open(QIODevice::WriteOnly) || !gidMap.open(QIODevice::WriteOnly))
                ::_exit(77);
            uidMap.write(QByteArray("0 ") + QByteArray::number(uid) + " 1\n");
            gidMap.write(QByteArray("0 ") + QByteArray::number(gid) + " 1\n");
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=1m") != 0)
            ::_exit(77);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(RestoreOnAFullDisk, MoreThanTheFreeSpaceIsRefusedBeforeAnythingIsWritten) {
    QTemporaryDir dir;
    QTemporaryDir archiveDir;
    const QString archive = archiveDir.filePath("b0000001.zip");
    // 3 MB of cards pack into a few kilobytes; the disk holds 1 MB.
    writeZip(archive, {{"Anketi.dat", QByteArray(3 << 20, 'c'), ZIP_CM_DEFLATE}});
    const QString root = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(root));
    const int code = inSmallDisk(root, [&] {
        const QString data = root + "/Baza";
        writeBytes(data + "/Anketi.dat", "current cards");
        QDir().mkpath(root + "/Temp");
        setScratchFolder(root + "/Temp");
        try {
            prepareRestore(archive, data).commit();
            return 1;
        } catch (const ZipError& e) {
            if (!e.message().contains(QStringLiteral("свободно")))
                return 2;
        }
        if (get(data + "/Anketi.dat") != "current cards" || !listing(root + "/Temp").isEmpty())
            return 3;
        return 0;
    });
    if (code == 77)
        GTEST_SKIP() << "no mount namespace for a small disk here";
    EXPECT_EQ(code, 0);
}

TEST_F(RestoreChecks, DamagedArchivesAreRefusedOrRestoreExactlyWhatWasPacked) {
    const QByteArray cards = QByteArray(20000, 'c') + "end of cards";
    const QByteArray list = QByteArray("\xCF\xEE\xE2\xEE\xE4\r\n", 7);
    writeZip(archive, {{"Anketi.dat", cards, ZIP_CM_DEFLATE}, {"Povod.txt", list, ZIP_CM_STORE}});
    const QByteArray good = get(archive);
    quint32 seed = 20261208;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        for (int flips = 1 + int(next() % 3); flips > 0; --flips) {
            const qsizetype at = qsizetype(next() % quint32(bad.size()));
            bad[at] = char(bad[at] ^ (1 << (next() % 8)));
        }
        writeBytes(archive, bad);
        try {
            prepareRestore(archive, data).commit();
        } catch (const ZipError&) {
            expectUnchanged();
            continue;
        }
        // Accepted: whatever names the damage left, every file holds data that was packed.
        for (const QString& name : listing(data)) {
            const QByteArray content = get(data + "/" + name);
            EXPECT_TRUE(content == cards || content == list || content == "current cards" ||
                        content == "current list")
                << "round " << round << ": " << name.toStdString();
        }
        EXPECT_EQ(listing(temp), QStringList{}) << "round " << round;
        QDir(data).removeRecursively();
        writeBytes(data + "/Anketi.dat", "current cards");
        writeBytes(data + "/Povod.txt", "current list");
    }
}
