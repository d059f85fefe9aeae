#include "officeprofile/OfficeProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace zelm {

QString officeProgramFolder(const QString& soffice) {
    const QString real = QFileInfo(soffice).canonicalFilePath();
    return real.isEmpty() ? QString() : QFileInfo(real).absolutePath();
}

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

QList<OfficeSetting> officeProfileSettings(const QString& version) {
    const QString no = QStringLiteral("false");
    const QString yes = QStringLiteral("true");
    const QString russian = QStringLiteral("ru-RU");
    const QString misc = QStringLiteral("/org.openoffice.Office.Common/Misc");
    const QString l10n = QStringLiteral("/org.openoffice.Setup/L10N");
    const QString linguistic = QStringLiteral("/org.openoffice.Office.Linguistic/");
    QList<OfficeSetting> settings{
        {misc, QStringLiteral("ShowTipOfTheDay"), no},
        {misc, QStringLiteral("FirstRun"), no},
        {QStringLiteral("/org.openoffice.Office.Common/Save/Document"),
         QStringLiteral("WarnAlienFormat"), no},
        // Menus and dialogs in Russian: the user's choice of language, which LibreOffice
        // takes before the desktop's locale, and the language it last started in.
        {linguistic + QStringLiteral("General"), QStringLiteral("UILocale"), russian},
        {l10n, QStringLiteral("ooLocale"), russian},
        // Dates and numbers as a Russian Excel shows them: 01.02.2024, 1,5.
        {l10n, QStringLiteral("ooSetupSystemLocale"), russian},
        // Text typed into a document is Russian, so spelling and hyphenation take the Russian
        // dictionaries.
        {linguistic + QStringLiteral("General"), QStringLiteral("DefaultLocale"), russian},
        {linguistic + QStringLiteral("SpellChecking"), QStringLiteral("IsSpellAuto"), yes},
        // Hyphenation runs without asking at each word.
        {linguistic + QStringLiteral("Hyphenation"), QStringLiteral("IsHyphAuto"), yes},
    };
    if (!version.isEmpty())
        settings.append({QStringLiteral("/org.openoffice.Setup/Product"),
                         QStringLiteral("ooSetupLastVersion"), version});
    return settings;
}

namespace {

const QByteArray kEnd = "</oor:items>";

QByteArray header() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
}

// LibreOffice writes each setting on a line of its own in this form.
QByteArray itemStart(const OfficeSetting& s) {
    return QStringLiteral("<item oor:path=\"%1\"><prop oor:name=\"%2\"")
        .arg(s.path.toHtmlEscaped(), s.name.toHtmlEscaped())
        .toUtf8();
}

QByteArray item(const OfficeSetting& s) {
    return itemStart(s) + " oor:op=\"fuse\"><value>" + s.value.toHtmlEscaped().toUtf8() +
           "</value></prop></item>\n";
}

void fail(QString* error, const QString& reason, const QString& path) {
    if (error)
        *error = reason + QLatin1Char('\n') + path;
}

} // namespace

bool prepareOfficeProfile(const QString& profileFolder, const QString& version, QString* error) {
    const QString userFolder = profileFolder + QStringLiteral("/user");
    const QString path = userFolder + QStringLiteral("/registrymodifications.xcu");
    if (!QDir().mkpath(userFolder)) {
        fail(error, QStringLiteral("Не удалось создать папку профиля LibreOffice"), userFolder);
        return false;
    }
    QByteArray xml;
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isFile())) {
        fail(error, QStringLiteral("Файл настроек LibreOffice не является обычным файлом"), path);
        return false;
    }
    if (info.exists()) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) {
            fail(error, QStringLiteral("Не удалось прочитать файл (%1)").arg(old.errorString()),
                 path);
            return false;
        }
        xml = old.readAll();
    }
    // A file LibreOffice could not have written (cut short by a crash) is made anew.
    qsizetype end = xml.lastIndexOf(kEnd);
    if (end < 0 || !xml.contains("<oor:items")) {
        xml = header() + kEnd + '\n';
        end = xml.lastIndexOf(kEnd);
    }
    QByteArray missing;
    for (const OfficeSetting& s : officeProfileSettings(version))
        if (!xml.contains(itemStart(s)))
            missing += item(s);
    if (missing.isEmpty())
        return true;
    xml.insert(end, missing);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        fail(error, QStringLiteral("Не удалось записать файл (%1)").arg(file.errorString()), path);
        return false;
    }
    return true;
}

} // namespace zelm
