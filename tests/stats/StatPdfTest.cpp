// Printed statistics through the real report program and LibreOffice (headless), read back
// from the PDF page by page. One LibreOffice run per case (about 2 s).
#include "reportf/templates/ReportTemplates.h"
#include "stats/StatOutput.h"
#include "store/DayCount.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;

namespace {

QString run(const QString& program, const QStringList& args, const QString& folder,
            const QString& cache) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(program, args);
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        return QStringLiteral("timed out");
    }
    return QString::fromUtf8(p.readAllStandardOutput()) +
           QString::fromUtf8(p.readAllStandardError());
}

// Sixty officers over two years: several pages in each block.
StatTable longList() {
    StatTable t;
    t.query.field = StatField::FIOSotr;
    t.query.columns = StatColumns::Months;
    t.query.from = QDate(2023, 1, 1);
    t.query.to = QDate(2024, 12, 31);
    const char* const months[] = {"янв", "фев", "мар", "апр", "май", "июн",
                                  "июл", "авг", "сен", "окт", "ноя", "дек"};
    for (int y = 2023; y <= 2024; ++y)
        for (const char* m : months)
            t.columnTitles << QString::fromUtf8(m) + QStringLiteral(" %1").arg(y);
    t.totals = {QStringLiteral("Итого"), std::vector<qint64>(24, 0), 0};
    for (int r = 0; r < 60; ++r) {
        StatRow row{
            QStringLiteral("Сотрудник%1 оперуполномоченный отдела").arg(r, 2, 10, QLatin1Char('0')),
            {},
            0};
        for (int c = 0; c < 24; ++c) {
            row.counts.push_back((r * 7 + c * 3) % 11);
            row.total += row.counts.back();
            t.totals.counts[static_cast<size_t>(c)] += row.counts.back();
        }
        t.totals.total += row.total;
        t.rows.push_back(row);
    }
    t.cardsRead = t.cardsCounted = t.totals.total;
    return t;
}

} // namespace

TEST(StatPdf, EveryPageStartsWithTheTitlesOfItsBlock) {
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        << "LibreOffice Writer is not installed (scripts/deps.sh installs it)";
    QTemporaryDir dir;
    writeMissingReportTemplates(dir.path());
    writeStatReport(longList(), QStringLiteral("ОЭБиПК УМВД"), dir.filePath("StatDat.txt"));
    const QString pdf = dir.filePath("Stat.pdf");
    const QString out =
        run(QStringLiteral(REPORTF_PROGRAM), {"--pdf", pdf, "StatDat.txt", "StatPic.rtf"},
            dir.path(), dir.filePath("cache"));
    ASSERT_TRUE(QFile::exists(pdf)) << out.toStdString();
    const QString info = run("pdfinfo", {pdf}, dir.path(), dir.filePath("cache"));
    const int pages = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1).toInt();
    ASSERT_GE(pages, 4) << info.toStdString();

    int sawTotals = 0;
    for (int p = 1; p <= pages; ++p) {
        const QString text = run(
            "pdftotext", {"-layout", "-f", QString::number(p), "-l", QString::number(p), pdf, "-"},
            dir.path(), dir.filePath("cache"));
        SCOPED_TRACE("page " + std::to_string(p));
        // The titles come before the first officer on the page.
        const qsizetype titles = text.indexOf(QStringLiteral("Провёл"));
        const qsizetype firstLine = text.indexOf(QStringLiteral("Сотрудник"));
        ASSERT_GE(titles, 0) << text.toStdString();
        if (firstLine >= 0) {
            EXPECT_LT(titles, firstLine) << text.toStdString();
        }
        const bool secondYear = text.contains(QStringLiteral("янв 2024"));
        EXPECT_NE(secondYear, text.contains(QStringLiteral("янв 2023"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Всего")));
        if (text.contains(QStringLiteral("Итого")))
            ++sawTotals;
    }
    EXPECT_EQ(sawTotals, 2); // one per block, each on a page of its own block
}
