#include "store/Settings.h"

#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/TextFiles.h"

#include <QDir>
#include <QFileInfo>

namespace zelm {
namespace {

int historyDaysFromText(const QString& text) {
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    // Nothing would ever be kept with 0 days: a day at least.
    return ok && days > 0 ? days : OfficeSettings::kDefaultHistoryDays;
}

} // namespace

QStringList OfficeSettings::toLines() const {
    return {backgroundColour, VerOff, PochtInd, Gorod,     OblKr,     Raion,
            UlDomKv,          Firma,  Dolgnost, ReadPapka, SavePapka, QString::number(historyDays)};
}

OfficeSettings defaultSettings(const Installation& inst) {
    OfficeSettings s;
    s.ReadPapka = inst.backupFolder();
    s.SavePapka = inst.backupFolder();
    return s;
}

void readSettingsFile(const QString& path, const Installation& inst, OfficeSettings& into) {
    QStringList lines = readTextLines(path);
    auto line = [&](int n) { return n <= lines.size() ? lines.at(n - 1) : QString(); };
    into.VerOff = line(2).left(4);
    into.PochtInd = line(3);
    into.Gorod = line(4);
    into.OblKr = line(5);
    into.Raion = line(6);
    into.UlDomKv = line(7);
    into.Firma = line(8);
    into.Dolgnost = line(9);
    into.ReadPapka = inst.mapStoredPath(line(10));
    into.SavePapka = inst.mapStoredPath(line(11));
    into.historyDays = historyDaysFromText(line(12));
}

int historyDaysSetting(const Installation& inst) {
    try {
        const QStringList lines = readTextLines(inst.settingsFile());
        return historyDaysFromText(lines.size() >= 12 ? lines.at(11) : QString());
    } catch (const FileError&) {
        return OfficeSettings::kDefaultHistoryDays;
    }
}

QString storedFolderText(const Installation& inst, const QString& folder, QString* refusal) {
    const QString mapped = inst.mapStoredPath(folder.trimmed());
    QString text = folder.trimmed(); // a path of another system ("D:\Backup") stays as it is
    if (mapped.startsWith(QLatin1Char('/'))) {
        text = QDir::cleanPath(mapped);
        if (text == inst.root() || text.startsWith(inst.root() + QLatin1Char('/'))) {
            text = QStringLiteral("c:\\ZELM") + text.mid(inst.root().size());
            text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        }
    }
    if (!fitsCp1251(text)) {
        if (refusal)
            *refusal = QStringLiteral("Папку %1 нельзя сохранить в настройках: в её пути есть "
                                      "знаки, которых нет в кодировке Windows-1251, и резервная "
                                      "копия не нашла бы её. Выберите папку, в пути которой "
                                      "только русские и латинские буквы, цифры и знаки.")
                           .arg(mapped);
        return {};
    }
    return text;
}

void writeSettingsFile(const QString& path, const OfficeSettings& settings) {
    const Installation inst(QFileInfo(path).absolutePath());
    QStringList lines = settings.toLines();
    for (int i : {9, 10}) {
        if (lines.at(i).trimmed().isEmpty())
            continue;
        QString refusal;
        lines[i] = storedFolderText(inst, lines.at(i), &refusal);
        if (lines.at(i).isEmpty())
            throw FileError(refusal, path);
    }
    writeTextLines(path, lines);
}

QList<ColourSetting> readColourSettings(const QString& path) {
    QList<ColourSetting> out;
    for (const QString& line : readTextLines(path)) {
        for (const char* key : {"Form1", "Organ"})
            if (line.startsWith(QLatin1String(key)))
                out.append({QLatin1String(key), line.mid(6, 20).trimmed()});
    }
    return out;
}

} // namespace zelm
