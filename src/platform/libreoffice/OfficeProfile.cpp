#include "platform/libreoffice/OfficeProfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>

namespace zelm {

QString libreOfficeVersion(const QString& programFolder) {
    QFile rc(programFolder + QStringLiteral("/bootstraprc"));
    if (!rc.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&rc);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.startsWith(QLatin1String("ProductKey=")))
            continue;
        const QString key = line.mid(11).trimmed();
        return key.section(QLatin1Char(' '), -1);
    }
    return {};
}

namespace {

QString item(const char* path, const char* name, const QString& value) {
    return QStringLiteral("<item oor:path=\"%1\"><prop oor:name=\"%2\" oor:op=\"fuse\">"
                          "<value>%3</value></prop></item>\n")
        .arg(QLatin1String(path), QLatin1String(name), value);
}

} // namespace

bool prepareOfficeProfile(const QString& profileFolder, const QString& version) {
    const QString userFolder = profileFolder + QStringLiteral("/user");
    const QString settings = userFolder + QStringLiteral("/registrymodifications.xcu");
    if (QFileInfo::exists(settings))
        return true;
    if (!QDir().mkpath(userFolder))
        return false;
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                 "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n");
    const QString no = QStringLiteral("false");
    xml += item("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", no);
    xml += item("/org.openoffice.Office.Common/Misc", "FirstRun", no);
    xml += item("/org.openoffice.Office.Common/Save/Document", "WarnAlienFormat", no);
    // Dates and numbers in Calc as a Russian Excel shows them: 01.02.2024, 1,5.
    xml += item("/org.openoffice.Setup/L10N", "ooSetupSystemLocale", QStringLiteral("ru-RU"));
    if (!version.isEmpty())
        xml += item("/org.openoffice.Setup/Product", "ooSetupLastVersion", version);
    xml += QStringLiteral("</oor:items>\n");
    QSaveFile f(settings);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(xml.toUtf8());
    return f.commit();
}

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
