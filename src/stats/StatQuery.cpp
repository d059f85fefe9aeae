#include "stats/StatQuery.h"

#include "store/DayCount.h"

#include <QLocale>

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

qint64 statColumnCount(const StatQuery& query) {
    if (!query.from.isValid() || !query.to.isValid() || query.from > query.to)
        return 0;
    const qint64 years = query.to.year() - query.from.year();
    switch (query.columns) {
    case StatColumns::Months:
        return years * 12 + query.to.month() - query.from.month() + 1;
    case StatColumns::Quarters:
        return years * 4 + (query.to.month() - 1) / 3 - (query.from.month() - 1) / 3 + 1;
    case StatColumns::Years:
        return years + 1;
    case StatColumns::None:
        break;
    }
    return 1;
}

QString statQueryProblem(const StatQuery& query) {
    if (!query.from.isValid() || !query.to.isValid())
        return QStringLiteral("Период задан не полностью: укажите обе даты.");
    if (query.from > query.to)
        return QStringLiteral("Период задан наоборот: начало (%1) позже конца (%2).")
            .arg(query.from.toString(QStringLiteral("dd.MM.yyyy")),
                 query.to.toString(QStringLiteral("dd.MM.yyyy")));
    const qint64 columns = statColumnCount(query);
    if (columns <= kStatMaxColumns)
        return {};
    // The finest split that still fits is the one to offer.
    QString coarser;
    for (StatColumns c : {StatColumns::Quarters, StatColumns::Years, StatColumns::None}) {
        StatQuery q = query;
        q.columns = c;
        if (c > query.columns && statColumnCount(q) <= kStatMaxColumns) {
            coarser = statColumnCaption(c);
            break;
        }
    }
    return QStringLiteral("Период слишком длинный для разбивки «%1»: столбцов вышло бы %2, а "
                          "таблица вмещает не больше %3. Выберите более крупную разбивку — «%4» — "
                          "или сократите период.")
        .arg(statColumnCaption(query.columns), QLocale(QLocale::Russian).toString(columns))
        .arg(kStatMaxColumns)
        .arg(coarser);
}

StatPeriod StatPeriod::of(const StatQuery& query) {
    StatPeriod p;
    const qint64 columns = statColumnCount(query);
    if (columns <= 0 || columns > kStatMaxColumns)
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
