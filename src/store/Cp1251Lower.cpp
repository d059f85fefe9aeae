#include "store/Cp1251Lower.h"

#include "store/Cp1251.h"

namespace zelm {

const std::array<std::uint8_t, 256>& cp1251LowerTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString lowered = fromCp1251(&byte, 1).toLower();
            const QByteArray back = toCp1251(lowered);
            t[static_cast<size_t>(b)] = (back.size() == 1 && fromCp1251(back) == lowered)
                                            ? static_cast<std::uint8_t>(back[0])
                                            : static_cast<std::uint8_t>(b);
        }
        return t;
    }();
    return table;
}

QByteArray lowerCp1251(QByteArray bytes) {
    const auto& t = cp1251LowerTable();
    for (char& ch : bytes)
        ch = static_cast<char>(t[static_cast<std::uint8_t>(ch)]);
    return bytes;
}

} // namespace zelm
