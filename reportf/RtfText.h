#pragma once
// The text of an RTF document's body as a reader sees it: paragraphs, and the cells of each
// table row. Used to check merged reports.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zelm::reportf {

struct RtfText {
    QString text;            // paragraphs end in '\n', cells in '\t'
    QList<QStringList> rows; // every table row of the body, its cells' text
};

// Throws RtfSyntaxError when the bytes are not readable RTF.
RtfText rtfText(const QByteArray& bytes);

} // namespace zelm::reportf
