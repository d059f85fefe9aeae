#include "attach/LinkPath.h"

#include "store/Cp1251.h"
#include "store/Installation.h"
#include "store/Records.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zelm {

bool sameLinkPath(const QString& a, const QString& b) {
    return a.trimmed() == b.trimmed();
}

QString localFileOf(const Installation& inst, const QString& storedPath) {
    static const QRegularExpression oldInstallation(QStringLiteral("^c:[\\\\/]zelm([\\\\/]|$)"),
                                                    QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression windowsPath(QStringLiteral("^([A-Za-z]:|\\\\\\\\)"));
    const QString p = storedPath.trimmed();
    if (p.isEmpty())
        return {};
    if (oldInstallation.match(p).hasMatch())
        return inst.mapStoredPath(p);
    if (windowsPath.match(p).hasMatch())
        return {};
    if (QDir::isRelativePath(p))
        return inst.path(p);
    return p;
}

bool linkedFileExists(const Installation& inst, const QString& storedPath) {
    const QString local = localFileOf(inst, storedPath);
    return !local.isEmpty() && QFileInfo(local).isFile();
}

bool fitsStoredPath(const QString& path) {
    const QByteArray bytes = toCp1251(path);
    return bytes.size() <= decltype(TSpisFil::PutFil)::capacity && fromCp1251(bytes) == path;
}

} // namespace zelm
