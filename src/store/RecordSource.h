#pragma once
// Records read by their place in an ordered file: the data folder's card files, or the cards a
// server keeps in the register's order. Passes over a register read through this.
#include <QtGlobal>

namespace zelm {

class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual qint64 count() const = 0;
    // Reads `n` whole records from index `first` into `out`.
    virtual void readRange(qint64 first, qint64 n, void* out) const = 0;
};

} // namespace zelm
