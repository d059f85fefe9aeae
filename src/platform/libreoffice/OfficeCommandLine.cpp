#include "platform/libreoffice/OfficeCommandLine.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QUrl>

namespace zelm {

QString officePipeName(const QString& profileFolder) {
    const QByteArray hash = QCryptographicHash::hash(
        QFileInfo(profileFolder).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("zelm_office_") + QString::fromLatin1(hash.toHex().left(16));
}

QStringList officeArguments(const QString& profileFolder, const QString& pipeName, bool headless) {
    const QString profileUrl = QUrl::fromLocalFile(QFileInfo(profileFolder).absoluteFilePath())
                                   .toString(QUrl::FullyEncoded);
    QStringList args{
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName),
        QStringLiteral("-env:UserInstallation=") + profileUrl,
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
    };
    if (headless)
        args << QStringLiteral("--headless");
    return args;
}

} // namespace zelm
