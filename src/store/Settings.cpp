#include "store/Settings.h"

#include "store/Installation.h"
#include "store/TextFiles.h"

namespace zelm {

QStringList OfficeSettings::toLines() const {
    return {backgroundColour, VerOff, PochtInd, Gorod,     OblKr,    Raion,
            UlDomKv,          Firma,  Dolgnost, ReadPapka, SavePapka};
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
}

void writeSettingsFile(const QString& path, const OfficeSettings& settings) {
    writeTextLines(path, settings.toLines());
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
