#include "stats/StatOutput.h"

#include "output/ReportLauncher.h"
#include "platform/Platform.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

#include <memory>

namespace zelm {
namespace {

QString dateText(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

void writeItems(ReportFile& file, const QString& name, const QStringList& values,
                const QString& total) {
    ReportItem(file, QStringLiteral("Nazv:") + name);
    for (int k = 0; k < kStatReportColumns; ++k)
        ReportItem(file, QStringLiteral("k%1:").arg(k + 1) + values.value(k));
    ReportItem(file, QStringLiteral("Vsego:") + total);
    file.write(QByteArrayView("\r\n"));
}

QStringList countsText(const StatRow& row, int from) {
    QStringList out;
    for (size_t c = static_cast<size_t>(from);
         c < row.counts.size() && out.size() < kStatReportColumns; ++c)
        out << QString::number(row.counts[c]);
    return out;
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
}

void writeStatReport(const StatTable& table, const QString& owner, const QString& path) {
    ReportFile file(path);
    ReportLine(file, QStringLiteral("wladelec:") + owner);
    ReportLine(file, QStringLiteral("Istochnik:") + statSourceCaption(table.query.source));
    ReportLine(file, QStringLiteral("Stroki:") + statFieldCaption(table.query.field));
    ReportLine(file, QStringLiteral("Stolbcy:") + statColumnCaption(table.query.columns));
    ReportLine(file, QStringLiteral("S:") + dateText(table.query.from));
    ReportLine(file, QStringLiteral("Po:") + dateText(table.query.to));
    ReportLine(file, QStringLiteral("Data:") + dateText(currentDateTime().date()));
    ReportLine(file, QStringLiteral("Prochitano:") + QString::number(table.cardsRead));
    ReportLine(file, QStringLiteral("Uchteno:") + QString::number(table.cardsCounted));
    const QString field = statFieldCaption(table.query.field);
    const QString total = totalColumnTitle();
    int from = 0;
    do {
        writeItems(file, field, table.columnTitles.mid(from, kStatReportColumns), total);
        for (const StatRow& row : table.rows)
            writeItems(file, row.name, countsText(row, from), QString::number(row.total));
        writeItems(file, table.totals.name, countsText(table.totals, from),
                   QString::number(table.totals.total));
        from += kStatReportColumns;
    } while (from < table.columnCount());
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
