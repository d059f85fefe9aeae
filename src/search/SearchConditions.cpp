#include "search/SearchConditions.h"

#include "store/DayCount.h"

namespace zelm {

bool DayRange::contains(double day) const {
    const double d = wholeDays(day);
    return wholeDays(first) <= d && d <= wholeDays(last);
}

QString conditionNeedle(const QString& typed) {
    return typed.trimmed();
}

FieldPlace fieldPlace(SearchField f) {
#define ZELM_PLACE(name)                                                                           \
    FieldPlace {                                                                                   \
        offsetof(TAnketa, name), decltype(TAnketa::name)::capacity                                 \
    }
    switch (f) {
    case SearchField::NomKUSP:
        return ZELM_PLACE(NomKUSP);
    case SearchField::AdresOrg:
        return ZELM_PLACE(AdresOrg);
    case SearchField::FIOSotr:
        return ZELM_PLACE(FIOSotr);
    case SearchField::Podrazd:
        return ZELM_PLACE(Podrazd);
    case SearchField::NameOrg:
        return ZELM_PLACE(NameOrg);
    case SearchField::FormSobs:
        return ZELM_PLACE(FormSobs);
    case SearchField::VidORM:
        return ZELM_PLACE(VidORM);
    case SearchField::Povod:
        return ZELM_PLACE(Povod);
    case SearchField::Osnovan:
        return ZELM_PLACE(Osnovan);
    case SearchField::NomDokOsn:
        return ZELM_PLACE(NomDokOsn);
    case SearchField::Rezultat:
        return ZELM_PLACE(Rezultat);
    case SearchField::Prime4:
        return ZELM_PLACE(Prime4);
    case SearchField::DolgnUtv:
        return ZELM_PLACE(DolgnUtv);
    case SearchField::FIOUtv:
        return ZELM_PLACE(FIOUtv);
    }
#undef ZELM_PLACE
    return {0, 0};
}

QString fieldText(const TAnketa& card, SearchField f) {
    switch (f) {
    case SearchField::NomKUSP:
        return card.NomKUSP.text();
    case SearchField::AdresOrg:
        return card.AdresOrg.text();
    case SearchField::FIOSotr:
        return card.FIOSotr.text();
    case SearchField::Podrazd:
        return card.Podrazd.text();
    case SearchField::NameOrg:
        return card.NameOrg.text();
    case SearchField::FormSobs:
        return card.FormSobs.text();
    case SearchField::VidORM:
        return card.VidORM.text();
    case SearchField::Povod:
        return card.Povod.text();
    case SearchField::Osnovan:
        return card.Osnovan.text();
    case SearchField::NomDokOsn:
        return card.NomDokOsn.text();
    case SearchField::Rezultat:
        return card.Rezultat.text();
    case SearchField::Prime4:
        return card.Prime4.text();
    case SearchField::DolgnUtv:
        return card.DolgnUtv.text();
    case SearchField::FIOUtv:
        return card.FIOUtv.text();
    }
    return {};
}

bool cardMatches(const TAnketa& card, const SearchConditions& c) {
    if (!c.dataMer.contains(card.DataMer) || !c.dateKusp.contains(card.DateKUSP) ||
        !c.dataOsn.contains(card.DataOsn))
        return false;
    for (int i = 0; i < kSearchFieldCount; ++i) {
        const auto field = static_cast<SearchField>(i);
        const QString needle = conditionNeedle(c.texts[static_cast<size_t>(i)]);
        if (needle.isEmpty())
            continue;
        if (!fieldText(card, field).toLower().contains(needle.toLower()))
            return false;
    }
    return true;
}

} // namespace zelm
