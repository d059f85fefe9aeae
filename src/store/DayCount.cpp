#include "store/DayCount.h"

#include <cmath>

namespace zelm {
namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

std::function<QDateTime()>& clockOverride() {
    static std::function<QDateTime()> clock;
    return clock;
}

} // namespace

double toDayCount(const QDate& d) {
    return static_cast<double>(kEpoch.daysTo(d));
}

double toDayCount(const QDateTime& dt) {
    double days = toDayCount(dt.date());
    double fraction = dt.time().msecsSinceStartOfDay() / kMsPerDay;
    return days + fraction;
}

QDateTime fromDayCount(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        days = 0;
    double whole = std::trunc(days);
    double fraction = std::fabs(days - whole);
    auto ms = static_cast<qint64>(std::llround(fraction * kMsPerDay));
    qint64 dayShift = 0;
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        dayShift = 1;
    }
    QDate date = kEpoch.addDays(static_cast<qint64>(whole) + dayShift);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

QDate dateFromDayCount(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        days = 0;
    return kEpoch.addDays(static_cast<qint64>(std::trunc(days)));
}

double wholeDays(double days) {
    return std::trunc(days);
}

QDateTime currentDateTime() {
    auto& clock = clockOverride();
    return clock ? clock() : QDateTime::currentDateTime();
}

double nowDayCount() {
    return toDayCount(currentDateTime());
}
double todayDayCount() {
    return toDayCount(currentDateTime().date());
}

void setClockForTesting(std::function<QDateTime()> clock) {
    clockOverride() = std::move(clock);
}

} // namespace zelm
