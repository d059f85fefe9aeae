// The program ended from outside (SIGTERM from a shutdown or `kill`) ends as «Выход» does: the
// lock of the data folder gone, the backup written, the card window's unsaved edit left out.
#include "common/CardFactory.h"
#include "common/TestInstall.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

QProcessEnvironment offscreen(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZELM_HOME"), home);
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return env;
}

// Sends SIGTERM and waits for the end: true when the program ended by itself within the few
// seconds a desktop gives, with status 0.
::testing::AssertionResult endsOnSigterm(QProcess& p) {
    QElapsedTimer clock;
    clock.start();
    p.terminate();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return ::testing::AssertionFailure() << "still running 10 s after SIGTERM";
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return ::testing::AssertionFailure() << "killed or failed, status " << p.exitCode() << ": "
                                             << p.readAllStandardError().toStdString();
    if (clock.elapsed() > 5000)
        return ::testing::AssertionFailure() << "took " << clock.elapsed() << " ms";
    return ::testing::AssertionSuccess();
}

// A data folder with `cards` cards, and the child started on it in `scenario`; the register's
// bytes as stored.
QByteArray startChild(QProcess& p, TestInstall& t, int cards, const QString& scenario) {
    t.makeFolders();
    t.writeCards(QStringLiteral("Baza/Anketi.dat"), makeCards(cards));
    p.setProcessEnvironment(offscreen(t.root()));
    p.start(QStringLiteral(TERMINATION_CHILD), {t.root(), scenario});
    return t.readFile(QStringLiteral("Baza/Anketi.dat"));
}

TEST(Termination, SigtermDuringAnEditLeavesAsExitDoesWithTheBackupAndWithoutTheEdit) {
    // "settings": the settings window's modal loop is running when the signal comes.
    for (const char* scenario : {"edit", "settings"}) {
        SCOPED_TRACE(scenario);
        TestInstall t;
        QProcess p;
        const QByteArray stored = startChild(p, t, 3, QLatin1String(scenario));
        ASSERT_TRUE(p.waitForStarted());
        while (!p.canReadLine() && p.waitForReadyRead(20000)) {
        }
        ASSERT_EQ(p.readLine(), "ready\n") << p.readAllStandardError().toStdString();
        ASSERT_TRUE(QFileInfo::exists(t.path(QStringLiteral("Zelm.lock"))));

        ASSERT_TRUE(endsOnSigterm(p));
        EXPECT_FALSE(QFileInfo::exists(t.path(QStringLiteral("Zelm.lock"))));
        const QByteArray backup = t.readFile(QStringLiteral("Backup/b0000001.zip"));
        EXPECT_TRUE(backup.startsWith("PK")) << backup.size();
        EXPECT_TRUE(backup.contains("Anketi.dat"));
        EXPECT_EQ(t.readFile(QStringLiteral("Baza/Anketi.dat")), stored);
    }
}

TEST(Termination, TheSessionsEndLeavesAsExitDoesThoughTheCardWindowRefusesToClose) {
    TestInstall t;
    QProcess p;
    const QByteArray stored = startChild(p, t, 2, QStringLiteral("logout"));
    ASSERT_TRUE(p.waitForFinished(20000)) << "still running after the session ended";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.path(QStringLiteral("Zelm.lock"))));
    EXPECT_TRUE(t.readFile(QStringLiteral("Backup/b0000001.zip")).startsWith("PK"));
    EXPECT_EQ(t.readFile(QStringLiteral("Baza/Anketi.dat")), stored);
}

TEST(Termination, TheProgramAtItsLoginEndsOnSigtermAsCancelDoes) {
    TestInstall t;
    QProcess p;
    p.setProcessEnvironment(offscreen(t.root()));
    p.start(QStringLiteral(ZELM_PROGRAM), {});
    ASSERT_TRUE(p.waitForStarted());
    // The templates are written while the windows are made, after the signal is caught.
    const QString prepared = t.path(QStringLiteral("report/KnigaPic.rtf"));
    for (int i = 0; i < 600 && !QFileInfo::exists(prepared) && p.state() == QProcess::Running; ++i)
        p.waitForFinished(100);
    ASSERT_TRUE(QFileInfo::exists(t.path(QStringLiteral("Zelm.lock"))));

    ASSERT_TRUE(endsOnSigterm(p));
    EXPECT_FALSE(QFileInfo::exists(t.path(QStringLiteral("Zelm.lock"))));
    EXPECT_FALSE(QFileInfo::exists(t.path(QStringLiteral("Backup/b0000001.zip"))));
}

} // namespace
} // namespace zelm::testing
