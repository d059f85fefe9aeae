#include "SampleData.h"

#include "store/Cp1251.h"

#include <QFile>
#include <stdexcept>

namespace zelm::reportf::sample {
namespace {

QString crlf(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n"));
}

QString headerLine(const QString& key, const QString& value) {
    return (QStringLiteral("|0:") + key + QLatin1Char(':') + value).left(250) +
           QStringLiteral("\r\n");
}

} // namespace

QList<QPair<QString, QString>> listCard(int n) {
    const QString s = QString::number(n);
    return {
        {"n", s},
        {"NameOrg", QStringLiteral("ООО «Ромашка-%1»").arg(n)},
        {"FormSobs", QStringLiteral("частная")},
        {"adres", QStringLiteral("г. Тверь, ул. Советская, д. %1").arg(n)},
        {"DM", QStringLiteral("06.12.26")},
        {"INNOrg", QStringLiteral("69%1").arg(n, 8, 10, QLatin1Char('0'))},
        {"Rezultat", crlf({QStringLiteral("Итог %1 первая строка").arg(n),
                           QStringLiteral("вторая строка"), QStringLiteral("третья строка")})},
        {"Prime4", crlf({QStringLiteral("Прим. {%1} \\ раз").arg(n), QStringLiteral("два"),
                         QStringLiteral("три")})},
        {"Osnovan", QStringLiteral("Рапорт")},
        {"DataOsn", QStringLiteral("01.12.26")},
        {"NomDokOsn", QStringLiteral("15/%1").arg(n)},
        {"Povod", QStringLiteral("Заявление")},
        {"VidORM", QStringLiteral("Наведение справок")},
        {"ispolnitel", QStringLiteral("ОЭБиПК оперуполномоченный капитан Сидоров-%1").arg(n)},
        {"utverdil", QStringLiteral("начальник подполковник Петров П.П.")},
        {"DKUSP", QStringLiteral("02.12.26")},
        {"NKUSP", QStringLiteral("%1").arg(1000 + n)},
        {"FabKUSP", QStringLiteral("Мошенничество")},
    };
}

QByteArray fullCardFile() {
    const QList<QPair<QString, QString>> items = {
        {"wladelec", kOwner},
        {"DataMer", QStringLiteral("06.12.2026")},
        {"INNOrg", QStringLiteral("6901234567")},
        {"NameOrg", QStringLiteral("ООО «Ромашка»")},
        {"FormSobs", QStringLiteral("частная")},
        {"adres", QStringLiteral("г. Тверь, ул. Советская, д. 5")},
        {"DateKUSP", QStringLiteral("02.12.2026")},
        {"NomKUSP", QStringLiteral("1234")},
        {"Povod", QStringLiteral("Заявление")},
        {"VidORM", QStringLiteral("Наведение справок")},
        {"Osnovan", QStringLiteral("Рапорт")},
        {"DataOsn", QStringLiteral("01.12.2026")},
        {"NomDokOsn", QStringLiteral("15/3")},
        {"ispolnitel", QStringLiteral("ОЭБиПК оперуполномоченный капитан Сидоров С.С.")},
        {"utverdil", QStringLiteral("начальник подполковник Петров П.П.")},
        {"Rezultat",
         crlf({QStringLiteral("Проверка проведена"), QStringLiteral("нарушений не выявлено"),
               QStringLiteral("материалы приобщены")})},
        {"Prime4",
         crlf({QStringLiteral("Примечание раз"), QStringLiteral("два"), QStringLiteral("три")})},
        {"DaWrSozd", QStringLiteral("06.12.26 09:05")},
        {"DWKorr", QStringLiteral("07.12.26 10:15")},
        {"AdminFIO", QStringLiteral("Кузнецова А.А.")},
        {"GurN", QStringLiteral("17")},
        {"Klu4Form1", QStringLiteral("100017")},
        {"Otmetka", QStringLiteral("ОК")},
    };
    QString text;
    for (const auto& [key, value] : items)
        text += headerLine(key, value);
    text += QStringLiteral("\r\n\r\n");
    return toCp1251(text);
}

QByteArray measureListFile(int cards) {
    QByteArray out = toCp1251(headerLine(QStringLiteral("wladelec"), kOwner));
    for (int n = 1; n <= cards; ++n) {
        QString line;
        for (const auto& [key, value] : listCard(n))
            line += (QStringLiteral("|1:") + key + QLatin1Char(':') + value).left(250);
        out += toCp1251(line);
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

QByteArray envelopeFile() {
    const QList<QPair<QString, QString>> items = {
        {"Wladelec", kOwner},
        {"Gorod", QStringLiteral("Тверь")},
        {"OblKr", QStringLiteral("Тверская область")},
        {"UlDom", QStringLiteral("ул. Советская, д. 5")},
        {"PoIn", QStringLiteral("170100")},
        {"kWladelec", kRecipient},
        {"kDolgn", QStringLiteral("директору")},
        {"kPredpr", QStringLiteral("ООО «Лютик»")},
        {"kGorod", QStringLiteral("Москва")},
        {"kOblKr", QStringLiteral("Московская область")},
        {"kRaion", QStringLiteral("Одинцовский район")},
        {"kUlDom", QStringLiteral("ул. Ленина, д. 1, кв. 2")},
        {"kPoIn", QStringLiteral("101000")},
    };
    QString text;
    for (const auto& [key, value] : items)
        text += headerLine(key, value);
    return toCp1251(text);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void writeAll(const QString& folder) {
    writeFile(folder + QStringLiteral("/PolnDat.txt"), fullCardFile());
    writeFile(folder + QStringLiteral("/KnigaDat.txt"), measureListFile(2));
    writeFile(folder + QStringLiteral("/KonA8Dat.txt"), envelopeFile());
    writeFile(folder + QStringLiteral("/KonA9Dat.txt"), envelopeFile());
}

} // namespace zelm::reportf::sample
