#include "stats/StatOutput.h"

#include "output/ReportLauncher.h"
#include "platform/Platform.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/ReportKeys.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace zelm {
namespace {

const QString kPeriodTitle = QStringLiteral("За период");

QString dateText(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

// One line of the printed table: the name first (every line of a data file starts with the same
// key), then the marker of its kind, the block's columns, its «Всего» and, when the period
// takes several blocks, the period's total.
struct ReportLineItems {
    QString name;
    reportkeys::Keys kind; // the heading, a line or the totals
    QStringList columns;
    QString blockTotal;
    std::optional<QString> periodTotal;
};

QString keyed(reportkeys::Keys key, const QString& value) {
    return reportkeys::text(key) + QLatin1Char(':') + value;
}

void writeLine(ReportFile& file, const ReportLineItems& line, int width) {
    using namespace reportkeys;
    ReportItem(file, keyed(kStatName, line.name));
    ReportItem(file, keyed(line.kind, {}));
    const QString column = text(kStatColumnPrefix) + QStringLiteral("%1");
    for (int k = 0; k < width; ++k)
        ReportItem(file, column.arg(k + 1) + QLatin1Char(':') + line.columns.value(k));
    ReportItem(file, keyed(kStatBlockTotal, line.blockTotal));
    if (line.periodTotal)
        ReportItem(file, keyed(kStatPeriodTotal, *line.periodTotal));
    file.write(QByteArrayView("\r\n"));
}

} // namespace

QString statExportPath(const Installation& inst) {
    return inst.path(QStringLiteral("L_Stat.txt"));
}

ExportGrid statExportGrid(const StatTable& table) {
    auto title = std::make_shared<QStringList>(statTitleRow(table));
    const int rows = static_cast<int>(table.rows.size());
    return {rows + 2, static_cast<int>(title->size()), [&table, title, rows](int r, int c) {
                if (r == 0)
                    return title->value(c);
                const StatRow& row =
                    r <= rows ? table.rows[static_cast<size_t>(r - 1)] : table.totals;
                if (c == 0)
                    return row.name;
                const size_t at = static_cast<size_t>(c - 1);
                return QString::number(at < row.counts.size() ? row.counts[at] : row.total);
            }};
}

void exportStatistics(const StatTable& table, const Installation& inst, const QString& verOff,
                      OfficeAutomation& office) {
    ExportTable(statExportGrid(table), statExportPath(inst), verOff, office);
    // The file stays as other programs read it; in the spreadsheet, a title such as «мар 2024»
    // or «2025» is the title, not a date or a number.
    office.excel().setRowAsText(0, statTitleRow(table));
}

void writeStatReport(const StatTable& table, const QString& owner, const QString& path) {
    ReportFile file(path);
    // In the order of reportkeys::kStatHead.
    const QString head[] = {owner,
                            statSourceCaption(table.query.source),
                            statFieldCaption(table.query.field),
                            statColumnCaption(table.query.columns),
                            dateText(table.query.from),
                            dateText(table.query.to),
                            dateText(currentDateTime().date()),
                            QString::number(table.cardsRead),
                            QString::number(table.cardsCounted)};
    static_assert(std::size(head) == reportkeys::kStatHead.size());
    for (size_t i = 0; i < std::size(head); ++i)
        ReportLine(file, keyed(reportkeys::kStatHead[i], head[i]));
    const QString field = statFieldCaption(table.query.field);
    const int columns = table.columnCount();
    const int width = std::min(columns, kStatReportColumns);
    const int blocks = std::max(1, (columns + kStatReportColumns - 1) / kStatReportColumns);
    std::vector<const StatRow*> rows;
    for (const StatRow& row : table.rows)
        rows.push_back(&row);
    rows.push_back(&table.totals);
    for (int b = 0; b < blocks; ++b) {
        const int from = b * kStatReportColumns;
        const int to = std::min(columns, from + kStatReportColumns);
        const bool last = b == blocks - 1;
        auto period = [&](const QString& text) -> std::optional<QString> {
            if (blocks == 1)
                return std::nullopt;
            return last ? text : QString();
        };
        const QStringList titles = table.columnTitles.mid(from, to - from);
        for (size_t first = 0; first < rows.size();) {
            size_t end = std::min(rows.size(), first + kStatReportRows);
            if (rows.size() - end == 1) // the totals never stand alone under titles
                ++end;
            const QString name = first == 0 ? field : field + QStringLiteral(" (продолжение)");
            writeLine(
                file,
                {name, reportkeys::kStatHeading, titles, totalColumnTitle(), period(kPeriodTitle)},
                width);
            for (size_t r = first; r < end; ++r) {
                const StatRow& row = *rows[r];
                QStringList counts;
                qint64 sum = 0;
                for (int c = from; c < to; ++c) {
                    counts << QString::number(row.counts[static_cast<size_t>(c)]);
                    sum += row.counts[static_cast<size_t>(c)];
                }
                const bool totals = &row == &table.totals;
                writeLine(file,
                          {row.name, totals ? reportkeys::kStatTotals : reportkeys::kStatLine,
                           counts, QString::number(columns > 0 ? sum : row.total),
                           period(QString::number(row.total))},
                          width);
            }
            first = end;
        }
    }
    file.write(QByteArrayView("\r\n"));
    file.close();
}

bool printStatistics(ReportLauncher& launcher, const StatTable& table, const QString& owner,
                     QWidget* parent) {
    const QString report = QStringLiteral("Stat");
    try {
        writeStatReport(table, owner, launcher.dataFile(report));
    } catch (const FileError& e) {
        launcher.platform().dialogs().error(parent ? parent : launcher.owner(), e.displayText());
        return false;
    }
    return launcher.launch(report, parent);
}

bool StatPic1Click(ReportLauncher& launcher, QWidget* parent) {
    return launcher.RunProgram(QStringLiteral("reportf.exe"),
                               QStringLiteral("StatDat.txt StatPic.rtf"), QStringLiteral("report"),
                               1, parent);
}

} // namespace zelm
