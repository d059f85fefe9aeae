// The report program started for real: directly, with its arguments and working folder, and
// the reason shown when it cannot be started.
#include "PrintFixture.h"

#include "output/PrintCommands.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QThread>

using namespace zelm;
using namespace zelm::testing;

namespace {

// A stand-in report program that notes its folder and arguments, one start a line.
const char kScript[] = "#!/bin/sh\n"
                       "printf '%s' \"$PWD\" >> starts.log\n"
                       "for a in \"$@\"; do printf '|%s' \"$a\" >> starts.log; done\n"
                       "echo >> starts.log\n";

QStringList waitForLines(const QString& path, int lines) {
    QElapsedTimer t;
    t.start();
    QStringList out;
    while (t.elapsed() < 10000) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            out = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (out.size() >= lines)
                break;
        }
        QThread::msleep(20);
    }
    return out;
}

} // namespace

TEST(DesktopStart, TheReportProgramIsStartedDirectlyInTheReportFolder) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    QDir(dir.path()).mkpath(QStringLiteral("report"));
    QFile script(inst.path("report/reportf"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(kScript);
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    auto platform = createDesktopPlatform();
    ReportLauncher launcher(inst, *platform);
    EXPECT_TRUE(KnigaPic1Click(launcher));
    const QStringList lines = waitForLines(inst.path("report/starts.log"), 1);
    const QString folder = QDir(inst.path("report")).canonicalPath();
    // No shell in between: the blanks split the arguments, nothing else is interpreted.
    EXPECT_EQ(lines, QStringList{folder + QStringLiteral("|KnigaDat.txt|KnigaPic.rtf")});
}

TEST(DesktopStart, AProgramThatCannotRunGivesTheSystemsReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("reportf"));
    auto platform = createDesktopPlatform();
    QString reason;
    EXPECT_FALSE(platform->shell().startProgram(path, {}, dir.path(), &reason));
    EXPECT_FALSE(reason.isEmpty());

    QFile notExecutable(path);
    ASSERT_TRUE(notExecutable.open(QIODevice::WriteOnly));
    notExecutable.write(kScript);
    notExecutable.close();
    notExecutable.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    reason.clear();
    EXPECT_FALSE(platform->shell().startProgram(path, {}, dir.path(), &reason));
    EXPECT_FALSE(reason.isEmpty());
}
