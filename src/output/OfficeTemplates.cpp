#include "output/OfficeTemplates.h"

#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The resource lives in a static library, so it is registered by hand.
static void initOfficeResources() {
    Q_INIT_RESOURCE(office);
}

namespace zelm {

void writeMissingOfficeTemplates(const Installation& inst) {
    initOfficeResources();
    for (const char* name : {"Otveti/BlankFirma.doc", "WhodWord/Blank.doc"}) {
        const QString target = inst.path(QLatin1String(name));
        if (QFileInfo::exists(target))
            continue;
        QFile resource(QStringLiteral(":/zelm/office/") + QFileInfo(target).fileName());
        if (!resource.open(QIODevice::ReadOnly))
            throw FileError(resource.errorString(), resource.fileName());
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            throw FileError(QStringLiteral("Cannot create folder"),
                            QFileInfo(target).absolutePath());
        writeFileAtomically(target, resource.readAll());
    }
}

} // namespace zelm
