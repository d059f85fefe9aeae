#pragma once
// The search the benchmarks time: the defaults a user starts from, and three Cyrillic words in
// another case, which about one realistic card in seven hundred holds; so the local and the server
// search are measured on the same work. The broad search finds every seventh card.
#include "search/SearchConditions.h"
#include "store/DayCount.h"

#include <QDate>

namespace zelm {

inline SearchConditions benchConditions() {
    const QDate today = QDate::currentDate();
    SearchConditions c;
    c.dataMer = {toDayCount(QDate(1901, 1, 1)), toDayCount(today.addDays(365))};
    c.dateKusp = c.dataMer;
    c.dataOsn = {toDayCount(QDate(1901, 1, 1)), toDayCount(today)};
    c.text(SearchField::NameOrg) = QStringLiteral("ЁЛОЧКА");
    c.text(SearchField::FIOSotr) = QStringLiteral("ЛКИН");
    c.text(SearchField::VidORM) = QStringLiteral("ЗАКУПКА");
    return c;
}

inline SearchConditions broadBenchConditions() {
    SearchConditions c = benchConditions();
    c.text(SearchField::NameOrg).clear();
    c.text(SearchField::VidORM).clear();
    return c;
}

} // namespace zelm
