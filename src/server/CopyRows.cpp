#include "server/CopyRows.h"

#include <cmath>
#include <cstring>

namespace zelm {

CopyRows::CopyRows() {
    static const char signature[] = "PGCOPY\n\377\r\n";
    m_data.append(signature, 11);
    put32(0); // flags: no OIDs
    put32(0); // header extension length
}

void CopyRows::put16(std::uint16_t v) {
    const char b[2] = {char(v >> 8), char(v)};
    m_data.append(b, 2);
}

void CopyRows::put32(std::uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    m_data.append(b, 4);
}

void CopyRows::put64(std::uint64_t v) {
    put32(static_cast<std::uint32_t>(v >> 32));
    put32(static_cast<std::uint32_t>(v));
}

void CopyRows::beginRow(int fields) {
    put16(static_cast<std::uint16_t>(fields));
}

void CopyRows::int16(std::int16_t v) {
    put32(2);
    put16(static_cast<std::uint16_t>(v));
}

void CopyRows::int32(std::int32_t v) {
    put32(4);
    put32(static_cast<std::uint32_t>(v));
}

void CopyRows::int64(std::int64_t v) {
    put32(8);
    put64(static_cast<std::uint64_t>(v));
}

void CopyRows::float8(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    put32(8);
    put64(bits);
}

void CopyRows::text(const QString& s) {
    bytes(s.toUtf8());
}

void CopyRows::bytes(const char* data, int size) {
    put32(static_cast<std::uint32_t>(size));
    m_data.append(data, size);
}

void CopyRows::timestampFromMs(std::int64_t ms) {
    // The server's own steps, in the same double arithmetic: seconds since 1970, moved to its
    // epoch of 2000-01-01, rounded to microseconds.
    constexpr double kEpochShift = 946684800.0;
    const double seconds = static_cast<double>(ms) / 1000.0 - kEpochShift;
    int64(static_cast<std::int64_t>(std::rint(seconds * 1000000.0)));
}

QByteArray CopyRows::take(bool last) {
    if (last)
        put16(0xFFFF);
    QByteArray out;
    out.swap(m_data);
    m_data.reserve(out.capacity());
    return out;
}

} // namespace zelm
