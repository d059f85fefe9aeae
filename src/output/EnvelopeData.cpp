#include "output/EnvelopeData.h"

#include "store/ReportKeys.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

namespace zelm {

void writeEnvelopeData(const EnvelopeFields& f, const QString& path) {
    // In the order of reportkeys::kEnvelope.
    const QString* values[] = {&f.Firma,     &f.Gorod,     &f.OblKr,     &f.UlDomKv,   &f.PochtInd,
                               &f.FIOKomu,   &f.DolgnKomu, &f.NazvOrgan, &f.GorodKomu, &f.OblKomu,
                               &f.RaionKomu, &f.UlKvKomu,  &f.IndexKomu};
    static_assert(std::size(values) == reportkeys::kEnvelope.size());
    ReportFile file(path);
    for (size_t i = 0; i < reportkeys::kEnvelope.size(); ++i) {
        const reportkeys::Keys key = reportkeys::kEnvelope[i];
        ReportLine(file, reportkeys::text(key) + QLatin1Char(':') + *values[i]);
    }
    file.close();
}

} // namespace zelm
