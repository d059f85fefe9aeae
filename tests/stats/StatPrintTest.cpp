// The printed statistics as the report program makes them from the default template: blocks of
// twelve months, each with its own totals, titles over every piece, and only the columns a
// count has; read back from the merged document.
#include "StatRegister.h"
#include "common/QStringPrinter.h"
#include "output/PrintFixture.h"
#include "reportf/ReportData.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfText.h"
#include "reportf/templates/ReportTemplates.h"
#include "stats/StatCounter.h"
#include "stats/StatOutput.h"
#include "store/DayCount.h"
#include "store/RecordSource.h"

#include <numeric>

using namespace zelm;
using namespace zelm::testing;

namespace {

class Cards : public RecordSource {
public:
    explicit Cards(const std::vector<TAnketa>& cards) : m_cards(cards) {}
    qint64 count() const override { return static_cast<qint64>(m_cards.size()); }
    void readRange(qint64 first, qint64 n, void* out) const override {
        std::copy_n(m_cards.begin() + first, n, static_cast<TAnketa*>(out));
    }

private:
    const std::vector<TAnketa>& m_cards;
};

class StatPrint : public PrintFixture {
protected:
    StatPrint() {
        setClockForTesting([] { return QDateTime(QDate(2025, 1, 10), QTime(9, 30)); });
        writeMissingReportTemplates(inst.path("report"));
        cards = statRegister(4000, QDate(2023, 1, 1), QDate(2024, 12, 31), 4);
        // More kinds than one piece of lines holds.
        for (size_t i = 0; i < cards.size(); i += 5)
            cards[i].VidORM =
                statCard({}, QStringLiteral("Иное мероприятие %1").arg(i % 12)).VidORM;
    }
    ~StatPrint() override { setClockForTesting({}); }

    StatTable count(QDate from, QDate to) {
        StatQuery q;
        q.field = StatField::VidORM;
        q.columns = StatColumns::Months;
        q.from = from;
        q.to = to;
        StatTable t;
        EXPECT_TRUE(countCards(Cards(cards), q, t));
        return t;
    }
    // The table rows of the merged report.
    QList<QStringList> printed(const StatTable& t) {
        EXPECT_TRUE(printStatistics(launcher, t, QStringLiteral("ОЭБиПК УМВД")));
        using namespace zelm::reportf;
        const QString folder = inst.path("report");
        const ReportData data = ReportData::read(folder + "/StatDat.txt");
        const QByteArray merged = mergeReport(readTemplate(folder + "/StatPic.rtf", data), data);
        EXPECT_FALSE(merged.contains('#')) << "a placeholder was left";
        return rtfText(merged).rows;
    }

    std::vector<TAnketa> cards;
};

qint64 sum(const QStringList& cells, int from, int to) {
    qint64 s = 0;
    for (int c = from; c < to; ++c)
        s += cells[c].toLongLong();
    return s;
}

} // namespace

TEST_F(StatPrint, TwoYearsPrintInTwoBlocksEachWithItsOwnTotals) {
    const StatTable t = count(QDate(2023, 1, 1), QDate(2024, 12, 31));
    ASSERT_GT(t.rows.size(), static_cast<size_t>(kStatReportRows)); // pieces in each block
    const QList<QStringList> rows = printed(t);

    int block = -1, sinceTitles = 0, pieces = 0;
    QMap<QString, qint64> periodTotals;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 15) << row.join('|').toStdString(); // name, 12 months, two totals
        if (row[13] == QStringLiteral("Всего")) {
            ++pieces;
            if (!row[0].endsWith(QStringLiteral("(продолжение)")))
                ++block;
            EXPECT_TRUE(row[0].startsWith(QStringLiteral("Вид ОРМ")));
            EXPECT_EQ(row[1], QStringLiteral("янв %1").arg(2023 + block));
            EXPECT_EQ(row[12], QStringLiteral("дек %1").arg(2023 + block));
            EXPECT_EQ(row[14], block == 1 ? QStringLiteral("За период") : QString());
            sinceTitles = 0;
            continue;
        }
        ASSERT_GE(block, 0) << "a line before any titles";
        EXPECT_LE(++sinceTitles, kStatReportRows + 1);
        // «Всего» of a block is that block's twelve months, whatever the other block holds.
        EXPECT_EQ(row[13].toLongLong(), sum(row, 1, 13)) << row.join('|').toStdString();
        if (block == 0) {
            periodTotals[row[0]] = row[13].toLongLong();
        } else {
            EXPECT_EQ(row[14].toLongLong(), periodTotals.value(row[0]) + row[13].toLongLong())
                << row.join('|').toStdString();
        }
    }
    EXPECT_EQ(block, 1);
    EXPECT_EQ(pieces, 2 * ((static_cast<int>(t.rows.size()) + kStatReportRows) / kStatReportRows));
    EXPECT_EQ(rows.last()[0], QStringLiteral("Итого"));
    EXPECT_EQ(rows.last()[14].toLongLong(), t.cardsCounted);
    // The first block's «Всего» is the count's first twelve months.
    for (const StatRow& r : t.rows)
        EXPECT_EQ(periodTotals.value(r.name),
                  std::accumulate(r.counts.begin(), r.counts.begin() + 12, qint64(0)))
            << r.name.toStdString();
}

TEST_F(StatPrint, AQuarterPrintsOnlyItsThreeMonths) {
    const StatTable t = count(QDate(2024, 3, 15), QDate(2024, 5, 31));
    const QList<QStringList> rows = printed(t);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.first(), (QStringList{"Вид ОРМ", "мар 2024", "апр 2024", "май 2024", "Всего"}));
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 5) << row.join('|').toStdString();
        if (row[4] != QStringLiteral("Всего")) {
            EXPECT_EQ(row[4].toLongLong(), sum(row, 1, 4)) << row.join('|').toStdString();
        }
    }
    EXPECT_EQ(rows.last(),
              (QStringList{"Итого", QString::number(t.totals.counts[0]),
                           QString::number(t.totals.counts[1]), QString::number(t.totals.counts[2]),
                           QString::number(t.cardsCounted)}));
}

TEST_F(StatPrint, AnUnchangedEarlierTemplateIsBroughtUpToDateAnEditedOneStays) {
    const QString folder = inst.path("report");
    const QString target = folder + "/StatPic.rtf";
    QFile old(QStringLiteral(OLD_STAT_TEMPLATE));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray earlier = old.readAll();
    auto install = [&](const QByteArray& bytes) {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    auto installed = [&] {
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray current = installed();
    ASSERT_NE(current, earlier);

    install(earlier);
    writeMissingReportTemplates(folder);
    EXPECT_EQ(installed(), current);

    QByteArray edited = earlier;
    edited.replace("\\fs26", "\\fs28");
    install(edited);
    writeMissingReportTemplates(folder);
    EXPECT_EQ(installed(), edited);
}
