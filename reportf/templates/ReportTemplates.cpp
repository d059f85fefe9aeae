#include "reportf/templates/ReportTemplates.h"

#include "store/CardFile.h"
#include "store/FileError.h"

#include "store/RegularFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

// The resource lives in a static library, so it is registered by hand.
static void initReportTemplates() {
    Q_INIT_RESOURCE(report_templates);
}

namespace zelm {
namespace {

// Earlier default templates, by SHA-256 of their bytes: one still as installed is replaced by
// the current default (the statistics' first template printed every block with the whole
// period's «Всего»). One edited by its user is theirs and stays.
bool isEarlierDefault(const QString& name, const QString& path) {
    static const QByteArray statPic[] = {
        "fe394a47c6c94c56433295ab3436af035c1b7f7b16d375b3ba1095df21e979fd",
        "23b44bdc48886de49977b066f0cf43196eaa63a5a876bb21f29d0e256c6b21b5"};
    if (name != QStringLiteral("StatPic.rtf"))
        return false;
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, 1 << 20);
    } catch (const FileError&) {
        return false; // not a plain file of ours: left alone
    }
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return std::find(std::begin(statPic), std::end(statPic), hash) != std::end(statPic);
}

} // namespace

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
        if (QFileInfo::exists(target) && !isEarlierDefault(name, target))
            continue;
        QFile resource(QStringLiteral(":/zelm/report/") + name);
        if (!resource.open(QIODevice::ReadOnly))
            throw FileError(resource.errorString(), resource.fileName());
        writeFileAtomically(target, resource.readAll());
    }
}

} // namespace zelm
