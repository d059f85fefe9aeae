#include "store/UnitGlo.h"
#include "store/DayCount.h"
#include "store/TextFiles.h"
#include "store/UniqueNumber.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;

TEST(UnitGlo, DateTexts) {
    EXPECT_EQ(ShortYear(QStringLiteral("06.12.2026")), QStringLiteral("06.12.26"));
    EXPECT_EQ(ShortYear(QStringLiteral("06.12.26")), QStringLiteral("06.12.26"));
    EXPECT_EQ(PlainDateText(46362.5), QStringLiteral("06.12.2026"));
    // The hand-made text agrees with Qt's over the whole range of day counts, BC years included.
    for (double day = -800000; day <= 3000000; day += 997.25)
        ASSERT_EQ(PlainDateText(day), dateFromDayCount(day).toString(QStringLiteral("dd.MM.yyyy")))
            << day;
    EXPECT_EQ(DateTimeText(46362.5), QStringLiteral("06.12.26 12:00"));
    double t = toDayCount(QDateTime(QDate(2026, 1, 1), QTime(9, 5, 30)));
    EXPECT_EQ(TimeHHMM(t), QStringLiteral("09:05"));
    t = toDayCount(QDateTime(QDate(2026, 1, 1), QTime(23, 59, 59)));
    EXPECT_EQ(TimeHHMM(t), QStringLiteral("23:59"));
    EXPECT_EQ(toDayCount(QDate(2026, 3, 15)), 46096.0);
}

TEST(UnitGlo, UniqueNumberTextUndoesTheDroppedDigit) {
    EXPECT_EQ(UniqueNumberText(636250000), QStringLiteral("06.12.26 12:00"));
    EXPECT_EQ(UniqueNumberText(900000000), QStringLiteral("10.10.06 00:00"));
    EXPECT_EQ(UniqueNumberText(800000000), QStringLiteral("01.06.31 00:00"));
}

TEST(UnitGlo, DateInRangeIncludesBothEnds) {
    EXPECT_TRUE(DateInRange(5, 5, 7));
    EXPECT_TRUE(DateInRange(7, 5, 7));
    EXPECT_FALSE(DateInRange(7.5, 5, 7));
}

TEST(UniqueNumber, TicksAndNeverRepeatsWithinARun) {
    EXPECT_EQ(uniqueNumberAt(QDateTime(QDate(2026, 12, 6), QTime(12, 0))), 636250000);
    // Leading zeros of the nine characters vanish: day 40004.07193 gives 000407193.
    EXPECT_EQ(uniqueNumberAt(fromDayCount(40004.07193)), 407193);
    resetUniqueNumbersForTesting();
    setClockForTesting([] { return QDateTime(QDate(2026, 12, 6), QTime(12, 0)); });
    int a = NewUniqueNumber();
    int b = NewUniqueNumber();
    int c = NewUniqueNumber();
    setClockForTesting({});
    EXPECT_EQ(a, 636250000);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, a + 2);
}

TEST(ReportItems, PrefixAndCutTo250) {
    QTemporaryDir dir;
    const QString p = dir.filePath("r.txt");
    {
        ReportFile f(p);
        ReportItem(f, QStringLiteral("Дата"));
        ReportLine(f, QString(300, QLatin1Char('x')));
        f.close();
    }
    QFile in(p);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    EXPECT_TRUE(bytes.startsWith(QByteArray("|1:\xC4\xE0\xF2\xE0|0:")));
    EXPECT_EQ(bytes.size(), 7 + 250 + 2);
    EXPECT_TRUE(bytes.endsWith("x\r\n"));
}

namespace {
QByteArray runSetColour(const QByteArray& before, const QString& value, const QString& key) {
    QTemporaryDir dir;
    const QString p = dir.filePath("CwetFona.vez");
    QFile f(p);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();
    SetColourSetting(p, value, key);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}
} // namespace

TEST(SetColourSetting, AddsReplacesAndKeepsOrder) {
    EXPECT_EQ(runSetColour("Organ clLime\r\n", "clRed", "Form1"),
              QByteArray("Organ clLime\r\nForm1 clRed\r\n"));
    EXPECT_EQ(runSetColour("", "clRed", "Form1"), QByteArray("Form1 clRed\r\n"));
    EXPECT_EQ(runSetColour("Organ clLime\r\nForm1 clRed\r\n", "clBlue", "Form1"),
              QByteArray("Organ clLime\r\nForm1 clBlue\r\n"));
}

TEST(SetColourSetting, WorksOnAFileOfManyLines) {
    QByteArray many;
    for (int i = 0; i < 25; ++i)
        many += "Key" + QByteArray::number(i) + " v\r\n";
    QByteArray after = runSetColour(many, "$00FF8040", "Organ");
    EXPECT_TRUE(after.startsWith(many));
    EXPECT_TRUE(after.endsWith("Organ $00FF8040\r\n"));
}
