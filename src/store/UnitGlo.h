#pragma once
// The fixed text formats of dates, times and unique numbers, the date-range test,
// the report data items and the colour-settings key writer.
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace zelm {

class ReportFile;

QString PlainDateText(double day);                // dd.mm.yyyy
QString ShortYear(const QString& dateText);       // dd.mm.yyyy -> dd.mm.yy
QString ShortDate(double day);                    // dd.mm.yy
QString TimeHHMM(double dateTime);                // hh:mm
QString DateTimeText(double dateTime);            // dd.mm.yy hh:mm
QString UniqueNumberText(std::int32_t number);    // when the number was made
double uniqueNumberDayCount(std::int32_t number); // the same as a day count
bool DateInRange(double value, double low, double high);
// Report items, each cut with its prefix to 250 characters.
void ReportItem(ReportFile& file, const QString& text); // "|1:" + text
void ReportLine(ReportFile& file, const QString& text); // "|0:" + text + CR LF
// The same for text already in Windows-1251, as the card records hold it.
void ReportItem(ReportFile& file, QByteArrayView cp1251Text);
void ReportLine(ReportFile& file, QByteArrayView cp1251Text);
// Sets `key` to `value` in the colour settings file and rewrites it whole.
void SetColourSetting(const QString& filePath, const QString& value, const QString& key);

} // namespace zelm
