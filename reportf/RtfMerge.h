#pragma once
// Fills a template with a data file: header values into "#key#", one copy of a table row per
// card for rows that hold a card's item, the first card's values elsewhere.
#include <QByteArray>
#include <QString>

class QIODevice;

namespace zelm::reportf {

class RtfTemplate;
class ReportData;

// Writes the merged document to `out`; false when the device refuses a write.
bool mergeReport(const RtfTemplate& report, const ReportData& data, QIODevice& out);
QByteArray mergeReport(const RtfTemplate& report, const ReportData& data);

// Appends `text` as RTF text: \ { } escaped, non-ASCII as \uN? (in a group of its own with
// \uc1 where the template's \ucN, `unicodeSkip`, is not 1), line breaks as \line, tabs as
// \tab.
void appendRtfText(QByteArray& out, const QString& text, int unicodeSkip);

// Reads a template for `data` (throws ReportError naming `path` when it is damaged).
RtfTemplate readTemplate(const QString& path, const ReportData& data);

} // namespace zelm::reportf
