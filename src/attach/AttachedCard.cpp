#include "attach/AttachedCard.h"

#include "store/UnitGlo.h"

namespace zelm {

AttachedCard AttachedCard::fromCard(const TAnketa& card) {
    AttachedCard c;
    c.number = card.Klu4Form1;
    c.nameOrg = card.NameOrg.text();
    c.osnovan = card.Osnovan.text();
    c.dataOsn = card.DataOsn;
    c.nomDokOsn = card.NomDokOsn.text();
    return c;
}

QString AttachedCard::fabula() const {
    // The date is the Russian short date, as the card window shows it.
    return QStringLiteral("Основание: ") + osnovan.trimmed() + QStringLiteral("  Дата ") +
           PlainDateText(dataOsn) + QStringLiteral("  № ") + nomDokOsn;
}

} // namespace zelm
