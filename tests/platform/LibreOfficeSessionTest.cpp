// The Word and Excel calls mapped onto LibreOffice: failures, the search that selects, and a
// soffice that has gone away between two calls.
#include "OfficeTestSupport.h"
#include "common/FileBytes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zelm::testing {
namespace {

TEST(LibreOfficeMissing, EveryCallSaysLibreOfficeIsNotInstalled) {
    QTemporaryDir dir;
    LibreOfficeOptions options;
    options.programFolder = dir.filePath(QStringLiteral("no-office/program"));
    options.profileFolder = dir.filePath(QStringLiteral("profile"));
    LibreOfficeSession office(options);
    EXPECT_FALSE(office.isInstalled());
    try {
        office.createWord();
        FAIL() << "Word without LibreOffice";
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("LibreOffice не установлен")))
            << e.what();
    }
    writeBytes(dir.filePath(QStringLiteral("L_Excel.txt")), "a;b;\r\n");
    try {
        office.excel().connect();
        office.excel().workbooksOpen(dir.filePath(QStringLiteral("L_Excel.txt")));
        FAIL() << "Excel without LibreOffice";
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("LibreOffice не установлен")));
    }
    EXPECT_FALSE(QDir(options.profileFolder).exists()) << "nothing was started";
}

TEST(LibreOfficeStart, ALibreOfficeThatCannotStartIsReportedWithoutWaitingLong) {
    // LibreOffice's program folder as it is, but a soffice that ends at once. The folder lives
    // as long as the process: UNO's local environment may have been set up from it.
    static QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QString real = QStringLiteral("/usr/lib/libreoffice/program");
    for (const QString& name : QDir(real).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (name != QLatin1String("soffice"))
            QFile::link(real + QLatin1Char('/') + name, program + QLatin1Char('/') + name);
    writeBytes(program + QStringLiteral("/soffice"), "#!/bin/sh\nexit 1\n");
    QFile::setPermissions(program + QStringLiteral("/soffice"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LibreOfficeOptions options;
    options.programFolder = program;
    options.profileFolder = dir.filePath(QStringLiteral("profile"));
    options.headless = true;
    options.startTimeoutMs = 120000;
    LibreOfficeSession office(options);
    ASSERT_TRUE(office.isInstalled());
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(office.connect(), OfficeError);
    EXPECT_LT(timer.elapsed(), 30000);
}

TEST(LibreOfficeWord, AMissingTemplateOrFileIsAnErrorNamingIt) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Otveti/BlankFirma.doc"));
    auto word = testOffice().createWord();
    try {
        word->documentsAdd(missing);
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().contains(missing)) << e.what();
    }
    EXPECT_THROW(word->documentsOpen(missing), OfficeError);
    EXPECT_THROW(word->activeDocumentSaveAs(dir.filePath(QStringLiteral("x.doc"))), OfficeError)
        << "no active document";
}

TEST(LibreOfficeWord, ExecuteSelectsTheNextOccurrenceEachTime) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReadMe.doc"));
    writeBytes(path, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\pard " +
                         rtfText(QStringLiteral("Вступление. Если у Вас сеть, то раз.")) +
                         "\\par\\pard " + rtfText(QStringLiteral("Если у Вас сеть, то два.")) +
                         "\\par}");
    auto word = testOffice().createWord();
    word->documentsOpen(path);
    word->findSetForward(true);
    word->findSetText(QStringLiteral("Если у Вас сеть"));
    word->findExecute();
    auto first = testOffice().lastWordSelection();
    EXPECT_EQ(first.text, QStringLiteral("Если у Вас сеть"));
    EXPECT_EQ(first.before, QStringLiteral("Вступление. "));
    word->findExecute();
    auto second = testOffice().lastWordSelection();
    EXPECT_EQ(second.text, QStringLiteral("Если у Вас сеть"));
    EXPECT_TRUE(second.before.endsWith(QStringLiteral("то раз.\n"))) << second.before.toStdString();
    // No third occurrence: the selection stays on the second, as in Word.
    word->findExecute();
    EXPECT_EQ(testOffice().lastWordSelection().before, second.before);
    word->setVisible(true);
}

TEST(LibreOfficeWord, SavingOverADocumentStillOpenInLibreOfficeSaysSo) {
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("Blank.doc"));
    const QString path = dir.filePath(QStringLiteral("12.doc"));
    writeBytes(templ, "{\\rtf1\\ansi\\pard #GurN#\\par}");
    writeBytes(path, "{\\rtf1\\ansi\\pard old\\par}");
    auto shown = testOffice().createWord();
    shown->documentsOpen(path);
    shown->setVisible(true);
    // The user deletes the card's document while it is still open, then makes it again.
    QFile::remove(path);
    auto word = testOffice().createWord();
    word->documentsAdd(templ);
    try {
        word->activeDocumentSaveAs(path);
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Документ открыт в LibreOffice")))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(path));
}

// The processes of the tests' soffice: their command lines name its profile.
QList<pid_t> testOfficeProcesses() {
    QList<pid_t> pids;
    const QByteArray profile = QByteArray(ZELM_TEST_OFFICE_PROFILE);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (isPid && pid != ::getpid() && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(profile))
            pids << pid;
    }
    return pids;
}

// A LibreOffice told to quit closes its pipe before its process has gone; on a busy machine a
// start in that gap reaches the dying process and hangs, so the test waits for it to be gone.
void waitUntilTestOfficeHasEnded() {
    QDeadlineTimer deadline(30000);
    while (!testOfficeProcesses().isEmpty() && !deadline.hasExpired())
        QThread::msleep(100);
    for (pid_t pid : testOfficeProcesses())
        ::kill(pid, SIGKILL);
}

TEST(LibreOfficeSession, ACallAfterLibreOfficeWasClosedStartsItAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.doc"));
    writeBytes(path, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\pard " +
                         rtfText(QStringLiteral("Текст")) + "\\par}");
    LibreOfficeSession& office = testOffice();
    auto word = office.createWord();
    word->documentsOpen(path);
    {
        // The user quits LibreOffice while the program runs.
        LibreOfficeOptions options;
        options.profileFolder = QStringLiteral(ZELM_TEST_OFFICE_PROFILE);
        options.headless = true;
        LibreOfficeSession(options).terminate();
    }
    waitUntilTestOfficeHasEnded();
    auto again = office.createWord();
    again->documentsOpen(path);
    again->setVisible(true);
    EXPECT_TRUE(office.documentText(path).contains(QStringLiteral("Текст")));
}

TEST(LibreOfficeSession, ALibreOfficeKilledMidSessionIsReportedInRussianAndStartedAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.doc"));
    writeBytes(path, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\pard " +
                         rtfText(QStringLiteral("Текст Текст Текст")) + "\\par}");
    LibreOfficeSession& office = testOffice();
    EXPECT_EQ(std::signal(SIGPIPE, SIG_IGN), SIG_IGN); // the session ignores it already
    auto word = office.createWord();
    word->documentsOpen(path);
    const QList<pid_t> pids = testOfficeProcesses();
    ASSERT_FALSE(pids.isEmpty());
    for (pid_t pid : pids)
        ::kill(pid, SIGKILL);
    // Calls on the lost connection, at once and again: each says so, and this program lives.
    int failures = 0;
    for (int i = 0; i < 20; ++i) {
        try {
            word->findSetText(QStringLiteral("Текст"));
            word->findExecute();
        } catch (const OfficeError& e) {
            ++failures;
            const QString text = QString(e.message()).remove(QStringLiteral("LibreOffice"));
            for (QChar c : text)
                EXPECT_FALSE((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                             (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
                    << e.message().toStdString();
        }
    }
    EXPECT_GT(failures, 0);
    // The next command starts a fresh LibreOffice.
    auto again = office.createWord();
    again->documentsOpen(path);
    EXPECT_TRUE(office.documentText(path).contains(QStringLiteral("Текст")));
}

} // namespace
} // namespace zelm::testing
