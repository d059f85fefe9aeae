#pragma once
// The search conditions prepared for testing raw records: the texts are compared as
// Windows-1251 bytes through a lower-case table, so no field is decoded. It finds exactly the
// cards cardMatches() finds.
#include "search/SearchConditions.h"
#include "store/Cp1251Lower.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelm {

class CardMatcher {
public:
    explicit CardMatcher(const SearchConditions& conditions);

    bool matches(const TAnketa& card) const;
    // A condition whose text no stored field can hold (a character outside the code page).
    bool findsNothing() const { return m_impossible; }

private:
    struct TextTest {
        std::size_t offset; // of the length byte in the record
        int capacity;
        std::string needle; // lower-cased Windows-1251
        // Sixteen copies each of the stored bytes that lower to the needle's first byte (its two
        // cases, or one byte twice) and to its last; `twoCases` is false when some letter has
        // more than two.
        alignas(16) std::array<std::array<std::uint8_t, 16>, 4> lanes;
        bool twoCases;
    };
    // Whether the field whose bytes start at `text` holds the test's needle in its first
    // `length` bytes.
    static bool holds(const TextTest& t, const std::uint8_t* text, int length,
                      const std::array<std::uint8_t, 256>& lower);

    DayRange m_dataMer, m_dateKusp, m_dataOsn;
    std::vector<TextTest> m_texts;
    const std::array<std::uint8_t, 256>* m_lower = &cp1251LowerTable();
    bool m_impossible = false;
};

} // namespace zelm
