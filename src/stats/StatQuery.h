#pragma once
// What a count of measures is asked for: which card file, which field makes the rows, how the
// period is split into columns, and the period of the measure's date.
#include "store/Records.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace zelm {

// In the order of the window's combo boxes.
enum class StatSource { Main, Working, Archive };
enum class StatField { VidORM, Povod, Osnovan, Podrazd, FIOSotr, FIOUtv };
enum class StatColumns { Months, Quarters, Years, None };

QStringList statSourceCaptions(); // «Главная картотека», «Рабочая картотека», «Архив»
QStringList statFieldCaptions();  // «Вид ОРМ», «Повод», …
QStringList statColumnCaptions(); // «По месяцам», «По кварталам», «По годам», «Без разбивки»
QString statFieldCaption(StatField field);
QString statSourceCaption(StatSource source);
QString statColumnCaption(StatColumns columns);

// The card field a row is made of; all six are 50-character texts.
PStr<50> TAnketa::*statFieldMember(StatField field);

// The widest table a count makes: beyond it the window, the chart and the print would be
// unreadable long before memory or time run out.
inline constexpr int kStatMaxColumns = 240;

struct StatQuery {
    StatSource source = StatSource::Main; // which file the count read, for the report
    StatField field = StatField::VidORM;
    StatColumns columns = StatColumns::Months;
    QDate from; // the first and the last day counted, both included
    QDate to;
};

// The number of columns a period splits into, worked out without listing them: 0 for an empty
// or reversed period, 1 when it is not split.
qint64 statColumnCount(const StatQuery& query);
// Why a count of `query` is not made, in Russian for the window; empty when it can be made.
QString statQueryProblem(const StatQuery& query);

// The columns of a period: the first day (as a day count) of each column in rising order, and
// its title. The first column starts at the period's first day, whatever day of the month that
// is. Without a split there is one column. An empty or reversed period, or one of more than
// kStatMaxColumns columns, has none.
struct StatPeriod {
    std::vector<double> starts;
    QStringList titles;
    double first = 0; // the period's first and last day as day counts
    double last = -1;

    static StatPeriod of(const StatQuery& query);
    int columnCount() const { return static_cast<int>(starts.size()); }
    // The column of a whole day inside the period, or -1 outside it.
    int columnOf(double day) const;
};

} // namespace zelm
