// One program per data folder: the lock file, a folder in use, locks left by programs that
// ended, and two starts at the same moment.
#include "store/DataFolderLock.h"
#include "store/FileError.h"
#include "store/TextFiles.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

using Status = DataFolderLock::Status;

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A process id that has just ended.
qint64 endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

LockOwner someone(const QString& machine, qint64 pid) {
    LockOwner o = LockOwner::thisProcess();
    o.user = QStringLiteral("petrov");
    o.machine = machine;
    o.pid = pid;
    return o;
}

class Lock : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Zelm.lock");
    QStringList folder() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

} // namespace

TEST_F(Lock, ASecondProgramOnTheFolderIsRefusedNamingUserAndMachine) {
    const LockOwner me = LockOwner::thisProcess();
    EXPECT_FALSE(me.machine.isEmpty());
    EXPECT_EQ(me.pid, ::getpid());
    {
        DataFolderLock first(path);
        ASSERT_EQ(first.acquire(), Status::Acquired);
        EXPECT_EQ(parseLockFile(get(path)), me);
        EXPECT_EQ(folder(), QStringList{"Zelm.lock"}); // no scratch file stays

        DataFolderLock second(path); // this process is running, so the folder is in use
        ASSERT_EQ(second.acquire(), Status::InUse);
        EXPECT_FALSE(second.held());
        EXPECT_EQ(second.holder().user, me.user);
        const QString message = folderInUseMessage(second.holder());
        EXPECT_TRUE(message.contains(me.user)) << message.toStdString();
        EXPECT_TRUE(message.contains(me.machine)) << message.toStdString();
        second.release(); // not held: the first program's lock stays
        EXPECT_TRUE(QFile::exists(path));
    }
    EXPECT_FALSE(QFile::exists(path)) << "released when the program ends";
    DataFolderLock again(path);
    EXPECT_EQ(again.acquire(), Status::Acquired);
}

TEST_F(Lock, ALockLeftOnThisMachineIsTakenOver) {
    const LockOwner me = LockOwner::thisProcess();
    // A program that has ended.
    writeBytes(path, lockFileText(someone(me.machine, endedProcess())));
    DataFolderLock lock(path);
    EXPECT_EQ(lock.acquire(), Status::Acquired);
    EXPECT_EQ(parseLockFile(get(path)), me);
    lock.release();

    // A program killed but not yet reaped by its parent: a zombie holds nothing.
    const pid_t zombie = ::fork();
    if (zombie == 0)
        ::_exit(0);
    LockOwner killed = someone(me.machine, zombie);
    ::usleep(100000); // the child has ended; it stays a zombie until waited for
    killed.startTime = 0;
    writeBytes(path, lockFileText(killed));
    EXPECT_EQ(lock.acquire(), Status::Acquired);
    lock.release();
    ::waitpid(zombie, nullptr, 0);

    // A process id given to another program since: its start time differs.
    LockOwner reused = someone(me.machine, ::getpid());
    reused.startTime = me.startTime + 12345;
    writeBytes(path, lockFileText(reused));
    EXPECT_EQ(lock.acquire(), Status::Acquired);
    lock.release();

    // Written before the machine restarted.
    LockOwner beforeRestart = someone(me.machine, ::getpid());
    beforeRestart.bootId = QStringLiteral("00000000-0000-0000-0000-000000000000");
    writeBytes(path, lockFileText(beforeRestart));
    EXPECT_EQ(lock.acquire(), Status::Acquired);
    lock.release();
    EXPECT_EQ(folder(), QStringList{});
}

TEST_F(Lock, AnotherMachinesLockIsTakenOverOnlyAfterTheUserConfirms) {
    writeBytes(path, lockFileText(someone(QStringLiteral("KADRY-PC"), 4242)));
    DataFolderLock lock(path);
    ASSERT_EQ(lock.acquire(), Status::HeldOnOtherMachine);
    EXPECT_FALSE(lock.held());
    EXPECT_EQ(lock.holder().machine, QStringLiteral("KADRY-PC"));
    EXPECT_TRUE(takeOverQuestion(lock.holder()).contains("KADRY-PC"));
    EXPECT_TRUE(takeOverQuestion(lock.holder()).contains("petrov"));
    EXPECT_EQ(parseLockFile(get(path)).machine, QStringLiteral("KADRY-PC")) << "untouched";

    EXPECT_EQ(lock.takeOver(), Status::Acquired);
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(parseLockFile(get(path)), LockOwner::thisProcess());
    EXPECT_EQ(folder(), QStringList{"Zelm.lock"});
}

TEST_F(Lock, AnUnreadableLockFileIsAskedAboutNotIgnored) {
    writeBytes(path, QByteArray("\x01\x02", 2));
    DataFolderLock lock(path);
    EXPECT_EQ(lock.acquire(), Status::HeldOnOtherMachine);
    EXPECT_TRUE(folderInUseMessage(lock.holder()).contains(QStringLiteral("не известен")));
}

TEST_F(Lock, ReleaseLeavesALockThatIsNoLongerItsOwn) {
    DataFolderLock lock(path);
    ASSERT_EQ(lock.acquire(), Status::Acquired);
    writeBytes(path, lockFileText(someone(QStringLiteral("KADRY-PC"), 7)));
    lock.release();
    EXPECT_EQ(parseLockFile(get(path)).machine, QStringLiteral("KADRY-PC"));
}

TEST_F(Lock, OfTwoStartsAtOnceExactlyOneGetsTheFolder) {
    for (int round = 0; round < 5; ++round) {
        QList<pid_t> children;
        for (int i = 0; i < 2; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                DataFolderLock lock(path);
                const Status s = lock.acquire();
                ::usleep(300000); // still running while the other one looks
                ::_exit(s == Status::Acquired ? 0 : s == Status::InUse ? 1 : 2);
            }
            children << pid;
        }
        int acquired = 0;
        int refused = 0;
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            acquired += WEXITSTATUS(status) == 0;
            refused += WEXITSTATUS(status) == 1;
        }
        EXPECT_EQ(acquired, 1);
        EXPECT_EQ(refused, 1);
        QFile::remove(path); // both ended without releasing (_exit)
    }
}

TEST_F(Lock, AFolderWhereNoLockCanBeMadeIsAnError) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    DataFolderLock lock(path);
    EXPECT_THROW(lock.acquire(), FileError);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
}
