#pragma once
// Rows in COPY's binary form (FORMAT binary): the values as the server keeps them, so it parses
// no text, and bytes and numbers arrive exactly as sent.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace zelm {

class CopyRows {
public:
    CopyRows(); // starts with the format's header

    void beginRow(int fields);
    void int16(std::int16_t v);
    void int32(std::int32_t v);
    void int64(std::int64_t v);
    void float8(double v);
    void text(const QString& s); // in the connection's encoding, UTF-8
    void bytes(const char* data, int size);
    void bytes(const QByteArray& b) { bytes(b.constData(), static_cast<int>(b.size())); }
    // A value already in the binary form of its type (an array, say).
    void binaryValue(const QByteArray& b) { bytes(b); }
    // timestamptz from milliseconds since 1970 as to_timestamp(ms / 1000.0) rounds them.
    void timestampFromMs(std::int64_t ms);

    qsizetype size() const { return m_data.size(); }
    // The rows so far, leaving none; with `last`, the format's trailer after them.
    QByteArray take(bool last = false);

private:
    void put16(std::uint16_t v);
    void put32(std::uint32_t v);
    void put64(std::uint64_t v);
    QByteArray m_data;
};

} // namespace zelm
