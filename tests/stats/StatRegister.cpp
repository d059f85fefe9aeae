#include "StatRegister.h"

#include <QHash>
#include <cmath>
#include <random>

namespace zelm::testing {
namespace {

const char16_t* const kKinds[] = {u"Проверочная закупка",
                                  u"проверочная закупка",
                                  u"  Проверочная закупка ",
                                  u"ПРОВЕРОЧНАЯ ЗАКУПКА",
                                  u"Наблюдение",
                                  u"наблюдение",
                                  u"Наведение справок",
                                  u"Обследование помещений, зданий, сооружений",
                                  u"Опрос",
                                  u"опрос ",
                                  u"",
                                  u"   ",
                                  u"Отождествление личности",
                                  u"Оперативный эксперимент",
                                  u"Контролируемая поставка",
                                  u"Сбор образцов для сравнительного исследования",
                                  u"Исследование предметов и документов",
                                  u"Получение компьютерной информации",
                                  u"Оперативное внедрение",
                                  u"Снятие информации"};
const char16_t* const kReasons[] = {u"Заявление гражданина",     u"заявление гражданина",
                                    u"Сообщение о преступлении", u"Оперативная информация",
                                    u"Поручение следователя",    u""};
const char16_t* const kBases[] = {u"Постановление о проведении ОРМ", u"Рапорт",
                                  u"постановление о проведении ОРМ ", u"Поручение"};
const char16_t* const kUnits[] = {u"ОЭБиПК УМВД", u"оэбипк умвд", u"ОУР ОМВД Холмский",
                                  u"Отдел «К»", u""};
const char16_t* const kPeople[] = {
    u"Семёнов А.А.", u"Семенов А.А.", u"семёнов а.а.",  u"Ёлкин Ф.Ф.",
    u"ЁЛКИН Ф.Ф. ",  u"Ким Е.В.",     u"Смирнова А.Н.", u""};

template <size_t N> QString pick(const char16_t* const (&list)[N], std::mt19937& rng) {
    return QString::fromUtf16(list[rng() % N]);
}

double dayOf(const QDate& d) {
    return static_cast<double>(QDate(1899, 12, 30).daysTo(d));
}

int columnOf(const QDate& d, const StatQuery& q) {
    const int months = (d.year() - q.from.year()) * 12 + d.month() - q.from.month();
    switch (q.columns) {
    case StatColumns::Months:
        return months;
    case StatColumns::Quarters:
        return (d.year() * 4 + (d.month() - 1) / 3) -
               (q.from.year() * 4 + (q.from.month() - 1) / 3);
    case StatColumns::Years:
        return d.year() - q.from.year();
    case StatColumns::None:
        return 0;
    }
    return 0;
}

int columnsOf(const StatQuery& q) {
    return q.columns == StatColumns::None ? 1 : columnOf(q.to, q) + 1;
}

} // namespace

TAnketa statCard(const QDate& date, const QString& value) {
    TAnketa c = TAnketa::zeroed();
    c.DataMer = date.isValid() ? dayOf(date) : 0;
    for (PStr<50> TAnketa::*f : {&TAnketa::VidORM, &TAnketa::Povod, &TAnketa::Osnovan,
                                 &TAnketa::Podrazd, &TAnketa::FIOSotr, &TAnketa::FIOUtv})
        (c.*f).set(value);
    return c;
}

std::vector<TAnketa> statRegister(int n, QDate from, QDate to, unsigned seed) {
    std::mt19937 rng(seed);
    const qint64 span = from.daysTo(to) + 41;
    std::vector<TAnketa> cards;
    for (int i = 0; i < n; ++i) {
        TAnketa c = TAnketa::zeroed();
        c.Klu4Form1 = 700000000 + i;
        c.GurN = i + 1;
        if (rng() % 50 != 0) {
            c.DataMer = dayOf(from.addDays(static_cast<qint64>(rng() % span) - 20));
            if (rng() % 7 == 0)
                c.DataMer += 0.4; // a time of day where only the day should be
        }
        c.NameOrg.set(QStringLiteral("ООО «Восток-Трейд» №%1").arg(i));
        c.VidORM.set(pick(kKinds, rng));
        c.Povod.set(pick(kReasons, rng));
        c.Osnovan.set(pick(kBases, rng));
        c.Podrazd.set(pick(kUnits, rng));
        c.FIOSotr.set(pick(kPeople, rng));
        c.FIOUtv.set(pick(kPeople, rng));
        cards.push_back(c);
    }
    return cards;
}

ExpectedTable countByHand(const std::vector<TAnketa>& cards, const StatQuery& query) {
    struct Group {
        std::vector<qint64> counts;
        std::vector<std::pair<QString, qint64>> spellings; // in the order first met
    };
    std::map<QString, Group> groups;
    const size_t columns = static_cast<size_t>(columnsOf(query));
    for (const TAnketa& c : cards) {
        if (c.DataMer < 1)
            continue;
        const QDate d = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(c.DataMer)));
        if (d < query.from || d > query.to)
            continue;
        const QString text = (c.*statFieldMember(query.field)).text().trimmed();
        Group& g = groups[text.toLower()];
        g.counts.resize(columns);
        ++g.counts[static_cast<size_t>(columnOf(d, query))];
        auto s = std::find_if(g.spellings.begin(), g.spellings.end(),
                              [&](const auto& p) { return p.first == text; });
        if (s == g.spellings.end())
            g.spellings.push_back({text, 1});
        else
            ++s->second;
    }
    ExpectedTable out;
    for (const auto& [key, g] : groups) {
        auto best = g.spellings.begin();
        for (auto s = g.spellings.begin(); s != g.spellings.end(); ++s)
            if (s->second > best->second)
                best = s;
        ExpectedRow row;
        row.counts = g.counts;
        for (qint64 v : g.counts)
            row.total += v;
        out[best->first.isEmpty() ? QStringLiteral("(не указано)") : best->first] = row;
    }
    return out;
}

ExpectedTable asExpected(const StatTable& table) {
    ExpectedTable out;
    for (const StatRow& r : table.rows) {
        ExpectedRow row;
        row.counts = r.counts.empty() ? std::vector<qint64>{r.total} : r.counts;
        row.total = r.total;
        out[r.name] = row;
    }
    return out;
}

} // namespace zelm::testing
