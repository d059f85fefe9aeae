#include "search/CardScan.h"

#include "store/RecordScan.h"

#include <vector>

namespace zelm {

std::optional<FoundCard> findForward(const RecordSource& file, const CardMatcher& matcher,
                                     qint64 from) {
    if (matcher.findsNothing())
        return std::nullopt;
    std::optional<FoundCard> found;
    scanForward<TAnketa>(file, from, [&](qint64 index, const TAnketa& card) {
        if (!matcher.matches(card))
            return true;
        found = FoundCard{index, card};
        return false;
    });
    return found;
}

std::optional<FoundCard> findBackward(const RecordSource& file, const CardMatcher& matcher,
                                      qint64 from) {
    if (matcher.findsNothing())
        return std::nullopt;
    std::optional<FoundCard> found;
    scanBackward<TAnketa>(file, from, [&](qint64 index, const TAnketa& card) {
        if (!matcher.matches(card))
            return true;
        found = FoundCard{index, card};
        return false;
    });
    return found;
}

qint64 appendAllMatches(const CardFile& source, const CardMatcher& matcher, CardFile& target) {
    if (matcher.findsNothing())
        return 0;
    return appendMatching<TAnketa>(
        source, [&matcher](const TAnketa& card) { return matcher.matches(card); }, target);
}

qint64 findUniqueNumber(const CardFile& file, std::int32_t uniqueNumber) {
    return scanForward<TAnketa>(file, 0, [uniqueNumber](qint64, const TAnketa& card) {
        return card.Klu4Form1 != uniqueNumber;
    });
}

} // namespace zelm
