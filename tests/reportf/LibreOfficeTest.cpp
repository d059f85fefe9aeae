// The report program's LibreOffice windows: started on a private profile of their own, which is
// Russian, whatever LibreOffice the user has open.
#include "reportf/LibreOffice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zelm::reportf;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(LibreOfficeWindow, AReportIsShownOnTheWindowsOwnRussianProfile) {
    QTemporaryDir dir;
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
    // A stand-in for soffice that writes down its arguments.
    const QString soffice = dir.filePath(QStringLiteral("soffice"));
    const QString args = dir.filePath(QStringLiteral("args.txt"));
    QFile script(soffice);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + QFile::encodeName(args) + ".new\"\n" +
                 "mv \"" + QFile::encodeName(args) + ".new\" \"" + QFile::encodeName(args) +
                 "\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString report = dir.filePath(QStringLiteral("KnigaRep.rtf"));
    LibreOffice(soffice).view(report);
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(args) && !deadline.hasExpired())
        QThread::msleep(20);
    const QString profile = LibreOffice::windowProfileFolder();
    qputenv("XDG_CACHE_HOME", oldCache);

    EXPECT_TRUE(profile.startsWith(dir.path())) << profile.toStdString();
    EXPECT_NE(profile, LibreOffice::profileFolder()) << "the headless runs' profile is their own";
    const QStringList given = QString::fromLocal8Bit(readAll(args)).split(QLatin1Char('\n'));
    EXPECT_EQ(given.mid(0, 4),
              (QStringList{QStringLiteral("-env:UserInstallation=") +
                               QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
                           QStringLiteral("--norestore"), QStringLiteral("--view"), report}));
    const QByteArray settings =
        readAll(profile + QStringLiteral("/user/registrymodifications.xcu"));
    EXPECT_TRUE(settings.contains("<prop oor:name=\"UILocale\" oor:op=\"fuse\"><value>ru-RU<"))
        << settings.toStdString();
}

} // namespace
