#pragma once
// A search's conditions as a server can test them on its folded copy of each card: text that
// must stand in a field, lower-cased byte by byte in Windows-1251, and ranges of whole days.
// The server sends a superset; the program confirms each card with its own matcher.
#include <QByteArray>
#include <cstddef>
#include <vector>

namespace zelm {

struct TextCondition {
    std::size_t offset; // of the field's length byte
    QByteArray needle;  // Windows-1251, lower-cased (lowerCp1251); empty is no condition
};
struct DayCondition {
    std::size_t offset; // of a date field: DataMer, DateKUSP or DataOsn
    double first;       // whole days, both ends included
    double last;
};
struct CardFilter {
    std::vector<TextCondition> texts;
    std::vector<DayCondition> days;
};

} // namespace zelm
