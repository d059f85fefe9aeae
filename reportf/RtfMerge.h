#pragma once
// Fills a template with a data file: header values into "#key#", one copy of a table row per
// card for rows that hold a card's item, the first card's values elsewhere. Card rows one
// after another are shapes to choose from: each card goes through those whose items it has,
// and their columns that no card fills are left out.
#include <QByteArray>
#include <QString>

class QIODevice;

namespace zelm::reportf {

class RtfTemplate;
class ReportData;

// A report is at most this many bytes per byte of its template and data, plus an allowance:
// a list of real cards stays far below it, while a data file of empty cards merged into a
// wide row would otherwise fill the disk.
inline constexpr qint64 kOutputPerInputByte = 64;
inline constexpr qint64 kOutputAllowance = 16LL << 20;
qint64 reportSizeLimit(qint64 templateBytes, qint64 dataBytes);

// Writes the merged document to `out`; false when the device refuses a write. Throws
// ReportError when the report would be larger than reportSizeLimit().
bool mergeReport(const RtfTemplate& report, const ReportData& data, QIODevice& out);
QByteArray mergeReport(const RtfTemplate& report, const ReportData& data);

// Appends `text` as RTF text: \ { } escaped, non-ASCII as \uN? (in a group of its own with
// \uc1 where the template's \ucN, `unicodeSkip`, is not 1), line breaks as \line, tabs as
// \tab.
void appendRtfText(QByteArray& out, const QString& text, int unicodeSkip);

// Reads a template for `data` (throws ReportError naming `path` when it is damaged).
RtfTemplate readTemplate(const QString& path, const ReportData& data);

} // namespace zelm::reportf
