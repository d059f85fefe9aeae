#pragma once
// The conditions of a card search and their meaning, with no windows involved: every text
// condition is "contains" on lower-cased text, every date range compares whole days with both
// ends included, and all of them must hold.
#include "store/Records.h"

#include <QString>
#include <array>
#include <cstddef>

namespace zelm {

struct DayRange {
    double first = 0; // day counts; only their whole days matter
    double last = 0;
    bool contains(double day) const;
};

// The text fields a condition can name, in the order they are tested.
enum class SearchField {
    NomKUSP,
    AdresOrg,
    FIOSotr,
    Podrazd,
    NameOrg,
    FormSobs,
    VidORM,
    Povod,
    Osnovan,
    NomDokOsn,
    Rezultat,
    Prime4,
    DolgnUtv,
    FIOUtv,
};
inline constexpr int kSearchFieldCount = 14;

struct SearchConditions {
    DayRange dataMer;  // date of the measure
    DayRange dateKusp; // date of the KUSP entry
    DayRange dataOsn;  // date of the basis document
    // Texts as typed; a text of blanks only is no condition.
    std::array<QString, kSearchFieldCount> texts;

    QString& text(SearchField f) { return texts[static_cast<size_t>(f)]; }
    const QString& text(SearchField f) const { return texts[static_cast<size_t>(f)]; }
};

// The text a condition looks for: blanks at both ends dropped, those inside kept.
QString conditionNeedle(const QString& typed);

// Where a field lies in the record and how much it holds.
struct FieldPlace {
    std::size_t offset;
    int capacity;
};
FieldPlace fieldPlace(SearchField f);
QString fieldText(const TAnketa& card, SearchField f);

// The definition every faster test must agree with.
bool cardMatches(const TAnketa& card, const SearchConditions& conditions);

} // namespace zelm
