#include "RealisticCards.h"

#include "store/DayCount.h"

#include <QDate>
#include <cerrno>
#include <unistd.h>

namespace zelm::bench {
namespace {

constexpr int kPool = 1009; // a prime, so the lists' periods mix

const char16_t* const kOrgs[] = {u"ООО «Сахалинская рыбопромышленная компания»",
                                 u"АО «Дальэнергосбыт»",
                                 u"ИП Петренко Сергей Викторович",
                                 u"ООО «Торговый дом Восток-Трейд»",
                                 u"ПАО «Сахалинморнефтегаз»",
                                 u"МУП «Горводоканал»",
                                 u"ООО «Строительная компания Ёлочка»",
                                 u"ЗАО «Южно-Курильский рыбокомбинат»",
                                 u"ООО «Автотранспортное предприятие»",
                                 u"ГБУ «Областная клиническая больница»",
                                 u"ООО «Курильский берег»"};
const char16_t* const kReasons[] = {u"Заявление о мошенничестве", u"Сообщение о преступлении",
                                    u"Оперативная информация", u"Поручение следователя",
                                    u"Запрос прокуратуры"};
const char16_t* const kKinds[] = {u"Опрос",
                                  u"Наведение справок",
                                  u"Сбор образцов для исследования",
                                  u"Проверочная закупка",
                                  u"Исследование предметов и документов",
                                  u"Наблюдение",
                                  u"Отождествление личности",
                                  u"Обследование помещений, зданий",
                                  u"Оперативный эксперимент"};
const char16_t* const kGrounds[] = {u"Постановление о проведении ОРМ",
                                    u"Рапорт оперуполномоченного", u"Поручение следователя",
                                    u"Запрос органа дознания"};
const char16_t* const kUnits[] = {u"ОЭБиПК УМВД по Сахалинской обл.",
                                  u"ОУР ОМВД по г. Южно-Сахалинску",
                                  u"УУР УМВД по Сахалинской обл.", u"ОЭБиПК ОМВД по Корсакову"};
const char16_t* const kPeople[] = {u"Иванов Иван Иванович",     u"Сидоренко Пётр Алексеевич",
                                   u"Ким Елена Владимировна",   u"Ёлкин Фёдор Фёдорович",
                                   u"Смирнова Анна Николаевна", u"Магомедов Руслан Абдуллаевич",
                                   u"Пак Денис Сергеевич"};

template <size_t N> QString pick(const char16_t* const (&list)[N], qint64 i) {
    return QString::fromUtf16(list[static_cast<size_t>(i) % N]);
}

TAnketa poolCard(int k) {
    TAnketa c = TAnketa::zeroed();
    c.AdminFIO.set(QStringLiteral("Администратор"));
    c.FormSobs.set(QStringLiteral("общество с ограниченной ответственностью"));
    c.AdresOrg.set(
        QStringLiteral("г. Южно-Сахалинск, ул. Ленина, д. %1, кв. %2").arg(k % 300).arg(k % 97));
    c.INNOrg.set(QStringLiteral("6501%1").arg(k * 7919 % 1000000, 6, 10, QLatin1Char('0')));
    c.NameOrg.set(pick(kOrgs, k));
    c.Povod.set(pick(kReasons, k * 3));
    c.VidORM.set(pick(kKinds, k * 5));
    c.Osnovan.set(pick(kGrounds, k * 7));
    c.NomDokOsn.set(QStringLiteral("%1/дсп").arg(k));
    c.FabKUSP.set(QStringLiteral("ст. 159 ч. 2 УК РФ"));
    c.Podrazd.set(pick(kUnits, k * 11));
    c.DolgSotr.set(QStringLiteral("ст. оперуполномоченный"));
    c.ZvanSotr.set(QStringLiteral("майор полиции"));
    c.FIOSotr.set(pick(kPeople, k));
    c.DolgnUtv.set(QStringLiteral("начальник отдела"));
    c.ZvanUtv.set(QStringLiteral("подполковник полиции"));
    c.FIOUtv.set(pick(kPeople, k * 3 + 1));
    c.Rezultat.set(QStringLiteral("Проведён опрос руководителя организации, получены объяснения и "
                                  "копии первичных бухгалтерских документов за отчётный период.\r\n"
                                  "Материалы приобщены к материалу проверки КУСП."));
    c.Prime4.set(QStringLiteral("Без замечаний. Срок исполнения продлён до конца квартала."));
    return c;
}

const std::vector<TAnketa>& pool() {
    static const std::vector<TAnketa> cards = [] {
        std::vector<TAnketa> out;
        out.reserve(kPool);
        for (int k = 0; k < kPool; ++k)
            out.push_back(poolCard(k));
        return out;
    }();
    return cards;
}

// A card's own part: numbers, dates, and the organisation's number after its name.
void personalise(TAnketa& c, qint64 i) {
    c.Klu4Form1 = static_cast<std::int32_t>(600000000 + i);
    c.GurN = static_cast<std::int32_t>(i + 1);
    static const double base = toDayCount(QDate(2015, 1, 1));
    c.DataMer = base + static_cast<double>((i * 7) % 4000);
    c.DateKUSP = c.DataMer - 3;
    c.DataOsn = c.DataMer - 1;
    c.DaWrSozd = c.DataMer + 0.5;
    c.DWKorr = c.DataMer + 0.75;
    char digits[24];
    const int n =
        std::snprintf(digits, sizeof digits, " \xb9%lld", static_cast<long long>(i % 100000));
    const int room = c.NameOrg.capacity - c.NameOrg.len;
    const int put = std::min(room, n);
    std::memcpy(c.NameOrg.data + c.NameOrg.len, digits, static_cast<size_t>(put));
    c.NameOrg.len = static_cast<std::uint8_t>(c.NameOrg.len + put);
    const int kusp =
        std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(1000 + i % 90000));
    std::memcpy(c.NomKUSP.data, digits, static_cast<size_t>(kusp));
    c.NomKUSP.len = static_cast<std::uint8_t>(kusp);
}

} // namespace

TAnketa realisticCard(qint64 i) {
    TAnketa c = pool()[static_cast<size_t>(i % kPool)];
    personalise(c, i);
    return c;
}

std::vector<TAnketa> realisticCards(qint64 n, qint64 first) {
    std::vector<TAnketa> out;
    out.reserve(static_cast<size_t>(n));
    for (qint64 i = 0; i < n; ++i)
        out.push_back(realisticCard(first + i));
    return out;
}

bool writeRealisticCards(int fd, qint64 count, qint64 first) {
    constexpr qint64 kChunk = 4096;
    std::vector<TAnketa> chunk(kChunk);
    for (qint64 done = 0; done < count;) {
        const qint64 n = std::min(kChunk, count - done);
        for (qint64 k = 0; k < n; ++k)
            chunk[static_cast<size_t>(k)] = realisticCard(first + done + k);
        const char* p = reinterpret_cast<const char*>(chunk.data());
        size_t left = static_cast<size_t>(n) * sizeof(TAnketa);
        while (left > 0) {
            const ssize_t w = ::write(fd, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            p += w;
            left -= static_cast<size_t>(w);
        }
        done += n;
    }
    return true;
}

int listTextBytes(const TAnketa& c) {
    return c.NameOrg.size() + c.Povod.size() + c.VidORM.size() + c.Osnovan.size() +
           c.NomKUSP.size() + c.Podrazd.size() + c.FIOSotr.size() + c.FIOUtv.size() +
           2 * 8; // the two dates as the list shows them
}

} // namespace zelm::bench
