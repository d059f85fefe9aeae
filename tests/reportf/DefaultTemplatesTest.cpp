// The default templates: written into the report folder when missing, and filled by the
// data files the card index writes.
#include "SampleData.h"
#include "reportf/ReportData.h"
#include "reportf/RtfMerge.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfText.h"
#include "reportf/templates/ReportTemplates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm::reportf;

namespace {

struct Merged {
    QByteArray bytes;
    RtfText text;
};

Merged mergeDefault(const QString& folder, const QString& report) {
    const ReportData data = ReportData::read(folder + "/" + report + "Dat.txt");
    const RtfTemplate t = readTemplate(folder + "/" + report + "Pic.rtf", data);
    Merged m;
    m.bytes = mergeReport(t, data);
    m.text = rtfText(m.bytes);
    return m;
}

QString row(const Merged& m, const QString& label) {
    for (const QStringList& r : m.text.rows)
        if (r.value(0) == label)
            return r.value(1);
    return QStringLiteral("<no row %1>").arg(label);
}

class DefaultTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        zelm::writeMissingReportTemplates(dir.path());
        sample::writeAll(dir.path());
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(DefaultTemplates, MissingOnesAreWrittenAndEditedOnesKept) {
    QTemporaryDir other;
    const QString folder = other.filePath(QStringLiteral("report"));
    sample::writeFile(QDir(other.path()).filePath("keep"), "x");
    QDir().mkpath(folder);
    sample::writeFile(folder + "/KnigaPic.rtf", "{\\rtf1 edited}");
    zelm::writeMissingReportTemplates(folder);
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({"KnigaPic.rtf", "KonA8Pic.rtf", "KonA9Pic.rtf", "PolnPic.rtf",
                                  "StatPic.rtf"}));
    QFile kept(folder + "/KnigaPic.rtf");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("{\\rtf1 edited}"));
    for (const QString& name : zelm::reportTemplateNames()) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(f.readAll().startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    }
}

TEST_F(DefaultTemplates, FullCardShowsEveryItem) {
    const Merged m = mergeDefault(dir.path(), QStringLiteral("Poln"));
    EXPECT_FALSE(m.bytes.contains('#')) << "a placeholder was left";
    EXPECT_TRUE(m.text.text.contains(sample::kOwner));
    EXPECT_EQ(row(m, QStringLiteral("Организация")), QStringLiteral("ООО «Ромашка»"));
    EXPECT_EQ(row(m, QStringLiteral("Уникальный номер")), QStringLiteral("100017"));
    EXPECT_EQ(row(m, QStringLiteral("Результат")),
              QStringLiteral("Проверка проведена\nнарушений не выявлено\nматериалы приобщены"));
    EXPECT_EQ(row(m, QStringLiteral("Провёл")),
              QStringLiteral("ОЭБиПК оперуполномоченный капитан Сидоров С.С."));
    EXPECT_TRUE(m.text.text.contains(QStringLiteral("Кузнецова А.А.")));
    EXPECT_TRUE(m.text.text.contains(QStringLiteral("07.12.26 10:15")));
}

TEST_F(DefaultTemplates, ListHasOneRowPerCard) {
    const Merged m = mergeDefault(dir.path(), QStringLiteral("Kniga"));
    EXPECT_FALSE(m.bytes.contains('#'));
    EXPECT_TRUE(m.bytes.contains("\\landscape"));
    // The title with the owner and the column titles are the page header, on every page.
    QByteArray owner;
    appendRtfText(owner, sample::kOwner, 1);
    EXPECT_TRUE(m.bytes.contains("{\\header ")) << "no page header";
    EXPECT_TRUE(m.bytes.contains(owner));
    ASSERT_EQ(m.text.rows.size(), 2);
    for (int n = 1; n <= 2; ++n) {
        QStringList expected;
        for (const auto& item : sample::listCard(n))
            expected << QString(item.second).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(m.text.rows[n - 1], expected);
    }

    sample::writeFile(dir.filePath("KnigaDat.txt"), sample::measureListFile(0));
    const Merged empty = mergeDefault(dir.path(), QStringLiteral("Kniga"));
    EXPECT_TRUE(empty.text.rows.isEmpty());
    EXPECT_FALSE(empty.bytes.contains('#'));
    EXPECT_TRUE(empty.bytes.contains(owner));
}

TEST_F(DefaultTemplates, EnvelopesCarrySenderAndRecipient) {
    for (const QString& report : {QStringLiteral("KonA8"), QStringLiteral("KonA9")}) {
        const Merged m = mergeDefault(dir.path(), report);
        EXPECT_FALSE(m.bytes.contains('#')) << report.toStdString();
        EXPECT_EQ(row(m, QStringLiteral("От кого")), sample::kOwner);
        EXPECT_EQ(row(m, QStringLiteral("Кому")), sample::kRecipient);
        EXPECT_EQ(row(m, QStringLiteral("Индекс места отправления")), QStringLiteral("170100"));
        EXPECT_EQ(row(m, QStringLiteral("Индекс места назначения")), QStringLiteral("101000"));
        EXPECT_TRUE(m.text.text.contains(QStringLiteral("Одинцовский район")));
    }
}

TEST_F(DefaultTemplates, TheirTextIsRussianAndTheirCellsHyphenateAlsoInTheMergedReport) {
    for (const QString& name : zelm::reportTemplateNames()) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray rtf = f.readAll();
        const QByteArray head = rtf.left(rtf.indexOf("{\\fonttbl"));
        EXPECT_TRUE(head.contains("\\deflang1049")) << name.toStdString();
        EXPECT_TRUE(head.contains("\\hyphauto1")) << name.toStdString();
        // Every paragraph of a table cell hyphenates, and each of its runs is Russian.
        const QList<QByteArray> paragraphs = rtf.split('\n');
        int cells = 0;
        for (const QByteArray& p : paragraphs) {
            if (!p.contains("\\intbl"))
                continue;
            ++cells;
            EXPECT_TRUE(p.contains("\\hyphpar") && !p.contains("\\hyphpar0")) << p.toStdString();
            EXPECT_EQ(p.count("{\\f"), p.count("\\lang1049")) << p.toStdString();
        }
        EXPECT_GT(cells, 3) << name.toStdString();
    }
    const Merged list = mergeDefault(dir.path(), QStringLiteral("Kniga"));
    EXPECT_TRUE(list.bytes.contains("\\hyphauto1"));
    EXPECT_EQ(list.bytes.count("\\hyphpar"), 18 * 3) << "the titles' row and two cards";
}
