// A restore killed at any step: the next start finds Baza whole, the old set of files or the
// archive's, never a mix, and nothing left over in Temp.
#include "ZipTestSupport.h"
#include "backup/RestoreJournal.h"
#include "backup/ZipError.h"
#include "backup/ZipRestore.h"
#include "store/Installation.h"
#include "store/ScratchFiles.h"

#include "common/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// The restore's steps are the renames, links and removals it makes. These stand in for the
// C library's in this test program; armed, they kill the process before the chosen step.
std::atomic<int> g_stepsBeforeKill{-1};

void step() {
    if (g_stepsBeforeKill.load() < 0)
        return;
    if (g_stepsBeforeKill.fetch_sub(1) == 0)
        ::kill(::getpid(), SIGKILL);
}

template <typename Fn> Fn real(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto fn = real<int (*)(const char*, const char*)>("rename");
    step();
    return fn(from, to);
}

extern "C" int link(const char* from, const char* to) noexcept {
    static const auto fn = real<int (*)(const char*, const char*)>("link");
    step();
    return fn(from, to);
}

extern "C" int unlink(const char* path) noexcept {
    static const auto fn = real<int (*)(const char*)>("unlink");
    step();
    return fn(path);
}

namespace {

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QList<std::pair<QString, QByteArray>> kOld = {{"Anketi.dat", "old cards"},
                                                    {"ArhAnket.dat", "old archive"},
                                                    {"SpisFil.dat", "old links"},
                                                    {"Povod.txt", "old list"}};
const QList<std::pair<QString, QByteArray>> kNew = {{"Anketi.dat", "new cards"},
                                                    {"ArhAnket.dat", "new archive"},
                                                    {"SpisFil.dat", "new links"},
                                                    {"Povod.txt", "new list"},
                                                    {"VidORM.txt", "only in the archive"}};

enum class Set { Old, New, Mixed };

Set judge(const QString& baza) {
    bool allOld = get(baza + "/VidORM.txt") == "<missing>";
    bool allNew = true;
    for (const auto& [name, bytes] : kOld)
        allOld = allOld && get(baza + "/" + name) == bytes;
    for (const auto& [name, bytes] : kNew)
        allNew = allNew && get(baza + "/" + name) == bytes;
    return allOld ? Set::Old : allNew ? Set::New : Set::Mixed;
}

} // namespace

TEST(RestoreKill, AKillAtEveryStepLeavesTheOldSetOrTheArchivesAfterTheNextStart) {
    QTemporaryDir dir;
    const QString archive = dir.filePath("b0000001.zip");
    QList<ZipEntry> entries;
    for (const auto& [name, bytes] : kNew)
        entries.append({name, bytes, 8});
    writeZip(archive, entries);

    int sawOld = 0;
    int sawNew = 0;
    for (int steps = 0;; ++steps) {
        ASSERT_LT(steps, 200) << "the restore never ended";
        const QString root = dir.filePath(QStringLiteral("run%1").arg(steps));
        const Installation inst(root);
        const QString baza = inst.path("Baza");
        QDir().mkpath(baza);
        QDir().mkpath(inst.path("Temp"));
        for (const auto& [name, bytes] : kOld)
            writeBytes(baza + "/" + name, bytes);
        writeBytes(baza + "/Extra.txt", "not in the archive");

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setScratchFolder(inst.path("Temp"));
            g_stepsBeforeKill = steps;
            try {
                PreparedRestore prepared = prepareRestore(archive, baza);
                prepared.commit();
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << steps;

        // The next start.
        setScratchFolder(inst.path("Temp"));
        finishInterruptedRestore(inst);
        removeLeftoverScratchFiles(inst);
        setScratchFolder(QString());

        const Set set = judge(baza);
        EXPECT_NE(set, Set::Mixed) << "killed before step " << steps;
        sawOld += set == Set::Old;
        sawNew += set == Set::New;
        EXPECT_EQ(get(baza + "/Extra.txt"), "not in the archive") << steps;
        EXPECT_TRUE(
            QDir(inst.path("Temp")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            << steps << ": " << QDir(inst.path("Temp")).entryList().join(' ').toStdString();
        if (!killed) {
            EXPECT_EQ(set, Set::New);
            EXPECT_GT(steps, 10); // every file took its steps
            break;
        }
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 1);
}

TEST(RestoreKill, AJournalThatWasPuttingTheOldFilesBackIsFinishedBackwards) {
    QTemporaryDir dir;
    const Installation inst(dir.path());
    const QString baza = inst.path("Baza");
    const QString temp = inst.path("Temp");
    QDir().mkpath(baza);
    QDir().mkpath(temp);
    setScratchFolder(temp);
    // Anketi.dat was replaced and its old file kept aside; Povod.txt not yet replaced; the
    // archive's VidORM.txt already in place, where there was none.
    writeBytes(baza + "/Anketi.dat", "new cards");
    writeBytes(temp + "/~zelm-Anketi.dat.old-1-1", "old cards");
    writeBytes(baza + "/Povod.txt", "old list");
    writeBytes(temp + "/~zelm-Povod.txt.new", "new list");
    writeBytes(baza + "/VidORM.txt", "only in the archive");
    writeRestoreJournal(
        restoreJournalPath(baza),
        {RestoreDirection::Back,
         {{"Baza/Anketi.dat", "Temp/~zelm-Anketi.dat.new", "Temp/~zelm-Anketi.dat.old-1-1",
           fileStamp(baza + "/Anketi.dat")},
          {"Baza/Povod.txt", "Temp/~zelm-Povod.txt.new", "Temp/~zelm-Povod.txt.old-1-2",
           fileStamp(temp + "/~zelm-Povod.txt.new")},
          {"Baza/VidORM.txt", "Temp/~zelm-VidORM.txt.new", QString(),
           fileStamp(baza + "/VidORM.txt")}}});
    EXPECT_EQ(finishInterruptedRestore(inst), InterruptedRestore::Undone);
    EXPECT_EQ(get(baza + "/Anketi.dat"), "old cards");
    EXPECT_EQ(get(baza + "/Povod.txt"), "old list");
    EXPECT_FALSE(QFile::exists(baza + "/VidORM.txt"));
    EXPECT_TRUE(QDir(temp).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(finishInterruptedRestore(inst), InterruptedRestore::None);
    setScratchFolder(QString());
}
