#include "search/CardMatcher.h"

#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <bit>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelm {
namespace {

bool middleMatches(const std::uint8_t* at, const std::uint8_t* needle, int n,
                   const std::array<std::uint8_t, 256>& lower) {
    for (int j = 1; j < n - 1; ++j)
        if (lower[at[j]] != needle[j])
            return false;
    return true;
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
        TextTest t{place.offset, place.capacity, bytes.toStdString(), {}, true};
        // The stored bytes that lower to the needle's first and to its last byte.
        const auto& lower = cp1251LowerTable();
        const auto cases = [&](std::uint8_t folded, int lane) {
            int found = 0;
            t.lanes[size_t(lane)].fill(folded);
            t.lanes[size_t(lane + 1)].fill(folded);
            for (int b = 0; b < 256; ++b)
                if (lower[static_cast<size_t>(b)] == folded) {
                    if (found < 2)
                        t.lanes[size_t(lane + found)].fill(static_cast<std::uint8_t>(b));
                    ++found;
                }
            if (found > 2)
                t.twoCases = false;
        };
        cases(static_cast<std::uint8_t>(t.needle.front()), 0);
        cases(static_cast<std::uint8_t>(t.needle.back()), 2);
        m_texts.push_back(std::move(t));
    }
    m_dataMer.first = wholeDays(m_dataMer.first);
    m_dataMer.last = wholeDays(m_dataMer.last);
    m_dateKusp.first = wholeDays(m_dateKusp.first);
    m_dateKusp.last = wholeDays(m_dateKusp.last);
    m_dataOsn.first = wholeDays(m_dataOsn.first);
    m_dataOsn.last = wholeDays(m_dataOsn.last);
}

// Sixteen places are tested at once for the needle's first and last letter in either case, so a
// field without them costs a few instructions and no branch that depends on its text; only
// places where both stand are compared in full.
bool CardMatcher::holds(const TextTest& t, const std::uint8_t* hay, int length,
                        const std::array<std::uint8_t, 256>& lower) {
    const int room = t.capacity; // bytes that may be read: the field's own
    const int n = static_cast<int>(t.needle.size());
    const auto* nd = reinterpret_cast<const std::uint8_t*>(t.needle.data());
    const int last = length - n; // the last place the needle may start
    int i = 0;
#if defined(__SSE2__)
    if (t.twoCases) {
        const auto lane = [&t](int k) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(t.lanes[size_t(k)].data()));
        };
        const __m128i firstA = lane(0), firstB = lane(1), lastA = lane(2), lastB = lane(3);
        for (; i <= last && i + 15 + n - 1 < room; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + n - 1));
            const __m128i both =
                _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, firstA), _mm_cmpeq_epi8(a, firstB)),
                              _mm_or_si128(_mm_cmpeq_epi8(b, lastA), _mm_cmpeq_epi8(b, lastB)));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(both));
            if (last - i < 15)
                mask &= (2u << (last - i)) - 1;
            for (; mask; mask &= mask - 1)
                if (middleMatches(hay + i + std::countr_zero(mask), nd, n, lower))
                    return true;
        }
    }
#endif
    for (; i <= last; ++i)
        if (lower[hay[i]] == nd[0] && lower[hay[i + n - 1]] == nd[n - 1] &&
            middleMatches(hay + i, nd, n, lower))
            return true;
    return false;
}

bool CardMatcher::matches(const TAnketa& card) const {
    if (m_impossible)
        return false;
    // Most cards fail on a word, so the dates, on other cache lines, are read only for the few
    // that hold every word.
    const auto& lower = *m_lower;
    const auto* base = reinterpret_cast<const std::uint8_t*>(&card);
    for (const TextTest& t : m_texts) {
        const std::uint8_t* field = base + t.offset;
        const int length = field[0] > t.capacity ? t.capacity : field[0];
        if (!holds(t, field + 1, length, lower))
            return false;
    }
    return inWholeDays(m_dataMer, card.DataMer) && inWholeDays(m_dateKusp, card.DateKUSP) &&
           inWholeDays(m_dataOsn, card.DataOsn);
}

} // namespace zelm
