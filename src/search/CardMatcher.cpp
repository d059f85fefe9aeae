#include "search/CardMatcher.h"

#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <cstring>

namespace zelm {
namespace {

bool containsLowered(const std::uint8_t* hay, int hayLength, const std::string& needle,
                     const std::array<std::uint8_t, 256>& lower) {
    const int n = static_cast<int>(needle.size());
    const auto* nd = reinterpret_cast<const std::uint8_t*>(needle.data());
    const std::uint8_t first = nd[0];
    for (int i = 0, last = hayLength - n; i <= last; ++i) {
        if (lower[hay[i]] != first)
            continue;
        int j = 1;
        while (j < n && lower[hay[i + j]] == nd[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
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
        m_texts.push_back({place.offset, place.capacity, bytes.toStdString()});
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
    if (!m_dataMer.contains(card.DataMer) || !m_dateKusp.contains(card.DateKUSP) ||
        !m_dataOsn.contains(card.DataOsn))
        return false;
    const auto& lower = cp1251LowerTable();
    const auto* base = reinterpret_cast<const std::uint8_t*>(&card);
    for (const TextTest& t : m_texts) {
        const std::uint8_t* field = base + t.offset;
        const int length = field[0] > t.capacity ? t.capacity : field[0];
        if (!containsLowered(field + 1, length, t.needle, lower))
            return false;
    }
    return true;
}

} // namespace zelm
