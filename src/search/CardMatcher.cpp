#include "search/CardMatcher.h"

#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zelm {
namespace {

// Horspool's search over lower-cased bytes: the window moves on by the distance from the end
// of the needle to the last place its final byte's letter occurs in it, so a field is mostly
// stepped over several bytes at a time rather than looked at byte by byte.
bool containsLowered(const std::uint8_t* hay, int hayLength, const std::string& needle,
                     const std::array<std::uint8_t, 256>& shift,
                     const std::array<std::uint8_t, 256>& lower) {
    const int n = static_cast<int>(needle.size());
    const auto* nd = reinterpret_cast<const std::uint8_t*>(needle.data());
    const int lastAt = n - 1;
    const std::uint8_t last = nd[lastAt];
    for (int i = 0, end = hayLength - n; i <= end;) {
        const std::uint8_t b = hay[i + lastAt];
        if (lower[b] == last) {
            int j = 0;
            while (j < lastAt && lower[hay[i + j]] == nd[j])
                ++j;
            if (j == lastAt)
                return true;
        }
        i += shift[b];
    }
    return false;
}

// The ends of the range are whole days already (see the constructor).
bool inWholeDays(const DayRange& r, double day) {
    const double d = std::trunc(day);
    return r.first <= d && d <= r.last;
}

} // namespace

CardMatcher::CardMatcher(const SearchConditions& c)
    : m_dataMer(c.dataMer), m_dateKusp(c.dateKusp), m_dataOsn(c.dataOsn) {
    for (int i = 0; i < kSearchFieldCount; ++i) {
        const QString needle = conditionNeedle(c.texts[static_cast<size_t>(i)]).toLower();
        if (needle.isEmpty())
            continue;
        const QByteArray bytes = toCp1251(needle);
        // Only a needle made wholly of code-page characters can occur in a stored field.
        if (fromCp1251(bytes) != needle)
            m_impossible = true;
        const FieldPlace place = fieldPlace(static_cast<SearchField>(i));
        TextTest t{place.offset, place.capacity, bytes.toStdString(), {}};
        // Indexed by the stored byte, already folded: every byte of either case shifts alike.
        const auto& lower = cp1251LowerTable();
        const int n = static_cast<int>(t.needle.size());
        std::array<std::uint8_t, 256> byLowered;
        byLowered.fill(static_cast<std::uint8_t>(std::min(n, 255)));
        for (int k = 0; k < n - 1; ++k)
            byLowered[static_cast<std::uint8_t>(t.needle[static_cast<size_t>(k)])] =
                static_cast<std::uint8_t>(std::min(n - 1 - k, 255));
        for (int b = 0; b < 256; ++b)
            t.shift[static_cast<size_t>(b)] = byLowered[lower[static_cast<size_t>(b)]];
        m_texts.push_back(std::move(t));
    }
    m_dataMer.first = wholeDays(m_dataMer.first);
    m_dataMer.last = wholeDays(m_dataMer.last);
    m_dateKusp.first = wholeDays(m_dateKusp.first);
    m_dateKusp.last = wholeDays(m_dateKusp.last);
    m_dataOsn.first = wholeDays(m_dataOsn.first);
    m_dataOsn.last = wholeDays(m_dataOsn.last);
}

bool CardMatcher::matches(const TAnketa& card) const {
    if (m_impossible)
        return false;
    if (!inWholeDays(m_dataMer, card.DataMer) || !inWholeDays(m_dateKusp, card.DateKUSP) ||
        !inWholeDays(m_dataOsn, card.DataOsn))
        return false;
    const auto& lower = cp1251LowerTable();
    const auto* base = reinterpret_cast<const std::uint8_t*>(&card);
    for (const TextTest& t : m_texts) {
        const std::uint8_t* field = base + t.offset;
        const int length = field[0] > t.capacity ? t.capacity : field[0];
        if (!containsLowered(field + 1, length, t.needle, t.shift, lower))
            return false;
    }
    return true;
}

} // namespace zelm
