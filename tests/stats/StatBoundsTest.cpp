// Statistics over the widest period the date edits allow and over thousands of spellings stay
// bounded in columns, rows, memory and time; a count with nothing to show says why.
#include "StatRegister.h"
#include "common/QStringPrinter.h"
#include "common/TestInstall.h"
#include "session/CardSession.h"
#include "stats/StatChart.h"
#include "stats/StatCounter.h"
#include "stats/TStatistika.h"
#include "store/CardFile.h"
#include "store/DayCount.h"
#include "store/RecordSource.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLegend>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QValueAxis>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
qint64 statusKb(const QByteArray& key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Starts the peak of resident memory afresh from what is resident now.
void resetPeakMemory() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("5");
}

StatQuery query(StatField field, StatColumns columns, QDate from, QDate to) {
    return statQuery(field, columns, from, to);
}

// The widest the window's date edits allow.
const QDate kFirstDay(1899, 12, 30), kLastDay(9999, 12, 31);

} // namespace

TEST(StatBounds, TwoThousandSpellingsOverTwentyThousandCardsStayWithinAHundredMegabytes) {
    QTemporaryDir dir;
    CardFile file;
    file.create(dir.filePath(QStringLiteral("Anketi.dat")), sizeof(TAnketa));
    // Officers of unequal weight, so that the first hundred are a clear choice, spread over
    // nearly the whole range of dates.
    std::vector<TAnketa> cards;
    for (int i = 0; i < 20000; ++i) {
        const int officer = (i * 7919) % 2000 < 1000 ? i % 1000 : (i * 31) % 2000;
        const QDate date = i % 10 == 0 ? QDate(1901, 1, 1).addDays((i * 104729LL) % 2900000)
                                       : QDate(2000, 1, 1).addDays((i * 7LL) % 7300);
        cards.push_back(statCard(
            date, QStringLiteral("Сотрудник %1 А.А.").arg(officer, 4, 10, QLatin1Char('0'))));
    }
    file.appendMany(cards.data(), static_cast<qint64>(cards.size()));

    resetPeakMemory();
    const qint64 before = statusKb("VmRSS");
    // The whole range by years is wider than any table shows: refused, not counted.
    StatTable t;
    EXPECT_THROW(
        countCards(file, query(StatField::FIOSotr, StatColumns::Years, kFirstDay, kLastDay), t),
        std::invalid_argument);
    // The widest table there is: 240 months.
    const StatQuery widest =
        query(StatField::FIOSotr, StatColumns::Months, QDate(2000, 1, 1), QDate(2019, 12, 31));
    ASSERT_TRUE(countCards(file, widest, t));
    const qint64 peak = statusKb("VmHWM");
    EXPECT_LT(peak - before, 100 * 1024) << "KB above the start";

    ASSERT_EQ(t.columnTitles.size(), 240);
    ASSERT_EQ(t.rows.size(), static_cast<size_t>(kStatTableRows) + 1);
    EXPECT_EQ(t.rows.back().name, QStringLiteral("Прочие"));
    const ExpectedTable byHand = countByHand(cards, widest);
    EXPECT_EQ(t.values, static_cast<qint64>(byHand.size()));
    EXPECT_EQ(t.otherValues, t.values - kStatTableRows);
    // The hundred shown are counted exactly and none left out outnumbers them.
    qint64 smallestShown = t.rows[kStatTableRows - 1].total, sum = 0;
    QStringList shown;
    for (int r = 0; r < kStatTableRows; ++r) {
        const StatRow& row = t.rows[static_cast<size_t>(r)];
        EXPECT_EQ(row.counts, byHand.at(row.name).counts) << row.name.toStdString();
        shown << row.name;
        sum += row.total;
    }
    qint64 rest = 0;
    std::vector<qint64> restCounts(240, 0);
    for (const auto& [name, row] : byHand) {
        if (shown.contains(name))
            continue;
        EXPECT_LE(row.total, smallestShown) << name.toStdString();
        rest += row.total;
        for (size_t c = 0; c < 240; ++c)
            restCounts[c] += row.counts[c];
    }
    EXPECT_EQ(t.rows.back().total, rest);
    EXPECT_EQ(t.rows.back().counts, restCounts);
    EXPECT_EQ(sum + rest, t.cardsCounted);
}

TEST(StatBounds, TheColumnsOfAPeriodAreKnownBeforeTheyAreListed) {
    EXPECT_EQ(statColumnCount(query(StatField::VidORM, StatColumns::Months, kFirstDay, kLastDay)),
              97201);
    EXPECT_EQ(statColumnCount(query(StatField::VidORM, StatColumns::Quarters, QDate(2025, 12, 31),
                                    QDate(2026, 1, 1))),
              2);
    EXPECT_EQ(statColumnCount(query(StatField::VidORM, StatColumns::Years, QDate(2026, 5, 1),
                                    QDate(2026, 4, 30))),
              0);
    EXPECT_EQ(StatPeriod::of(query(StatField::VidORM, StatColumns::Months, kFirstDay, kLastDay))
                  .columnCount(),
              0);
    // Twenty years by months just fit; one month more suggests quarters.
    EXPECT_TRUE(statQueryProblem(query(StatField::VidORM, StatColumns::Months, QDate(2006, 1, 15),
                                       QDate(2025, 12, 1)))
                    .isEmpty());
    const QString tooWide = statQueryProblem(
        query(StatField::VidORM, StatColumns::Months, QDate(2005, 12, 31), QDate(2025, 12, 1)));
    EXPECT_TRUE(tooWide.contains(QStringLiteral("«По кварталам»"))) << tooWide.toStdString();
    EXPECT_TRUE(
        statQueryProblem(query(StatField::VidORM, StatColumns::Quarters, kFirstDay, kLastDay))
            .contains(QStringLiteral("«Без разбивки»")));
}

TEST(StatBounds, TheAxisEndsAtARoundNumberJustAboveTheLargestBar) {
    const std::pair<qint64, qint64> ends[] = {{1003, 1100}, {147, 150}, {999, 1000}, {1000, 1100},
                                              {12, 15},     {7, 8},     {0, 1},      {73, 75}};
    for (const auto& [largest, end] : ends) {
        const StatAxis a = statAxis(largest);
        EXPECT_EQ(a.end, end) << largest;
        EXPECT_GE(a.end / a.step, 1) << largest;
        EXPECT_LE(a.end / a.step, 6) << largest;
    }
}
