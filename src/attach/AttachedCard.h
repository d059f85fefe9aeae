#pragma once
// What the attached-files window needs to know of the card shown in the card window.
#include "store/Records.h"

#include <QString>
#include <cstdint>

namespace zelm {

struct AttachedCard {
    std::int32_t number = 0; // Klu4Form1
    QString nameOrg;         // NameOrg
    QString osnovan;         // Osnovan, the kind of the basis document
    double dataOsn = 0;      // DataOsn, a day count
    QString nomDokOsn;       // NomDokOsn

    static AttachedCard fromCard(const TAnketa& card);
    // "Основание: <kind>  Дата <date>  № <number>", the text of Fabula.
    QString fabula() const;
};

} // namespace zelm
