#pragma once
// What a card list reads its rows from: a card file on disk (RecordFileReader), or the cards a
// server keeps. A source holds only a few blocks of rows at a time.
#include <QtGlobal>

namespace zelm {

class RowSource {
public:
    virtual ~RowSource() = default;
    // Whole records as last seen.
    virtual qint64 count() const = 0;
    // Record `index`, or nullptr when there is none or it cannot be read now; valid until the
    // next call of any function of this source.
    virtual const char* record(qint64 index) = 0;
    // Whether someone else changed the rows since they were last seen; when so, the source
    // takes them as they are now and returns true.
    virtual bool check() = 0;
    // Forgets what was read and takes the rows as they are now (after this program changed them).
    virtual void reload() = 0;
    // A record could not be read because the rows changed while it was read: check() is due.
    virtual bool stale() const = 0;
};

} // namespace zelm
