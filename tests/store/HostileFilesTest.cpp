// Files that are not what they should be: links, pipes and devices where a plain file is
// expected, garbage in the lock, and the Russian texts of the platform's errors.
#include "store/Cp1251.h"
#include "store/DataFolderLock.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"
#include "store/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace zelm;

namespace {

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool isRussian(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x410 && c.unicode() <= 0x44f)
            return true;
    return false;
}

bool hasLatinWord(const QString& text) {
    static const QStringList english = {"file", "File",  "denied", "directory",
                                        "Disk", "error", "such"};
    for (const QString& w : english)
        if (text.contains(w))
            return true;
    return false;
}

} // namespace

TEST(HostileFiles, ErrorsOfThePlatformReadInRussian) {
    for (int err : {ENOENT, EACCES, EPERM, EROFS, EISDIR, ENOSPC, EDQUOT, EFBIG, EMFILE, EIO}) {
        const QString text = FileError::messageForErrno(err);
        EXPECT_TRUE(isRussian(text)) << err << " " << text.toStdString();
        EXPECT_FALSE(hasLatinWord(text)) << text.toStdString();
    }
    EXPECT_NE(FileError::messageForErrno(ENOSPC), FileError::messageForErrno(EROFS));
    EXPECT_NE(FileError::messageForErrno(ENOENT), FileError::messageForErrno(EISDIR));

    QTemporaryDir dir;
    // A missing reference list, and a folder where a list should be.
    for (const QString& path : {dir.filePath("none.txt"), dir.path()}) {
        try {
            readTextLines(path);
            ADD_FAILURE() << path.toStdString();
        } catch (const FileError& e) {
            EXPECT_TRUE(isRussian(e.message())) << e.message().toStdString();
            EXPECT_FALSE(hasLatinWord(e.message())) << e.message().toStdString();
            EXPECT_EQ(e.fileName(), path);
        }
    }
}

TEST(HostileFiles, ReadsRefuseLinksPipesAndDevicesAndStopAtTheLimit) {
    QTemporaryDir dir;
    const QString real = dir.filePath("Anketi.dat");
    put(real, "cards");
    const QString link = dir.filePath("link.txt");
    ASSERT_EQ(::symlink(real.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    const QString fifo = dir.filePath("fifo.txt");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // Each of these used to be followed: the pipe hung the read, /dev/zero ate memory.
    for (const QString& path : {link, fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        try {
            readRegularFile(path, 1 << 20);
            ADD_FAILURE() << path.toStdString();
        } catch (const FileError& e) {
            EXPECT_TRUE(isRussian(e.message()));
            EXPECT_EQ(e.fileName(), path);
        }
    }
    put(real, QByteArray(5000, 'x'));
    EXPECT_THROW(readRegularFile(real, 4096), FileError);
    EXPECT_EQ(readRegularFile(real, 4096, OverLimit::Cut).size(), 4096);
    EXPECT_EQ(readRegularFile(real, 5000).size(), 5000);
}

TEST(HostileFiles, AReportFileThatIsALinkIsRefusedAndItsTargetKept) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Baza"));
    QDir().mkpath(dir.filePath("report"));
    const QString cards = dir.filePath("Baza/Anketi.dat");
    put(cards, QByteArray(1744, 'A'));
    const QString report = dir.filePath("report/KnigaDat.txt");
    ASSERT_EQ(::symlink("../Baza/Anketi.dat", report.toLocal8Bit().constData()), 0);
    try {
        ReportFile file(report);
        file.write(QStringLiteral("|0:wladelec:ОВД\r\n"));
        file.close();
        ADD_FAILURE() << "the link was followed";
    } catch (const FileError& e) {
        EXPECT_TRUE(isRussian(e.message()));
        EXPECT_EQ(e.fileName(), report);
    }
    EXPECT_EQ(get(cards), QByteArray(1744, 'A'));
    EXPECT_TRUE(QFileInfo(report).isSymLink());
}

TEST(HostileFiles, ALockThatIsNoPlainFileIsRefusedWithAMessageNotAHang) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Zelm.lock");
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    struct Case {
        const char* what;
        std::function<void()> make;
    };
    const std::vector<Case> cases = {
        {"pipe", [&] { ASSERT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0); }},
        {"link to a pipe",
         [&] { ASSERT_EQ(::symlink("pipe", path.toLocal8Bit().constData()), 0); }},
        {"dangling link", [&] { ASSERT_EQ(::symlink("gone", path.toLocal8Bit().constData()), 0); }},
    };
    for (const Case& c : cases) {
        QFile::remove(path);
        c.make();
        DataFolderLock lock(path);
        try {
            lock.acquire();
            ADD_FAILURE() << c.what;
        } catch (const FileError& e) {
            EXPECT_TRUE(isRussian(e.message())) << c.what;
            EXPECT_FALSE(e.message().contains(QStringLiteral("не найден"))) << c.what;
            EXPECT_EQ(e.fileName(), path);
        }
        EXPECT_FALSE(lock.held());
    }
}

TEST(HostileFiles, AGarbageLockShowsNoBinaryJunkAsTheUsersName) {
    QByteArray junk;
    for (int i = 0; i < 300; ++i)
        junk.append(static_cast<char>((i * 37 + 11) % 256));
    const LockOwner o = parseLockFile(junk);
    EXPECT_TRUE(o.user.isEmpty());
    EXPECT_TRUE(o.machine.isEmpty());
    // Printable names survive, and the message then names them.
    const LockOwner named = parseLockFile(toCp1251(QStringLiteral("Петров\r\nws-12\r\n4242\r\n")));
    EXPECT_EQ(named.user, QStringLiteral("Петров"));
    EXPECT_EQ(named.pid, 4242);
    EXPECT_FALSE(parseLockFile("ab\x01\x02\r\nws\r\n17\r\n").user.contains(QChar(1)));

    QTemporaryDir dir;
    const QString path = dir.filePath("Zelm.lock");
    put(path, junk);
    DataFolderLock lock(path);
    EXPECT_EQ(lock.acquire(), DataFolderLock::Status::HeldOnOtherMachine);
    const QString message = folderInUseMessage(lock.holder());
    for (QChar c : message)
        EXPECT_TRUE(c.isPrint() || c == QLatin1Char('\n')) << int(c.unicode());
}
