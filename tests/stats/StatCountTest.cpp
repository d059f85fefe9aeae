// Counting measures: grouping of spellings, the period and its columns, against a count made
// by hand over registers written here.
#include "StatRegister.h"
#include "common/QStringPrinter.h"
#include "stats/StatCounter.h"
#include "store/CardFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

class Count : public ::testing::Test {
protected:
    void write(const std::vector<TAnketa>& cards) {
        file.create(dir.filePath(QStringLiteral("Anketi.dat")), sizeof(TAnketa));
        if (!cards.empty())
            file.appendMany(cards.data(), static_cast<qint64>(cards.size()));
    }
    StatTable count(const StatQuery& q) {
        StatTable t;
        EXPECT_TRUE(countCards(file, q, t));
        return t;
    }
    static StatQuery query(StatField field, StatColumns columns, QDate from, QDate to) {
        return statQuery(field, columns, from, to);
    }

    QTemporaryDir dir;
    CardFile file;
};

QStringList names(const StatTable& t) {
    QStringList out;
    for (const StatRow& r : t.rows)
        out << r.name;
    return out;
}

} // namespace

TEST_F(Count, EveryFieldAndSplitMatchesACountByHand) {
    const QDate from(2025, 11, 17), to(2026, 5, 9);
    const auto cards = statRegister(4000, from, to, 7);
    write(cards);
    const StatField fields[] = {StatField::VidORM,  StatField::Povod,   StatField::Osnovan,
                                StatField::Podrazd, StatField::FIOSotr, StatField::FIOUtv};
    const StatColumns splits[] = {StatColumns::Months, StatColumns::Quarters, StatColumns::Years,
                                  StatColumns::None};
    for (StatField field : fields) {
        for (StatColumns split : splits) {
            const StatQuery q = query(field, split, from, to);
            const StatTable t = count(q);
            const ExpectedTable expected = countByHand(cards, q);
            SCOPED_TRACE(statFieldCaption(field).toStdString() + " " +
                         statColumnCaption(split).toStdString());
            EXPECT_EQ(asExpected(t), expected);
            EXPECT_EQ(t.cardsRead, 4000);
            qint64 counted = 0;
            std::vector<qint64> columnSums(t.totals.counts.size(), 0);
            for (const StatRow& r : t.rows) {
                counted += r.total;
                for (size_t c = 0; c < r.counts.size(); ++c)
                    columnSums[c] += r.counts[c];
            }
            EXPECT_EQ(t.cardsCounted, counted);
            EXPECT_EQ(t.totals.total, counted);
            EXPECT_EQ(t.totals.counts, columnSums);
            EXPECT_EQ(t.totals.name, QStringLiteral("Итого"));
            // Falling totals.
            for (size_t r = 1; r < t.rows.size(); ++r)
                EXPECT_GE(t.rows[r - 1].total, t.rows[r].total);
        }
    }
}

TEST_F(Count, SpellingsMeetIgnoringCaseAndOuterBlanksButYoStaysApart) {
    const QDate d(2026, 2, 10);
    write({statCard(d, QStringLiteral("Семёнов А.А.")),
           statCard(d, QStringLiteral("семёнов а.а. ")),
           statCard(d, QStringLiteral("  Семёнов А.А.")),
           statCard(d, QStringLiteral("Семенов А.А.")), statCard(d, QStringLiteral("ОПРОС")),
           statCard(d, QStringLiteral("Опрос")), statCard(d, QStringLiteral("ОПРОС ")),
           statCard(d, QString()), statCard(d, QStringLiteral("   ")),
           statCard(d, QStringLiteral("Наблюдение")), statCard(d, QStringLiteral("наблюдение"))});
    const StatTable t =
        count(query(StatField::FIOSotr, StatColumns::None, QDate(2026, 1, 1), QDate(2026, 12, 31)));
    // Falling totals, equal ones by name; a group shows its majority's spelling, or the one met
    // first when two are equally frequent.
    EXPECT_EQ(names(t),
              (QStringList{"ОПРОС", "Семёнов А.А.", "(не указано)", "Наблюдение", "Семенов А.А."}));
    EXPECT_EQ(t.rows[0].total, 3);
    EXPECT_EQ(t.rows[1].total, 3);
    EXPECT_EQ(t.rows[2].total, 2);
    EXPECT_TRUE(t.columnTitles.isEmpty());
    EXPECT_TRUE(t.rows[0].counts.empty());
    EXPECT_EQ(t.totals.total, 11);
}

TEST_F(Count, OnlyDaysInsideThePeriodCountEdgesIncluded) {
    write({statCard(QDate(2025, 12, 31), QStringLiteral("Опрос")),
           statCard(QDate(2026, 1, 15), QStringLiteral("Опрос")),
           statCard(QDate(2026, 1, 31), QStringLiteral("Опрос")),
           statCard(QDate(2026, 2, 1), QStringLiteral("Наблюдение")),
           statCard(QDate(2026, 3, 31), QStringLiteral("Опрос")),
           statCard(QDate(2026, 4, 1), QStringLiteral("Опрос")),
           statCard({}, QStringLiteral("Опрос"))});
    TAnketa late = statCard(QDate(2026, 3, 31), QStringLiteral("Наблюдение"));
    late.DataMer += 0.99; // 23:45 on the last day is still the last day
    file.write(&late);

    // A period that starts in the middle of a month: its first column is that month's rest.
    StatTable t = count(
        query(StatField::VidORM, StatColumns::Months, QDate(2026, 1, 15), QDate(2026, 3, 31)));
    EXPECT_EQ(t.columnTitles, (QStringList{"янв 2026", "фев 2026", "мар 2026"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].name, QStringLiteral("Опрос"));
    EXPECT_EQ(t.rows[0].counts, (std::vector<qint64>{2, 0, 1}));
    EXPECT_EQ(t.rows[1].counts, (std::vector<qint64>{0, 1, 1}));
    EXPECT_EQ(t.totals.counts, (std::vector<qint64>{2, 1, 2}));
    EXPECT_EQ(t.cardsRead, 8);
    EXPECT_EQ(t.cardsCounted, 5);

    t = count(
        query(StatField::VidORM, StatColumns::Quarters, QDate(2025, 12, 1), QDate(2026, 4, 30)));
    EXPECT_EQ(t.columnTitles, (QStringList{"IV кв. 2025", "I кв. 2026", "II кв. 2026"}));
    EXPECT_EQ(t.totals.counts, (std::vector<qint64>{1, 5, 1}));
    t = count(query(StatField::VidORM, StatColumns::Years, QDate(2025, 12, 31), QDate(2026, 1, 1)));
    EXPECT_EQ(t.columnTitles, (QStringList{"2025", "2026"}));
    EXPECT_EQ(t.totals.counts, (std::vector<qint64>{1, 0}));

    // A card without a date is not a card of 30.12.1899.
    t = count(query(StatField::VidORM, StatColumns::Years, QDate(1899, 12, 30), QDate(1900, 1, 1)));
    EXPECT_EQ(t.cardsCounted, 0);

    // The last day before the first: nothing is counted, every card is read.
    t = count(query(StatField::VidORM, StatColumns::Months, QDate(2026, 3, 1), QDate(2026, 2, 1)));
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.cardsRead, 8);
    EXPECT_EQ(t.cardsCounted, 0);
}

TEST_F(Count, AnEmptyFileAndACancelledCount) {
    write({});
    const StatTable t =
        count(query(StatField::Povod, StatColumns::Months, QDate(2026, 1, 1), QDate(2026, 12, 31)));
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.columnTitles.size(), 12);
    EXPECT_EQ(t.totals.counts, std::vector<qint64>(12, 0));

    write(statRegister(3000, QDate(2026, 1, 1), QDate(2026, 12, 31), 3));
    std::atomic<bool> cancelled{false};
    int calls = 0;
    StatTable kept;
    kept.cardsRead = -1;
    EXPECT_FALSE(countCards(
        file, query(StatField::Povod, StatColumns::Months, QDate(2026, 1, 1), QDate(2026, 12, 31)),
        kept, [&](int) { cancelled = ++calls == 1; }, &cancelled));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(kept.cardsRead, -1);
}

TEST(StatChart, TwelveRowsAndTheRestAsOthers) {
    StatTable t;
    t.columnTitles = {"янв 2026", "фев 2026"};
    for (int i = 0; i < 15; ++i)
        t.rows.push_back({QStringLiteral("Вид %1").arg(i), {20 - i, i}, 20});
    StatChartData c = statChartData(t);
    ASSERT_EQ(c.categories.size(), 13);
    EXPECT_EQ(c.categories.first(), QStringLiteral("Вид 0"));
    EXPECT_EQ(c.categories.last(), QStringLiteral("Прочие"));
    EXPECT_EQ(c.seriesTitles, t.columnTitles);
    EXPECT_EQ(c.values[0][12], 8 + 7 + 6);
    EXPECT_EQ(c.values[1][12], 12 + 13 + 14);
    EXPECT_EQ(c.values[1][3], 3);

    t.columnTitles.clear();
    t.rows.resize(3);
    for (StatRow& r : t.rows)
        r.counts.clear();
    c = statChartData(t);
    EXPECT_EQ(c.categories.size(), 3); // no «Прочие» without a rest
    EXPECT_EQ(c.seriesTitles, QStringList{"Всего"});
    EXPECT_EQ(c.values[0], (std::vector<qint64>{20, 20, 20}));
}
