#pragma once
// Passes over a card file in blocks, so a register of a hundred thousand cards is read in
// a few hundred calls. None of them moves the file's position.
#include "search/CardMatcher.h"
#include "store/CardFile.h"

#include <cstdint>
#include <optional>

namespace zelm {

struct FoundCard {
    qint64 index;
    TAnketa card;
};

// The first card at `from` or after it that passes.
std::optional<FoundCard> findForward(const RecordSource& file, const CardMatcher& matcher,
                                     qint64 from);
// The first card at `from` or before it, going down to card 0, that passes.
std::optional<FoundCard> findBackward(const RecordSource& file, const CardMatcher& matcher,
                                      qint64 from);
// Appends every card of `source` that passes, in file order, at the end of `target`;
// returns how many were appended.
qint64 appendAllMatches(const CardFile& source, const CardMatcher& matcher, CardFile& target);
// The index of the first card with this unique number, or -1.
qint64 findUniqueNumber(const CardFile& file, std::int32_t uniqueNumber);

} // namespace zelm
