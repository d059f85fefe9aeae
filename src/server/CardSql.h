#pragma once
// Statements and row readers shared by the server layer's files.
#include "server/PgConnection.h"
#include "server/ServerRegister.h"

namespace zelm {

// The columns readCard() selects, in this order.
inline constexpr const char* kCardColumns =
    "id, version, file, changed_by, changed_on, extract(epoch FROM changed_at)::float8, record";
ServerCard cardFromRow(const PgResult& r, int row);

// Inserts or replaces the search row of a card.
void writeSearchRow(PgConnection& c, qint64 id, CardFileKind file, const TAnketa& card);

QByteArray recordBytes(const TAnketa& card);
QByteArray recordBytes(const TSpisFil& record);

// The gap between neighbouring order keys of cards appended one after another.
inline constexpr qint64 kOrderGap = qint64(1) << 20;

// Takes a workstation-wide lock until the transaction ends.
void lockForTransaction(PgConnection& c, int key);

} // namespace zelm
