// Reading the data files that the card index writes.
#include "reportf/ReportData.h"
#include "SampleData.h"
#include "reportf/ReportError.h"
#include "store/Cp1251.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm::reportf;

namespace {

ReportData parse(const QString& text) {
    return ReportData::parse(zelm::toCp1251(text), QStringLiteral("X.txt"));
}

QString parseError(const QString& text) {
    try {
        parse(text);
    } catch (const ReportError& e) {
        return e.text();
    }
    return {};
}

} // namespace

TEST(ReportData, ListOfMeasuresSplitsCardsAtTheFirstKeyAndKeepsMemoLines) {
    const ReportData d = ReportData::parse(sample::measureListFile(2), QStringLiteral("K"));
    EXPECT_EQ(d.header(QStringLiteral("wladelec")), sample::kOwner);
    ASSERT_EQ(d.recordCount(), 2);
    ASSERT_EQ(d.itemKeys().size(), 18);
    EXPECT_EQ(d.itemKeys().first(), QStringLiteral("n"));
    EXPECT_EQ(d.item(1, d.itemIndex(QStringLiteral("n"))), QStringLiteral("2"));
    // The memo runs over three physical lines, and the next item follows on the third.
    EXPECT_EQ(d.item(0, d.itemIndex(QStringLiteral("Rezultat"))),
              QStringLiteral("Итог 1 первая строка\r\nвторая строка\r\nтретья строка"));
    EXPECT_EQ(d.item(1, d.itemIndex(QStringLiteral("Prime4"))),
              QStringLiteral("Прим. {2} \\ раз\r\nдва\r\nтри"));
    EXPECT_EQ(d.item(1, d.itemIndex(QStringLiteral("Osnovan"))), QStringLiteral("Рапорт"));
    EXPECT_EQ(d.item(1, d.itemIndex(QStringLiteral("FabKUSP"))), QStringLiteral("Мошенничество"));
    EXPECT_EQ(d.item(5, 0), QString());
}

TEST(ReportData, FullCardAndEnvelopeAreHeaderLinesOnly) {
    const ReportData card = ReportData::parse(sample::fullCardFile(), QStringLiteral("P"));
    EXPECT_EQ(card.recordCount(), 0);
    // The two empty lines after the last item are not part of it.
    EXPECT_EQ(card.header(QStringLiteral("Otmetka")), QStringLiteral("ОК"));
    EXPECT_EQ(card.header(QStringLiteral("Rezultat")),
              QStringLiteral("Проверка проведена\r\nнарушений не выявлено\r\nматериалы приобщены"));
    const ReportData env = ReportData::parse(sample::envelopeFile(), QStringLiteral("E"));
    EXPECT_EQ(env.header(QStringLiteral("kPoIn")), QStringLiteral("101000"));
    EXPECT_EQ(env.header(QStringLiteral("kWladelec")), sample::kRecipient);
}

TEST(ReportData, ValuesAreTakenAsWritten) {
    const ReportData d =
        parse(QStringLiteral("|0:a:x:y|z\r\n|0:empty:\r\n|0:memo:one\r\n\r\nthree\r\n|0:b:  blanks "
                             " \r\n|0:a:later\r\n"));
    EXPECT_EQ(d.header(QStringLiteral("a")), QStringLiteral("x:y|z")); // the first one counts
    EXPECT_TRUE(d.isHeaderKey(QStringLiteral("empty")));
    EXPECT_EQ(d.header(QStringLiteral("empty")), QString());
    EXPECT_EQ(d.header(QStringLiteral("memo")), QStringLiteral("one\r\n\r\nthree"));
    EXPECT_EQ(d.header(QStringLiteral("b")), QStringLiteral("  blanks  "));
    // A lone CR (an item cut at 250 characters inside a line break) still ends the line.
    const ReportData cut = parse(QStringLiteral("|1:n:1|1:m:abc\r|1:n:2|1:m:d\r\n"));
    ASSERT_EQ(cut.recordCount(), 2);
    EXPECT_EQ(cut.item(0, 1), QStringLiteral("abc"));
    EXPECT_EQ(cut.item(1, 1), QStringLiteral("d"));
}

TEST(ReportData, EmptyListStillKnowsTheCardKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KnigaDat.txt"));
    sample::writeFile(path, sample::measureListFile(0));
    const ReportData d = ReportData::read(path);
    EXPECT_EQ(d.recordCount(), 0);
    EXPECT_TRUE(d.isItemKey(QStringLiteral("n")));
    EXPECT_TRUE(d.isItemKey(QStringLiteral("FabKUSP")));
    EXPECT_FALSE(d.isKnownKey(QStringLiteral("Nonsense")));

    const QString poln = dir.filePath(QStringLiteral("PolnDat.txt"));
    sample::writeFile(poln, "|0:wladelec:x\r\n\r\n\r\n");
    EXPECT_TRUE(ReportData::read(poln).isKnownKey(QStringLiteral("Otmetka")));
}

TEST(ReportData, DamagedFilesGiveAMessageNamingTheFile) {
    EXPECT_TRUE(parseError(QStringLiteral("garbage first\r\n|0:a:b")).contains("X.txt"));
    EXPECT_TRUE(parseError(QStringLiteral("|0:nokey\r\n")).contains("строка 1"));
    EXPECT_TRUE(parseError(QStringLiteral("|0:a:b\r\n|1::value\r\n")).contains("строка 2"));
    EXPECT_FALSE(parseError(QString::fromLatin1("|0:a:b\0\0\0", 9)).isEmpty()); // binary, not text
    EXPECT_TRUE(parseError(QStringLiteral("|0:a:b\r\n\r\n")).isEmpty());

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("NoDat.txt"));
    try {
        ReportData::read(missing);
        FAIL() << "a missing file was read";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.text().contains(missing)) << e.text().toStdString();
    }
}
