#pragma once
// The settings file NoKor.vez (eleven lines the old program reads, and a twelfth it never
// looks at) and the colour file CwetFona.vez.
#include <QString>
#include <QStringList>

namespace zelm {

class Installation;

struct OfficeSettings {
    QString backgroundColour = QStringLiteral("clGreen"); // line 1, not read at start
    QString VerOff = QStringLiteral("2003");
    QString PochtInd = QStringLiteral("353947");
    QString Gorod = QStringLiteral("Южно-Сахалинск");
    QString OblKr = QStringLiteral("Сахалинская");
    QString Raion = QStringLiteral("Авачинский");
    QString UlDomKv = QStringLiteral("Римского-Корсакого д. 45, кв. 789");
    QString Firma = QStringLiteral("Иванов Иван Иванович");
    QString Dolgnost = QStringLiteral("Ген.директор");
    QString ReadPapka;
    QString SavePapka;
    // Line 12: how many days Baza/History.dat keeps a card's earlier versions.
    int historyDays = kDefaultHistoryDays;
    static constexpr int kDefaultHistoryDays = 1825;

    QStringList toLines() const; // the twelve lines in file order
};

// Defaults of a new installation; the backup folders are <root>/Backup.
OfficeSettings defaultSettings(const Installation& inst);
// Reads lines 2..12 over `into`; missing lines read as empty texts (line 12, missing or not a
// number of days, as the default); stored "c:\ZELM" paths of the backup folders are mapped
// into the installation.
void readSettingsFile(const QString& path, const Installation& inst, OfficeSettings& into);
// Writes the twelve lines; the backup folders go in the form storedFolderText gives (the
// installation is the settings file's folder). Throws FileError, writing nothing, when a
// backup folder cannot be stored.
void writeSettingsFile(const QString& path, const OfficeSettings& settings);
// Line 12 alone, for the register, which reads nothing else of the file; the default when the
// file cannot be read.
int historyDaysSetting(const Installation& inst);

// How a folder is written into NoKor.vez, whose text is Windows-1251: a folder inside the
// installation in the old form "c:\ZELM\..." (read back by mapStoredPath wherever the
// installation lies), any other folder as it is. Empty, with `refusal` saying why, for a
// folder whose name Windows-1251 cannot hold: stored as "?" it would break every backup.
QString storedFolderText(const Installation& inst, const QString& folder, QString* refusal);

struct ColourSetting {
    QString key;    // "Form1" (the card window) or "Organ" (the group "Организация")
    QString colour; // characters 7..26 of the line, trimmed
};
// The lines beginning with "Form1" or "Organ", in file order.
QList<ColourSetting> readColourSettings(const QString& path);

} // namespace zelm
