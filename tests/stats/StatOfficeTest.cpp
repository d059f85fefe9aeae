// The statistics handed to the real LibreOffice Calc: titles that look like dates or numbers
// arrive as the titles, the counts as numbers, and the file keeps its bytes.
#include "OfficeTestSupport.h"
#include "common/QStringPrinter.h"
#include "stats/StatOutput.h"
#include "store/Installation.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

StatTable table(StatColumns columns, const QStringList& titles) {
    StatTable t;
    t.query.field = StatField::Povod;
    t.query.columns = columns;
    t.columnTitles = titles;
    const std::vector<qint64> counts(static_cast<size_t>(titles.size()), 3);
    const qint64 total = 3 * titles.size();
    t.rows = {{QStringLiteral("Запрос прокуратуры"), counts, total}};
    t.totals = {QStringLiteral("Итого"), counts, total};
    return t;
}

TEST(StatInCalc, TitlesArriveAsTextAndCountsAsNumbers) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    LibreOfficeSession& office = testOffice();
    // Months from the 15th, quarters and years: each a date or a number to a spreadsheet.
    const QList<StatTable> tables = {
        table(StatColumns::Months, {"мар 2024", "апр 2024", "май 2024"}),
        table(StatColumns::Quarters, {"IV кв. 2025", "I кв. 2026"}),
        table(StatColumns::Years, {"2025", "2026"})};
    for (const StatTable& t : tables) {
        exportStatistics(t, inst, QStringLiteral("2003"), office);
        const QStringList titles = statTitleRow(t);
        const int columns = static_cast<int>(titles.size());
        const QList<QStringList> cells = office.lastWorkbookCells(3, columns);
        EXPECT_EQ(cells[0], titles);
        for (int c = 0; c < columns; ++c)
            EXPECT_TRUE(office.lastWorkbookCellIsText(0, c)) << titles[c].toStdString();
        EXPECT_EQ(cells[1][0], QStringLiteral("Запрос прокуратуры"));
        for (int c = 1; c < columns; ++c) {
            EXPECT_FALSE(office.lastWorkbookCellIsText(1, c)) << "a count read as text";
            EXPECT_FALSE(office.lastWorkbookCellIsText(2, c));
        }
        // The file is as any other program reads it: no quotation mark or other sign added.
        QFile f(inst.path(QStringLiteral("L_Stat.txt")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(exportLine(titles)));
    }
}

} // namespace
} // namespace zelm::testing
