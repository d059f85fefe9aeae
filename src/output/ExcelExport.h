#pragma once
// The Working and Archive lists handed to Excel: the grid as it is shown, written into
// L_Excel.txt (";"-separated, Windows-1251, CR LF) and opened there as a new workbook.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace zelm {

class Installation;
class OfficeAutomation;

// The grid: row 0 holds the titles; cell(row, column) is the text shown.
struct ExportGrid {
    int rowCount = 0;
    int columnCount = 0;
    std::function<QString(int row, int column)> cell;
};

// Percent of the rows written, from 0 to 100, and 0 again when the export is over.
using ExportProgress = std::function<void(int percent)>;

QString exportFilePath(const Installation& inst); // <installation>/L_Excel.txt

// One line of the file: every cell followed by ";", then CR LF, in Windows-1251. A cell
// holding ";", a quotation mark or a line break is put in quotation marks with its inner
// quotation marks doubled, so it stays one cell; the others are written as they are.
QByteArray exportLine(const QStringList& cells);

// Writes the whole grid into `path`: a complete scratch file renamed over the old one, so a
// failed export leaves the previous file as it was. FileError on failure.
void writeExportFile(const QString& path, const ExportGrid& grid,
                     const ExportProgress& progress = {});

// ExportTable: writes the file, then Excel opens it and is shown. Unless `verOff` is "2003",
// the connection to Excel is made afresh. FileError or OfficeError on failure; the progress
// returns to 0 in any case.
void ExportTable(const ExportGrid& grid, const Installation& inst, const QString& verOff,
                 OfficeAutomation& office, const ExportProgress& progress = {});
// The same into the file `path` of the installation folder.
void ExportTable(const ExportGrid& grid, const QString& path, const QString& verOff,
                 OfficeAutomation& office, const ExportProgress& progress = {});

} // namespace zelm
