#include "common/CardFactory.h"

#include "store/DayCount.h"

#include <QDate>

namespace zelm::testing {

TAnketa makeCard(int i) {
    static const char16_t* const orgs[] = {
        u"ООО «Восток-Трейд»",  u"АО «Сахалинморепродукт»", u"ИП Петров Сергей Викторович",
        u"ООО «Рыбная артель»", u"ПАО «Дальэнерго»",        u"ООО «Ёлка и Ко»"};
    static const char16_t* const kinds[] = {u"Опрос", u"Наведение справок", u"Наблюдение",
                                            u"Проверочная закупка", u"Оперативный эксперимент"};
    static const char16_t* const people[] = {u"Иванов И.И.", u"Сидоренко П.А.", u"Ким Е.В.",
                                             u"Ёлкин Ф.Ф.", u"Смирнова А.Н."};
    static const char16_t* const reasons[] = {u"Заявление гражданина", u"Сообщение о преступлении",
                                              u"Оперативная информация"};
    TAnketa c = TAnketa::zeroed();
    c.Klu4Form1 = 600000000 + i;
    c.GurN = i + 1;
    c.AdminFIO.set(QStringLiteral("Администратор"));
    double base = toDayCount(QDate(2024, 1, 1));
    c.DataMer = base + (i * 7) % 1000;
    c.DateKUSP = c.DataMer - 3;
    c.DataOsn = c.DataMer - 1;
    c.DaWrSozd = c.DataMer + 0.5;
    c.DWKorr = c.DataMer + 0.75;
    c.NameOrg.set(QString::fromUtf16(orgs[i % 6]) + QStringLiteral(" №%1").arg(i));
    c.FormSobs.set(QStringLiteral("общество с ограниченной ответственностью"));
    c.AdresOrg.set(QStringLiteral("г. Южно-Сахалинск, ул. Ленина, д. %1").arg(i % 300));
    c.INNOrg.set(QStringLiteral("65010%1").arg(i, 5, 10, QLatin1Char('0')));
    c.Povod.set(QString::fromUtf16(reasons[i % 3]));
    c.VidORM.set(QString::fromUtf16(kinds[i % 5]));
    c.Osnovan.set(QStringLiteral("Постановление о проведении ОРМ"));
    c.NomDokOsn.set(QStringLiteral("%1/дсп").arg(i));
    c.NomKUSP.set(QString::number(1000 + i));
    c.FabKUSP.set(QStringLiteral("ст. 159 УК РФ"));
    c.Podrazd.set(QStringLiteral("ОЭБиПК УМВД"));
    c.DolgSotr.set(QStringLiteral("оперуполномоченный"));
    c.ZvanSotr.set(QStringLiteral("капитан полиции"));
    c.FIOSotr.set(QString::fromUtf16(people[i % 5]));
    c.DolgnUtv.set(QStringLiteral("начальник отдела"));
    c.ZvanUtv.set(QStringLiteral("подполковник полиции"));
    c.FIOUtv.set(QString::fromUtf16(people[(i + 2) % 5]));
    c.Rezultat.set(
        QStringLiteral("Проведено мероприятие.\r\nМатериалы приобщены к делу №%1.").arg(i));
    c.Prime4.set(QStringLiteral("Без замечаний"));
    return c;
}

std::vector<TAnketa> makeCards(int n, int first) {
    std::vector<TAnketa> out;
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out.push_back(makeCard(first + i));
    return out;
}

} // namespace zelm::testing
