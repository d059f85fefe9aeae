#pragma once
// The default report templates carried inside the program.
#include <QString>
#include <QStringList>

namespace zelm {

// "PolnPic.rtf", "KnigaPic.rtf", "KonA8Pic.rtf", "KonA9Pic.rtf", "StatPic.rtf".
QStringList reportTemplateNames();

// Writes every default template that `reportFolder` lacks (the folder is made when missing);
// a template already there is left alone, unless it is an earlier default of ours unchanged,
// which is brought up to date. Each is written whole under a
// scratch name and renamed into place. Throws FileError naming the file when one cannot be
// written.
void writeMissingReportTemplates(const QString& reportFolder);

} // namespace zelm
