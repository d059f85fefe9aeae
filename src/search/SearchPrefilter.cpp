#include "search/SearchPrefilter.h"

#include "store/Cp1251.h"
#include "store/Cp1251Lower.h"
#include "store/DayCount.h"
#include "store/Records.h"

#include <cstddef>

namespace zelm {

CardFilter searchPrefilter(const SearchConditions& sc) {
    CardFilter f;
    for (int i = 0; i < kSearchFieldCount; ++i) {
        const QString needle = conditionNeedle(sc.texts[static_cast<size_t>(i)]);
        if (!needle.isEmpty())
            f.texts.push_back(
                {fieldPlace(static_cast<SearchField>(i)).offset, lowerCp1251(toCp1251(needle))});
    }
    f.days = {
        {offsetof(TAnketa, DataMer), wholeDays(sc.dataMer.first), wholeDays(sc.dataMer.last)},
        {offsetof(TAnketa, DateKUSP), wholeDays(sc.dateKusp.first), wholeDays(sc.dateKusp.last)},
        {offsetof(TAnketa, DataOsn), wholeDays(sc.dataOsn.first), wholeDays(sc.dataOsn.last)}};
    return f;
}

} // namespace zelm
