#include "store/DataFileNames.h"

#include "store/ReferenceLists.h"

namespace zelm {

const std::array<ReferenceListDef, 12>& referenceLists() {
    static const std::array<ReferenceListDef, 12> lists = {{
        {"Povod.txt", "Povod", 50},
        {"VidORM.txt", "VidORM", 50},
        {"Osnovan.txt", "Osnovan", 50},
        {"FormSobs.txt", "FormSobs", 100},
        {"DolgSotr.txt", "DolgSotr", 50},
        {"ZvanSotr.txt", "ZvanSotr", 30},
        {"FIOSotr.txt", "FIOSotr", 50},
        {"DolgUtv.txt", "DolgnUtv", 50},
        {"ZvanUtv.txt", "ZvanUtv", 30},
        {"FIOUtv.txt", "FIOUtv", 50},
        {"KUSPForm.txt", "FabKUSP", 20},
        {"Podrazd.txt", "Podrazd", 50},
    }};
    return lists;
}

const QStringList& dataFolderFileNames() {
    static const QStringList names = [] {
        QStringList out = {QStringLiteral("Anketi.dat"), QStringLiteral("ArhAnket.dat"),
                           QStringLiteral("SpisFil.dat"), QStringLiteral("History.dat")};
        for (const ReferenceListDef& def : referenceLists())
            out << QLatin1String(def.file);
        return out;
    }();
    return names;
}

QString dataFolderFileName(const QString& name) {
    for (const QString& known : dataFolderFileNames())
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return known;
    return {};
}

} // namespace zelm
