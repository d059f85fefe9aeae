#pragma once
// The data file of one envelope: the sender's and the recipient's postal details as thirteen
// header lines, nothing after them. Written whole and renamed over the old file.
#include <QString>

namespace zelm {

struct EnvelopeFields {
    // The sender, from the window's sender boxes.
    QString Firma, Gorod, OblKr, UlDomKv, PochtInd;
    // The recipient.
    QString FIOKomu, DolgnKomu, NazvOrgan, GorodKomu, OblKomu, RaionKomu, UlKvKomu, IndexKomu;
};

// Throws FileError; the old file stays when the new one cannot be written.
void writeEnvelopeData(const EnvelopeFields& fields, const QString& path);

} // namespace zelm
