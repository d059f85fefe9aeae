// A count handed on: the bytes of L_Stat.txt and of the report data file, the report merged
// into the default template, and the report program's starts.
#include "stats/StatOutput.h"
#include "output/PrintFixture.h"
#include "reportf/ReportData.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfText.h"
#include "reportf/templates/ReportTemplates.h"
#include "store/DayCount.h"

using namespace zelm;
using namespace zelm::testing;

namespace {

StatTable smallTable() {
    StatTable t;
    t.query.source = StatSource::Archive;
    t.query.field = StatField::VidORM;
    t.query.columns = StatColumns::Quarters;
    t.query.from = QDate(2026, 1, 1);
    t.query.to = QDate(2026, 6, 30);
    t.columnTitles = {QStringLiteral("I кв. 2026"), QStringLiteral("II кв. 2026")};
    t.rows = {{QStringLiteral("Проверочная закупка"), {4, 3}, 7},
              {QStringLiteral("Опрос; беседа «по душам» \"срочно\""), {1, 0}, 1}};
    t.totals = {QStringLiteral("Итого"), {5, 3}, 8};
    t.cardsRead = 12;
    t.cardsCounted = 8;
    return t;
}

// A period of fourteen months: the print takes two blocks of columns.
StatTable wideTable() {
    StatTable t;
    t.query.field = StatField::FIOSotr;
    t.query.from = QDate(2025, 1, 1);
    t.query.to = QDate(2026, 2, 28);
    const char* const months[] = {"янв", "фев", "мар", "апр", "май", "июн", "июл",
                                  "авг", "сен", "окт", "ноя", "дек", "янв", "фев"};
    for (int m = 0; m < 14; ++m)
        t.columnTitles << QString::fromUtf8(months[m]) + (m < 12 ? " 2025" : " 2026");
    StatRow a{QStringLiteral("Семёнов А.А."), std::vector<qint64>(14, 1), 14};
    StatRow b{QStringLiteral("Ёлкин Ф.Ф."), std::vector<qint64>(14, 0), 2};
    b.counts[0] = 1;
    b.counts[13] = 1;
    StatRow totals{QStringLiteral("Итого"), std::vector<qint64>(14, 1), 16};
    totals.counts[0] = 2;
    totals.counts[13] = 2;
    t.rows = {a, b};
    t.totals = totals;
    t.cardsRead = 16;
    t.cardsCounted = 16;
    return t;
}

class StatOutput : public PrintFixture {
protected:
    StatOutput() {
        setClockForTesting([] { return QDateTime(QDate(2026, 7, 2), QTime(9, 30)); });
    }
    ~StatOutput() override { setClockForTesting({}); }
};

} // namespace

TEST_F(StatOutput, ExcelGetsTheTableWithTheListExportsQuoting) {
    const StatTable t = smallTable();
    exportStatistics(t, inst, QStringLiteral("2003"), platform.office());
    const QByteArray expected = crlf("Вид ОРМ;I кв. 2026;II кв. 2026;Всего;\n"
                                     "Проверочная закупка;4;3;7;\n"
                                     "\"Опрос; беседа «по душам» \"\"срочно\"\"\";1;0;1;\n"
                                     "Итого;5;3;8;\n");
    QFile f(inst.path("L_Stat.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
    EXPECT_FALSE(QFile::exists(inst.path("L_Excel.txt"))); // the lists' export is left alone
    EXPECT_TRUE(platform.officeCalls.join('\n').contains(inst.path("L_Stat.txt")))
        << platform.officeCalls.join('\n').toStdString();
}

TEST_F(StatOutput, ReportDataFileHoldsTheHeaderAndOneLinePerRow) {
    EXPECT_TRUE(printStatistics(launcher, smallTable(), QStringLiteral("ОЭБиПК УМВД")));
    QString items;
    auto line = [&](const QString& name, const char* kind, const QStringList& values,
                    const QString& total) {
        items += "|1:Nazv:" + name + "|1:" + kind + ":";
        for (int k = 0; k < values.size(); ++k)
            items += QStringLiteral("|1:k%1:").arg(k + 1) + values.value(k);
        items += "|1:Vsego:" + total + "\n";
    };
    line("Вид ОРМ", "Zagolovok", {"I кв. 2026", "II кв. 2026"}, "Всего");
    line("Проверочная закупка", "Stroka", {"4", "3"}, "7");
    line("Опрос; беседа «по душам» \"срочно\"", "Stroka", {"1", "0"}, "1");
    line("Итого", "Itog", {"5", "3"}, "8");
    EXPECT_EQ(readReport("StatDat.txt"),
              crlf("|0:wladelec:ОЭБиПК УМВД\n|0:Istochnik:Архив\n|0:Stroki:Вид ОРМ\n"
                   "|0:Stolbcy:По кварталам\n|0:S:01.01.2026\n|0:Po:30.06.2026\n"
                   "|0:Data:02.07.2026\n|0:Prochitano:12\n|0:Uchteno:8\n" +
                   items + "\n"));
    EXPECT_EQ(commandLines(), (QStringList{"StatDat.txt StatPic.rtf StatRep.rtf - /m",
                                           "StatDat.txt StatPic.rtf StatRep.rtf"}));
    EXPECT_TRUE(StatPic1Click(launcher));
    EXPECT_EQ(commandLines().last(), QStringLiteral("StatDat.txt StatPic.rtf"));
}

TEST_F(StatOutput, MergedReportShowsEachBlockWithItsOwnTotals) {
    const QString folder = inst.path("report");
    writeMissingReportTemplates(folder);
    ASSERT_TRUE(printStatistics(launcher, wideTable(), QStringLiteral("ОЭБиПК УМВД")));
    using namespace zelm::reportf;
    const ReportData data = ReportData::read(folder + "/StatDat.txt");
    const QByteArray merged = mergeReport(readTemplate(folder + "/StatPic.rtf", data), data);
    EXPECT_FALSE(merged.contains('#')) << "a placeholder was left";
    const RtfText text = rtfText(merged);
    EXPECT_TRUE(text.text.contains(QStringLiteral("ОЭБиПК УМВД")));
    EXPECT_TRUE(text.text.contains(QStringLiteral("Период: с 01.01.2025 по 28.02.2026")));
    EXPECT_TRUE(text.text.contains(QStringLiteral("прочитано карточек 16, учтено за период 16")));
    // Each block carries its own «Всего»; the last also the period's total.
    const QStringList empty10(10, QString());
    QList<QStringList> expected = {
        QStringList{"Провёл", "янв 2025", "фев 2025", "мар 2025", "апр 2025", "май 2025",
                    "июн 2025", "июл 2025", "авг 2025", "сен 2025", "окт 2025", "ноя 2025",
                    "дек 2025", "Всего", ""},
        QStringList{"Семёнов А.А."} + QStringList(12, "1") + QStringList{"12", ""},
        QStringList{"Ёлкин Ф.Ф.", "1"} + QStringList(11, "0") + QStringList{"1", ""},
        QStringList{"Итого", "2"} + QStringList(11, "1") + QStringList{"13", ""},
        QStringList{"Провёл", "янв 2026", "фев 2026"} + empty10 + QStringList{"Всего", "За период"},
        QStringList{"Семёнов А.А.", "1", "1"} + empty10 + QStringList{"2", "14"},
        QStringList{"Ёлкин Ф.Ф.", "0", "1"} + empty10 + QStringList{"1", "2"},
        QStringList{"Итого", "1", "2"} + empty10 + QStringList{"3", "16"}};
    EXPECT_EQ(text.rows, expected);
}

TEST_F(StatOutput, AReportFolderThatCannotBeWrittenIsReportedAndNothingStarts) {
    QDir(inst.path("report")).removeRecursively();
    EXPECT_FALSE(printStatistics(launcher, smallTable(), QString()));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.contains("StatDat.txt"));
    EXPECT_TRUE(platform.startedPrograms.isEmpty());
}
