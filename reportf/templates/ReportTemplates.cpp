#include "reportf/templates/ReportTemplates.h"

#include "store/CardFile.h"
#include "store/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The resource lives in a static library, so it is registered by hand.
static void initReportTemplates() {
    Q_INIT_RESOURCE(report_templates);
}

namespace zelm {

QStringList reportTemplateNames() {
    return {QStringLiteral("PolnPic.rtf"), QStringLiteral("KnigaPic.rtf"),
            QStringLiteral("KonA8Pic.rtf"), QStringLiteral("KonA9Pic.rtf"),
            QStringLiteral("StatPic.rtf")};
}

void writeMissingReportTemplates(const QString& reportFolder) {
    initReportTemplates();
    if (!QDir().mkpath(reportFolder))
        throw FileError(QStringLiteral("Cannot create folder"), reportFolder);
    for (const QString& name : reportTemplateNames()) {
        const QString target = QDir(reportFolder).filePath(name);
        if (QFileInfo::exists(target))
            continue;
        QFile resource(QStringLiteral(":/zelm/report/") + name);
        if (!resource.open(QIODevice::ReadOnly))
            throw FileError(resource.errorString(), resource.fileName());
        writeFileAtomically(target, resource.readAll());
    }
}

} // namespace zelm
