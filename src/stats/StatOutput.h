#pragma once
// A count handed on: to the spreadsheet as L_Stat.txt, and to the report program as
// report/StatDat.txt for the template StatPic.rtf.
#include "output/ExcelExport.h"
#include "stats/StatTable.h"
#include "store/ReportKeys.h"

#include <QString>

class QWidget;

namespace zelm {

class Installation;
class OfficeAutomation;
class ReportLauncher;

QString statExportPath(const Installation& inst); // <installation>/L_Stat.txt

// The title row, a row per value and «Итого», as the window shows them.
ExportGrid statExportGrid(const StatTable& table);

// Writes L_Stat.txt with the list export's rules and opens it in the spreadsheet, its title row
// set as text there.
// FileError or OfficeError on failure.
void exportStatistics(const StatTable& table, const Installation& inst, const QString& verOff,
                      OfficeAutomation& office);

// Value columns of one block of the printed report; wider periods go on in further blocks.
constexpr int kStatReportColumns = reportkeys::kStatColumns;
// Lines under one line of titles: such a piece fits on a page even where every name takes two
// lines, so the template keeps it together and every page starts with titles.
constexpr int kStatReportRows = 15;

// The data file: header lines (owner, card file, field, split, period, date of the count,
// cards read and counted), then a line of items per printed line: "Nazv", a marker of its kind
// ("Zagolovok" the titles, "Stroka" a value, "Itog" the totals, each empty), "k1"… up to "k12"
// (as many as the period has columns, blank in a last block that is shorter), "Vsego" (the
// block's total) and, when the period takes more than one block, "Period" (the period's total,
// filled in the last block). The columns go in blocks of twelve; each block's lines go in
// pieces of kStatReportRows, each under a line of titles, «Итого» closing the block. Written
// whole or not at all; FileError on failure.
void writeStatReport(const StatTable& table, const QString& owner, const QString& path);

// The window's «Печать»: the data file, then the report program as for every report. Reports
// its own failures over `parent`; false then.
bool printStatistics(ReportLauncher& launcher, const StatTable& table, const QString& owner,
                     QWidget* parent = nullptr);
// Menu «Шаблоны»: the template opened for editing through the report program.
bool StatPic1Click(ReportLauncher& launcher, QWidget* parent = nullptr);

} // namespace zelm
