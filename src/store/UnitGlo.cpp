#include "store/UnitGlo.h"

#include "store/Cp1251.h"
#include "store/DayCount.h"
#include "store/TextFiles.h"

#include <algorithm>

namespace zelm {

QString PlainDateText(double day) {
    // Filled by hand: the lists and the report of measures format three dates a card.
    const QDate date = dateFromDayCount(day);
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (y < 1 || y > 9999)
        return date.toString(QStringLiteral("dd.MM.yyyy"));
    const char16_t text[10] = {
        char16_t(u'0' + d / 10),   char16_t(u'0' + d % 10),       u'.',
        char16_t(u'0' + m / 10),   char16_t(u'0' + m % 10),       u'.',
        char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
        char16_t(u'0' + y % 10)};
    return QString::fromUtf16(text, 10);
}

QString ShortYear(const QString& dateText) {
    if (dateText.trimmed().size() > 8) {
        QString s = dateText;
        s.remove(6, 2);
        return s;
    }
    return dateText;
}

QString ShortDate(double day) {
    return ShortYear(PlainDateText(day));
}

QString TimeHHMM(double dateTime) {
    QTime t = fromDayCount(dateTime).time();
    QString s = QStringLiteral("%1:%2:%3")
                    .arg(t.hour())
                    .arg(t.minute(), 2, 10, QLatin1Char('0'))
                    .arg(t.second(), 2, 10, QLatin1Char('0'));
    if (s.indexOf(QLatin1Char(':')) == 1)
        s.prepend(QLatin1Char('0'));
    return s.left(5);
}

QString DateTimeText(double dateTime) {
    return ShortDate(dateTime) + QLatin1Char(' ') + TimeHHMM(dateTime);
}

double uniqueNumberDayCount(std::int32_t number) {
    const double base = (number > 800000000 && number < 999999999) ? 30000.0 : 40000.0;
    return number / 100000.0 + base;
}

QString UniqueNumberText(std::int32_t number) {
    return DateTimeText(uniqueNumberDayCount(number));
}

bool DateInRange(double value, double low, double high) {
    return low <= value && value <= high;
}

namespace {
// One byte is one character in Windows-1251, so the cut is made on the bytes.
constexpr qsizetype kReportItemLength = 250;

void writeReportText(ReportFile& file, QByteArrayView prefix, QByteArrayView text, bool lineEnd) {
    file.write(prefix);
    file.write(text.first(std::min(text.size(), kReportItemLength - prefix.size())));
    if (lineEnd)
        file.write(QByteArrayView("\r\n"));
}
} // namespace

void ReportItem(ReportFile& file, const QString& text) {
    ReportItem(file, QByteArrayView(toCp1251(text)));
}

void ReportLine(ReportFile& file, const QString& text) {
    ReportLine(file, QByteArrayView(toCp1251(text)));
}

void ReportItem(ReportFile& file, QByteArrayView text) {
    writeReportText(file, "|1:", text, false);
}

void ReportLine(ReportFile& file, QByteArrayView text) {
    writeReportText(file, "|0:", text, true);
}

void SetColourSetting(const QString& filePath, const QString& value, const QString& key) {
    struct Slot {
        QString key;
        QString value;
    };
    QList<Slot> entries;
    for (const QString& line : readTextLines(filePath)) {
        Slot slot;
        int blank = line.indexOf(QLatin1Char(' '));
        if (blank >= 0) {
            slot.key = line.left(blank).left(20);
            slot.value = line.mid(blank + 1, 20).trimmed();
        }
        entries.append(slot);
    }
    qsizetype target = entries.size();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].key.startsWith(key)) {
            target = i;
            break;
        }
    }
    if (target == entries.size())
        entries.append(Slot{});
    entries[target].key = key.left(20);
    entries[target].value = value.left(20);
    QStringList lines;
    for (const Slot& slot : entries)
        lines << slot.key.trimmed() + QLatin1Char(' ') + slot.value.trimmed();
    writeTextLines(filePath, lines);
}

} // namespace zelm
