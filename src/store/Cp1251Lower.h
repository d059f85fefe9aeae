#pragma once
// Case folding of stored Windows-1251 text without decoding it: the local search and the
// server's search table fold the same way, so both find the same cards.
#include <QByteArray>
#include <array>
#include <cstdint>

namespace zelm {

// The lower-case byte of every Windows-1251 byte: decoding it, lowering it and encoding it
// again gives the same byte as lowering the decoded character does. A character whose lower
// case the code page lacks keeps its own byte.
const std::array<std::uint8_t, 256>& cp1251LowerTable();
// Every byte of `bytes` lowered through that table.
QByteArray lowerCp1251(QByteArray bytes);

} // namespace zelm
