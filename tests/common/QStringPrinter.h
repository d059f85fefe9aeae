#pragma once
// Readable texts in failure messages: found by GoogleTest next to QString itself.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
