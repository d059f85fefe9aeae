#pragma once
// One start of the report program, as the card index starts it in its "report" folder:
//   XDat.txt XPic.rtf XRep.rtf - /m   merge into XRep.rtf and stop
//   XDat.txt XPic.rtf XRep.rtf        merge and show XRep.rtf read-only
//   XDat.txt XPic.rtf XRep.rtf - /p   merge and print XRep.rtf on the default printer
//   XDat.txt XPic.rtf                 open the template for editing
//   --pdf OUT.pdf XDat.txt XPic.rtf   merge and write the report as PDF
#include <QString>
#include <QStringList>

namespace zelm::reportf {

class Office;
class Printers;

enum class ReportAction { Merge, View, Print, Edit, Pdf };

struct ReportRequest {
    ReportAction action = ReportAction::Merge;
    QString dataFile;
    QString templateFile;
    QString outputFile; // XRep.rtf, or the PDF
};

// Throws UsageError with the correct usage when the arguments are not one of the above.
ReportRequest parseArguments(const QStringList& arguments);

// Does what the request asks; throws ReportError.
void runReport(const ReportRequest& request, Office& office, Printers& printers);

// Merges the data file into the template and writes the result to `output` as a whole: into a
// scratch file beside it, renamed over it once complete.
void mergeToFile(const QString& dataFile, const QString& templateFile, const QString& output);

// A copy of the merged report for one showing, in a folder of its own, so that a LibreOffice
// that still shows an earlier report opens the new one instead of raising the old window.
QString viewCopy(const QString& report);

} // namespace zelm::reportf
