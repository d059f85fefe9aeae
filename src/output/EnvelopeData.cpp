#include "output/EnvelopeData.h"

#include "store/TextFiles.h"
#include "store/UnitGlo.h"

namespace zelm {

void writeEnvelopeData(const EnvelopeFields& f, const QString& path) {
    const std::pair<const char*, const QString*> lines[] = {
        {"Wladelec", &f.Firma},   {"Gorod", &f.Gorod},       {"OblKr", &f.OblKr},
        {"UlDom", &f.UlDomKv},    {"PoIn", &f.PochtInd},     {"kWladelec", &f.FIOKomu},
        {"kDolgn", &f.DolgnKomu}, {"kPredpr", &f.NazvOrgan}, {"kGorod", &f.GorodKomu},
        {"kOblKr", &f.OblKomu},   {"kRaion", &f.RaionKomu},  {"kUlDom", &f.UlKvKomu},
        {"kPoIn", &f.IndexKomu},
    };
    ReportFile file(path);
    for (const auto& [key, value] : lines)
        ReportLine(file, QLatin1String(key) + QLatin1Char(':') + *value);
    file.close();
}

} // namespace zelm
