#pragma once
// A count handed on: to the spreadsheet as L_Stat.txt, and to the report program as
// report/StatDat.txt for the template StatPic.rtf.
#include "output/ExcelExport.h"
#include "stats/StatTable.h"

#include <QString>

class QWidget;

namespace zelm {

class Installation;
class OfficeAutomation;
class ReportLauncher;

QString statExportPath(const Installation& inst); // <installation>/L_Stat.txt

// The title row, a row per value and «Итого», as the window shows them.
ExportGrid statExportGrid(const StatTable& table);

// Writes L_Stat.txt with the list export's rules and opens it in the spreadsheet.
// FileError or OfficeError on failure.
void exportStatistics(const StatTable& table, const Installation& inst, const QString& verOff,
                      OfficeAutomation& office);

// Value columns of one table of the printed report; wider periods go on in further tables.
constexpr int kStatReportColumns = 12;

// The data file: header lines (owner, card file, field, split, period, date of the count,
// cards read and counted), then a line of items per table row: "Nazv", "k1"… "k12", "Vsego".
// The columns go in tables of twelve, each headed by a line of the column titles and closed by
// «Итого». Written whole or not at all; FileError on failure.
void writeStatReport(const StatTable& table, const QString& owner, const QString& path);

// The window's «Печать»: the data file, then the report program as for every report. Reports
// its own failures over `parent`; false then.
bool printStatistics(ReportLauncher& launcher, const StatTable& table, const QString& owner,
                     QWidget* parent = nullptr);
// Menu «Шаблоны»: the template opened for editing through the report program.
bool StatPic1Click(ReportLauncher& launcher, QWidget* parent = nullptr);

} // namespace zelm
