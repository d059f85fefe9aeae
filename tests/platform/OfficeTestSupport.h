#pragma once
// The headless LibreOffice of the tests, shared by every test of one process.
#include "platform/libreoffice/LibreOfficeSession.h"

#include <QString>

namespace zelm::testing {

// Connected on first use (starting soffice when the fixture has not), closed after the last
// test of the process; the documents of earlier tests are closed first.
LibreOfficeSession& testOffice();

// Writes `rtf` (ASCII RTF) to `path` and has LibreOffice store it with `filterName`
// ("Rich Text Format" copies the file as it is).
void makeDocument(const QString& path, const QByteArray& rtf, const QString& filterName);

// RTF escapes for Cyrillic text: \'hh in Windows-1251.
QByteArray rtfText(const QString& text);

} // namespace zelm::testing
