#include "stats/StatQuery.h"

#include "store/DayCount.h"

#include <algorithm>

namespace zelm {
namespace {

const char* const kMonths[] = {"янв", "фев", "мар", "апр", "май", "июн",
                               "июл", "авг", "сен", "окт", "ноя", "дек"};
const char* const kQuarters[] = {"I", "II", "III", "IV"};

// The first day of the column after the one that holds `d`.
QDate nextColumnStart(const QDate& d, StatColumns columns) {
    switch (columns) {
    case StatColumns::Months:
        return QDate(d.year(), d.month(), 1).addMonths(1);
    case StatColumns::Quarters:
        return QDate(d.year(), (d.month() - 1) / 3 * 3 + 1, 1).addMonths(3);
    case StatColumns::Years:
        return QDate(d.year() + 1, 1, 1);
    case StatColumns::None:
        break;
    }
    return {};
}

QString columnTitle(const QDate& d, StatColumns columns) {
    const QString year = QString::number(d.year());
    switch (columns) {
    case StatColumns::Months:
        return QString::fromUtf8(kMonths[d.month() - 1]) + QLatin1Char(' ') + year;
    case StatColumns::Quarters:
        return QString::fromUtf8(kQuarters[(d.month() - 1) / 3]) + QStringLiteral(" кв. ") + year;
    case StatColumns::Years:
        return year;
    case StatColumns::None:
        break;
    }
    return {};
}

} // namespace

QStringList statSourceCaptions() {
    return {QStringLiteral("Главная картотека"), QStringLiteral("Рабочая картотека"),
            QStringLiteral("Архив")};
}

QStringList statFieldCaptions() {
    return {QStringLiteral("Вид ОРМ"),       QStringLiteral("Повод"),  QStringLiteral("Основание"),
            QStringLiteral("Подразделение"), QStringLiteral("Провёл"), QStringLiteral("Утвердил")};
}

QStringList statColumnCaptions() {
    return {QStringLiteral("По месяцам"), QStringLiteral("По кварталам"),
            QStringLiteral("По годам"), QStringLiteral("Без разбивки")};
}

QString statFieldCaption(StatField field) {
    return statFieldCaptions().value(static_cast<int>(field));
}

QString statSourceCaption(StatSource source) {
    return statSourceCaptions().value(static_cast<int>(source));
}

QString statColumnCaption(StatColumns columns) {
    return statColumnCaptions().value(static_cast<int>(columns));
}

PStr<50> TAnketa::*statFieldMember(StatField field) {
    switch (field) {
    case StatField::VidORM:
        return &TAnketa::VidORM;
    case StatField::Povod:
        return &TAnketa::Povod;
    case StatField::Osnovan:
        return &TAnketa::Osnovan;
    case StatField::Podrazd:
        return &TAnketa::Podrazd;
    case StatField::FIOSotr:
        return &TAnketa::FIOSotr;
    case StatField::FIOUtv:
        return &TAnketa::FIOUtv;
    }
    return &TAnketa::VidORM;
}

StatPeriod StatPeriod::of(const StatQuery& query) {
    StatPeriod p;
    if (!query.from.isValid() || !query.to.isValid() || query.from > query.to)
        return p;
    p.first = toDayCount(query.from);
    p.last = toDayCount(query.to);
    if (query.columns == StatColumns::None) {
        p.starts.push_back(p.first);
        return p;
    }
    for (QDate d = query.from; d <= query.to; d = nextColumnStart(d, query.columns)) {
        p.starts.push_back(toDayCount(d));
        p.titles << columnTitle(d, query.columns);
    }
    return p;
}

int StatPeriod::columnOf(double day) const {
    if (!(day >= first && day <= last))
        return -1;
    const auto it = std::upper_bound(starts.begin(), starts.end(), day);
    return static_cast<int>(it - starts.begin()) - 1;
}

} // namespace zelm
