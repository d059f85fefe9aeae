// The report program against the real LibreOffice (headless) and a private CUPS scheduler with
// a PDF printer. Each LibreOffice run costs about 1.5 s, so there are few of them.
#include "SampleData.h"
#include "officeprofile/OfficeProfile.h"
#include "reportf/templates/ReportTemplates.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

using namespace zelm::reportf;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
            const QString& folder, int timeoutMs = 240000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, args);
    Outcome r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString pdfText(const QString& pdf) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")},
               QProcessEnvironment::systemEnvironment(), QDir::tempPath())
        .out;
}

// The line of `text` that holds `needle`.
QString lineWith(const QString& text, const QString& needle) {
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (line.contains(needle))
            return line;
    return QStringLiteral("<no line with %1>").arg(needle);
}

class Office : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            << "LibreOffice Writer is not installed (scripts/deps.sh installs it)";
        zelm::writeMissingReportTemplates(dir.path());
        sample::writeAll(dir.path());
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    Outcome reportf(const QStringList& args) {
        return run(QStringLiteral(REPORTF_PROGRAM), args, env, dir.path());
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
};

const QStringList kReports = {"Poln", "Kniga", "KonA8", "KonA9"};

} // namespace

TEST_F(Office, PdfOfEveryDefaultReport) {
    QMap<QString, QString> text;
    for (const QString& x : kReports) {
        const QString pdf = dir.filePath(x + ".pdf");
        const Outcome r = reportf({"--pdf", pdf, x + "Dat.txt", x + "Pic.rtf"});
        ASSERT_EQ(r.exitCode, 0) << x.toStdString() << ": " << r.err.toStdString();
        const Outcome info = run("pdfinfo", {pdf}, env, dir.path());
        EXPECT_TRUE(info.out.contains(QRegularExpression("Pages:\\s+1\\n")))
            << info.out.toStdString();
        text[x] = pdfText(pdf);
    }
    const QString poln = text["Poln"];
    EXPECT_TRUE(lineWith(poln, "Организация").contains("ООО «Ромашка»")) << poln.toStdString();
    EXPECT_TRUE(lineWith(poln, "Уникальный номер").contains("100017"));
    EXPECT_TRUE(lineWith(poln, "Результат").contains("Проверка проведена"));
    EXPECT_TRUE(poln.contains("нарушений не выявлено"));
    EXPECT_TRUE(poln.contains(sample::kOwner));

    const QString kniga = text["Kniga"];
    EXPECT_TRUE(kniga.contains(sample::kOwner)) << kniga.toStdString();
    for (const QString n : {"1", "2"}) {
        const QString row = lineWith(kniga, "690000000" + n);
        EXPECT_TRUE(row.trimmed().startsWith(n)) << row.toStdString();
        for (const QString& value :
             QStringList{"ООО «Ромашка-", "06.12.26", "Итог " + n + " первая", "Рапорт",
                         "Заявление", "100" + n, "Мошенничество"})
            EXPECT_TRUE(row.contains(value))
                << value.toStdString() << " not in " << row.toStdString();
    }
    EXPECT_LT(kniga.indexOf("6900000001"), kniga.indexOf("6900000002"));

    for (const QString x : {"KonA8", "KonA9"}) {
        const QString env = text[x];
        EXPECT_TRUE(lineWith(env, "От кого").contains(sample::kOwner)) << env.toStdString();
        EXPECT_TRUE(lineWith(env, "Кому").contains(sample::kRecipient)) << env.toStdString();
        EXPECT_TRUE(lineWith(env, "отправления").contains("170100"));
        EXPECT_TRUE(lineWith(env, "назначения").contains("101000"));
    }

    // LibreOffice ran on the program's private profile, in Russian whatever the locale.
    QFile settings(dir.filePath("cache/zelm/reportf-profile/user/registrymodifications.xcu"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray xml = settings.readAll();
    for (const char* item :
         {"<prop oor:name=\"UILocale\" oor:op=\"fuse\"><value>ru-RU</value>",
          "<prop oor:name=\"DefaultLocale\" oor:op=\"fuse\"><value>ru-RU</value>"})
        EXPECT_TRUE(xml.contains(item)) << item;
}

TEST_F(Office, MergedReportsReadBackByLibreOffice) {
    QStringList reports;
    for (const QString& x : kReports) {
        const Outcome r = reportf({x + "Dat.txt", x + "Pic.rtf", x + "Rep.rtf", "-", "/m"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        reports << dir.filePath(x + "Rep.rtf");
    }
    // A private profile as the program's own.
    const QString profile = dir.filePath("profile");
    ASSERT_TRUE(zelm::prepareOfficeProfile(profile, QString()));
    const QString out = dir.filePath("txt");
    const Outcome lo =
        run("soffice",
            QStringList{"--headless", "--norestore",
                        "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
                        "--convert-to", "txt:Text (encoded):UTF8", "--outdir", out} +
                reports,
            env, dir.path());
    ASSERT_EQ(lo.exitCode, 0) << lo.err.toStdString();
    auto textOf = [&](const QString& x) {
        QFile f(out + "/" + x + "Rep.txt");
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << x.toStdString();
        return QString::fromUtf8(f.readAll());
    };
    const QString kniga = textOf("Kniga");
    // Cells come one after another: each card's values stay together, in card order.
    QList<qsizetype> at;
    for (const char* s :
         {"Ромашка-1", "6900000001", "Итог 1 первая строка", "третья строка", "Сидоров-1",
          "Ромашка-2", "6900000002", "Итог 2 первая строка", "Сидоров-2"})
        at << kniga.indexOf(QString::fromUtf8(s), at.isEmpty() ? 0 : at.last());
    EXPECT_FALSE(at.contains(-1)) << kniga.toStdString();
    EXPECT_TRUE(textOf("Poln").contains("материалы приобщены"));
    for (const QString x : {"KonA8", "KonA9"}) {
        const QString t = textOf(x);
        EXPECT_TRUE(t.contains(sample::kRecipient) && t.contains("Одинцовский район") &&
                    t.contains("170100"))
            << t.toStdString();
    }
}

// A silent print goes to the default printer of a private CUPS scheduler whose printer writes
// PDF files. Without the rights to run one, the program must say that there is no printer.
TEST_F(Office, SilentPrintReachesTheDefaultPrinter) {
    const QString cups = dir.filePath("cups");
    const QString socket = cups + "/cups.sock";
    env.insert("CUPS_SERVER", socket);
    const QString name = QStringLiteral("PrintTest%1").arg(QCoreApplication::applicationPid());
    QFile::copy(dir.filePath("KnigaDat.txt"), dir.filePath(name + "Dat.txt"));
    QFile::copy(dir.filePath("KnigaPic.rtf"), dir.filePath(name + "Pic.rtf"));
    const QStringList print = {name + "Dat.txt", name + "Pic.rtf", name + "Rep.rtf", "-", "/p"};

    const bool canRunCups = ::geteuid() == 0 && QFileInfo::exists("/usr/sbin/cupsd") &&
                            QFileInfo::exists("/usr/lib/cups/backend/cups-pdf");
    if (!canRunCups) {
        const Outcome r = reportf(print);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("Нет принтера")) << r.err.toStdString();
        return;
    }
    for (const QString sub : {"root/ppd", "spool/tmp", "state", "cache", "log"})
        QDir().mkpath(cups + "/" + sub);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                          QFile::ExeGroup);
    sample::writeFile(cups + "/cupsd.conf", QStringLiteral("Listen %1\nLogLevel warn\n"
                                                           "WebInterface No\nBrowsing No\n"
                                                           "<Location />\n  Order allow,deny\n"
                                                           "  Allow all\n</Location>\n")
                                                .arg(socket)
                                                .toUtf8());
    sample::writeFile(cups + "/cups-files.conf",
                      QStringLiteral("ServerRoot %1/root\nRequestRoot %1/spool\nStateDir %1/state\n"
                                     "CacheDir %1/cache\nTempDir %1/spool/tmp\n"
                                     "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                     "PageLog %1/log/page_log\nServerBin /usr/lib/cups\n"
                                     "DataDir /usr/share/cups\nSystemGroup root\n")
                          .arg(cups)
                          .toUtf8());
    QProcess cupsd;
    cupsd.setProcessEnvironment(env);
    cupsd.start("/usr/sbin/cupsd",
                {"-f", "-c", cups + "/cupsd.conf", "-s", cups + "/cups-files.conf"});
    ASSERT_TRUE(cupsd.waitForStarted());
    struct Stop {
        QProcess& p;
        ~Stop() {
            p.terminate();
            if (!p.waitForFinished(10000)) {
                p.kill();
                p.waitForFinished();
            }
        }
    } stop{cupsd};
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(socket) && clock.elapsed() < 20000)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(socket)) << QString::fromUtf8(cupsd.readAll()).toStdString();

    // First no printer at all, then a PDF printer as the default.
    const Outcome none = reportf(print);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("Нет принтера")) << none.err.toStdString();

    const Outcome add = run("lpadmin",
                            {"-p", "ZelmPDF", "-E", "-v", "cups-pdf:/", "-P",
                             "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"},
                            env, dir.path());
    ASSERT_EQ(add.exitCode, 0) << add.err.toStdString();
    ASSERT_EQ(run("lpadmin", {"-d", "ZelmPDF"}, env, dir.path()).exitCode, 0);

    // cups-pdf writes into the PDF folder of the job's user, named after the job's title.
    const QString outFolder = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_dir) + "/PDF";
    auto ours = [&] { return QDir(outFolder).entryInfoList({name + "Rep*.pdf"}, QDir::Files); };
    for (const QFileInfo& old : ours())
        QFile::remove(old.absoluteFilePath());

    const Outcome printed = reportf(print);
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    clock.restart();
    QString text;
    while (clock.elapsed() < 60000) {
        const auto found = ours();
        if (!found.isEmpty()) {
            text = pdfText(found.first().absoluteFilePath());
            if (text.contains("6900000002"))
                break;
        }
        QThread::msleep(200);
    }
    EXPECT_TRUE(lineWith(text, "6900000001").contains("Итог 1 первая")) << text.toStdString();
    EXPECT_TRUE(lineWith(text, "6900000002").contains("Итог 2 первая")) << text.toStdString();
    for (const QFileInfo& pdf : ours())
        QFile::remove(pdf.absoluteFilePath());
}
