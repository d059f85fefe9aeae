#pragma once
// Dates are day counts from 30 December 1899 with the time of day as the fraction.
#include <QDate>
#include <QDateTime>
#include <functional>

namespace zelm {

double toDayCount(const QDateTime& dt);
double toDayCount(const QDate& d);
QDateTime fromDayCount(double days);
QDate dateFromDayCount(double days);
double wholeDays(double days); // truncated toward zero, as date-only fields are kept
// 01.01.1901: the date that stands for "no date" where a range starts open.
inline double EmptyDate() {
    return toDayCount(QDate(1901, 1, 1));
}

// The clock every command reads; tests set a fixed one.
QDateTime currentDateTime();
double nowDayCount();
double todayDayCount();
void setClockForTesting(std::function<QDateTime()> clock); // empty function: the real clock

} // namespace zelm
