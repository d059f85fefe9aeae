#include "search/CardScan.h"

#include <algorithm>
#include <vector>

namespace zelm {
namespace {

// About 3.5 MB: large enough that a read costs little per card, small enough to stay in cache.
constexpr qint64 kBlockCards = 2048;

std::vector<TAnketa> blockBuffer(qint64 total) {
    return std::vector<TAnketa>(static_cast<size_t>(std::min(total, kBlockCards)));
}

} // namespace

std::optional<FoundCard> findForward(const CardFile& file, const CardMatcher& matcher,
                                     qint64 from) {
    const qint64 total = file.count();
    if (matcher.findsNothing() || from >= total)
        return std::nullopt;
    from = std::max<qint64>(from, 0);
    std::vector<TAnketa> block = blockBuffer(total - from);
    for (qint64 first = from; first < total; first += kBlockCards) {
        const qint64 n = std::min(kBlockCards, total - first);
        file.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            if (matcher.matches(block[static_cast<size_t>(i)]))
                return FoundCard{first + i, block[static_cast<size_t>(i)]};
    }
    return std::nullopt;
}

std::optional<FoundCard> findBackward(const CardFile& file, const CardMatcher& matcher,
                                      qint64 from) {
    const qint64 total = file.count();
    from = std::min(from, total - 1);
    if (matcher.findsNothing() || from < 0)
        return std::nullopt;
    std::vector<TAnketa> block = blockBuffer(from + 1);
    for (qint64 end = from + 1; end > 0; end -= kBlockCards) {
        const qint64 first = std::max<qint64>(0, end - kBlockCards);
        const qint64 n = end - first;
        file.readRange(first, n, block.data());
        for (qint64 i = n - 1; i >= 0; --i)
            if (matcher.matches(block[static_cast<size_t>(i)]))
                return FoundCard{first + i, block[static_cast<size_t>(i)]};
    }
    return std::nullopt;
}

qint64 appendAllMatches(const CardFile& source, const CardMatcher& matcher, CardFile& target) {
    const qint64 total = source.count();
    if (matcher.findsNothing() || total == 0)
        return 0;
    std::vector<TAnketa> block = blockBuffer(total);
    std::vector<TAnketa> found;
    found.reserve(block.size());
    qint64 appended = 0;
    for (qint64 first = 0; first < total; first += kBlockCards) {
        const qint64 n = std::min(kBlockCards, total - first);
        source.readRange(first, n, block.data());
        found.clear();
        for (qint64 i = 0; i < n; ++i)
            if (matcher.matches(block[static_cast<size_t>(i)]))
                found.push_back(block[static_cast<size_t>(i)]);
        if (!found.empty())
            target.appendMany(found.data(), static_cast<qint64>(found.size()));
        appended += static_cast<qint64>(found.size());
    }
    return appended;
}

qint64 findUniqueNumber(const CardFile& file, std::int32_t uniqueNumber) {
    const qint64 total = file.count();
    std::vector<TAnketa> block = blockBuffer(total);
    for (qint64 first = 0; first < total; first += kBlockCards) {
        const qint64 n = std::min(kBlockCards, total - first);
        file.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            if (block[static_cast<size_t>(i)].Klu4Form1 == uniqueNumber)
                return first + i;
    }
    return -1;
}

} // namespace zelm
