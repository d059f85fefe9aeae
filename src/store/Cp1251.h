#pragma once
// Windows-1251 is the encoding of every byte the program stores or exchanges;
// inside, text is QString. Characters the code page cannot hold become '?'.
#include <QByteArray>
#include <QString>
#include <string_view>

namespace zelm {

QString fromCp1251(const char* data, qsizetype size);
inline QString fromCp1251(const QByteArray& bytes) {
    return fromCp1251(bytes.constData(), bytes.size());
}
QByteArray toCp1251(const QString& text);
char toCp1251Char(QChar c);
// True when every character of `text` has a Windows-1251 byte (none would become '?').
bool fitsCp1251(const QString& text);

} // namespace zelm
