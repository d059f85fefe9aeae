// The command lines of the report program, with a scripted office suite and printing system,
// and the program itself started as the card index starts it.
#include "reportf/ReportCommand.h"
#include "SampleData.h"
#include "reportf/Office.h"
#include "reportf/ReportError.h"
#include "reportf/RtfText.h"
#include "reportf/templates/ReportTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm::reportf;

namespace {

class ScriptedOffice : public Office {
public:
    void view(const QString& path) override { calls << "view " + path; }
    void edit(const QString& path) override { calls << "edit " + path; }
    void print(const QString& path, const QString& printer) override {
        calls << "print " + path + " on " + printer;
    }
    void convertToPdf(const QString& path, const QString& outFolder) override {
        calls << "pdf " + QFileInfo(path).fileName();
        sample::writeFile(outFolder + "/" + QFileInfo(path).completeBaseName() + ".pdf",
                          "%PDF-1.4 from " + QFileInfo(path).fileName().toUtf8());
    }
    QStringList calls;
};

class ScriptedPrinters : public Printers {
public:
    std::optional<PrinterState> defaultPrinter() override { return state; }
    std::optional<PrinterState> state;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const ReportError& e) {
        return e.text();
    }
    return {};
}

class ReportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        zelm::writeMissingReportTemplates(dir.path());
        sample::writeAll(dir.path());
        QDir::setCurrent(dir.path());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
    }
    void run(const QStringList& args) { runReport(parseArguments(args), office, printers); }

    QTemporaryDir dir;
    ScriptedOffice office;
    ScriptedPrinters printers;
};

const QStringList kKniga = {"KnigaDat.txt", "KnigaPic.rtf", "KnigaRep.rtf"};

} // namespace

TEST(ReportArguments, TheCardIndexCommandLinesAndNothingElse) {
    EXPECT_EQ(parseArguments(kKniga + QStringList{"-", "/m"}).action, ReportAction::Merge);
    EXPECT_EQ(parseArguments(kKniga + QStringList{"-", "/p"}).action, ReportAction::Print);
    EXPECT_EQ(parseArguments(kKniga).action, ReportAction::View);
    const ReportRequest edit = parseArguments({"PolnDat.txt", "PolnPic.rtf"});
    EXPECT_EQ(edit.action, ReportAction::Edit);
    EXPECT_EQ(edit.templateFile, QStringLiteral("PolnPic.rtf"));
    const ReportRequest pdf = parseArguments({"--pdf", "o.pdf", "KonA8Dat.txt", "KonA8Pic.rtf"});
    EXPECT_EQ(pdf.action, ReportAction::Pdf);
    EXPECT_EQ(pdf.outputFile, QStringLiteral("o.pdf"));
    EXPECT_EQ(pdf.dataFile, QStringLiteral("KonA8Dat.txt"));
    for (const QStringList& bad : QList<QStringList>{{},
                                                     {"KnigaDat.txt"},
                                                     kKniga + QStringList{"-"},
                                                     kKniga + QStringList{"-", "/x"},
                                                     kKniga + QStringList{"/p", "-"},
                                                     kKniga + QStringList{"-", "/p", "more"},
                                                     {"--pdf", "o.pdf", "KnigaDat.txt"},
                                                     {"-", "/p"}})
        EXPECT_FALSE(errorOf([&] { parseArguments(bad); }).isEmpty())
            << bad.join(' ').toStdString();
}

TEST_F(ReportCommand, MergeWritesTheReportWholeAndStartsNothing) {
    sample::writeFile(dir.filePath("KnigaRep.rtf"), "old report");
    run(kKniga + QStringList{"-", "/m"});
    EXPECT_TRUE(office.calls.isEmpty());
    const RtfText text = rtfText(readAll(dir.filePath("KnigaRep.rtf")));
    EXPECT_EQ(text.rows.size(), 2); // the two cards
    // No scratch file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({"KnigaRep*"}, QDir::Files), QStringList{"KnigaRep.rtf"});
}

TEST_F(ReportCommand, ViewShowsAFreshCopyEachTime) {
    run(kKniga);
    run(kKniga);
    ASSERT_EQ(office.calls.size(), 2);
    QStringList shown;
    for (const QString& call : office.calls) {
        ASSERT_TRUE(call.startsWith("view ")) << call.toStdString();
        shown << call.mid(5);
        EXPECT_EQ(QFileInfo(shown.last()).fileName(), QStringLiteral("KnigaRep.rtf"));
        EXPECT_EQ(readAll(shown.last()), readAll(dir.filePath("KnigaRep.rtf")));
    }
    EXPECT_NE(shown[0], shown[1]);
}

TEST_F(ReportCommand, PrintChecksThePrinterFirst) {
    const QStringList print = kKniga + QStringList{"-", "/p"};
    const QString none = errorOf([&] { run(print); });
    EXPECT_TRUE(none.contains(QStringLiteral("Нет принтера"))) << none.toStdString();
    EXPECT_TRUE(none.contains(QStringLiteral("KnigaRep.rtf")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("KnigaRep.rtf")));

    printers.state = PrinterState{QStringLiteral("Office"), true, true};
    EXPECT_TRUE(errorOf([&] { run(print); }).contains(QStringLiteral("«Office» остановлен")));
    printers.state = PrinterState{QStringLiteral("Office"), false, false};
    EXPECT_TRUE(errorOf([&] { run(print); }).contains(QStringLiteral("не принимает")));
    EXPECT_TRUE(office.calls.isEmpty());

    printers.state = PrinterState{QStringLiteral("Office"), false, true};
    run(print);
    EXPECT_EQ(office.calls, QStringList{"print KnigaRep.rtf on Office"});
}

TEST_F(ReportCommand, EditOpensTheTemplateOnly) {
    QFile::remove(dir.filePath("PolnDat.txt")); // nothing printed yet
    run({"PolnDat.txt", "PolnPic.rtf"});
    EXPECT_EQ(office.calls, QStringList{"edit PolnPic.rtf"});
    const QString missing = errorOf([&] { run({"PolnDat.txt", "NoPic.rtf"}); });
    EXPECT_TRUE(missing.contains("NoPic.rtf")) << missing.toStdString();
}

TEST_F(ReportCommand, PdfIsWrittenInPlaceOfTheNamedFile) {
    QDir().mkpath(dir.filePath("out"));
    sample::writeFile(dir.filePath("out/list.pdf"), "old");
    run({"--pdf", "out/list.pdf", "KnigaDat.txt", "KnigaPic.rtf"});
    EXPECT_EQ(office.calls, QStringList{"pdf list.rtf"});
    EXPECT_EQ(readAll(dir.filePath("out/list.pdf")), QByteArray("%PDF-1.4 from list.rtf"));
    EXPECT_EQ(
        QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"list.pdf"});
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("KnigaRep.rtf")));
}

TEST_F(ReportCommand, FailuresLeaveTheOldReport) {
    sample::writeFile(dir.filePath("KnigaRep.rtf"), "old report");
    sample::writeFile(dir.filePath("KnigaPic.rtf"), "{\\rtf1\\ansi #n#"); // cut short
    const QString damaged = errorOf([&] { run(kKniga + QStringList{"-", "/m"}); });
    EXPECT_TRUE(damaged.contains("KnigaPic.rtf")) << damaged.toStdString();
    QFile::remove(dir.filePath("KnigaDat.txt"));
    const QString missing = errorOf([&] { run(kKniga + QStringList{"-", "/m"}); });
    EXPECT_TRUE(missing.contains("KnigaDat.txt")) << missing.toStdString();
    EXPECT_EQ(readAll(dir.filePath("KnigaRep.rtf")), QByteArray("old report"));
    EXPECT_TRUE(office.calls.isEmpty());
}

// The program as started by the card index, in a session with no display.
TEST_F(ReportCommand, ProgramReportsOnStandardErrorWithAnExitCode) {
    auto start = [&](const QStringList& args, const QString& path) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", path);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("CUPS_SERVER", dir.filePath("no-cups.sock"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(REPORTF_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError()));
    };
    const QString noOffice = dir.filePath("empty-path");
    QDir().mkpath(noOffice);

    auto [merged, mergeErr] = start(kKniga + QStringList{"-", "/m"}, noOffice);
    EXPECT_EQ(merged, 0) << mergeErr.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("KnigaRep.rtf")));

    auto [viewed, viewErr] = start(kKniga, noOffice);
    EXPECT_EQ(viewed, 1);
    EXPECT_TRUE(viewErr.contains("soffice") && viewErr.contains("libreoffice-writer"))
        << viewErr.toStdString();

    auto [printed, printErr] = start(kKniga + QStringList{"-", "/p"}, noOffice);
    EXPECT_EQ(printed, 1);
    EXPECT_TRUE(printErr.contains(QStringLiteral("Нет принтера"))) << printErr.toStdString();

    auto [missing, missingErr] = start({"NoDat.txt", "KnigaPic.rtf", "X.rtf", "-", "/m"}, noOffice);
    EXPECT_EQ(missing, 1);
    EXPECT_TRUE(missingErr.contains("NoDat.txt")) << missingErr.toStdString();

    // A wrong command line is the user's typing, not a failed report: status 2, as for an
    // unknown option, naming what was given and where the usage is.
    auto [usage, usageErr] = start({"/p"}, noOffice);
    EXPECT_EQ(usage, 2);
    EXPECT_TRUE(usageErr.contains("'/p'") || usageErr.contains(QStringLiteral("«/p»")))
        << usageErr.toStdString();
    EXPECT_TRUE(usageErr.contains("reportf --help")) << usageErr.toStdString();
}
