#pragma once
// Statements and row readers shared by the server layer's files.
#include "server/PgConnection.h"
#include "server/ServerRegister.h"

#include <limits>
#include <optional>

namespace zelm {

// The columns readCard() selects, in this order; a statement's own columns follow from
// kAfterCardColumns on.
inline constexpr const char* kCardColumns =
    "id, version, file, changed_by, changed_on, extract(epoch FROM changed_at)::float8, record, "
    "uniq";
inline constexpr int kAfterCardColumns = 8;
// Throws ServerError naming the card when its record is damaged (not a whole record).
ServerCard cardFromRow(const PgResult& r, int row, const QString& server);

// The literal of a bigint[] of `ids`.
QByteArray idArray(const std::vector<qint64>& ids);

// A date as it arrives sent as a parameter's text (PgParam::real), which a COPY's binary row
// must store alike: zero without its sign, and one NaN.
inline double asSentAsText(double v) {
    if (v == 0)
        return 0.0;
    return v != v ? std::numeric_limits<double>::quiet_NaN() : v;
}

// Inserts or replaces the search row of a card.
void writeSearchRow(PgConnection& c, qint64 id, CardFileKind file, const TAnketa& card);

QByteArray recordBytes(const TAnketa& card);
QByteArray recordBytes(const TSpisFil& record);

// The gap between neighbouring order keys of cards appended one after another.
inline constexpr qint64 kOrderGap = qint64(1) << 20;
// The key a gap after `last` to the end of the order; nothing when the keys ran out there and
// the file must be renumbered first.
std::optional<qint64> orderKeyAfter(qint64 last);

// Takes a workstation-wide lock until the transaction ends.
void lockForTransaction(PgConnection& c, int key);

} // namespace zelm
