// The search conditions without windows: the byte-level matcher against the QString meaning,
// and the block scans over card files.
#include "common/CardFactory.h"
#include "search/CardMatcher.h"
#include "search/CardScan.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

namespace {

SearchConditions everything() {
    SearchConditions c;
    c.dataMer = {toDayCount(QDate(1901, 1, 1)), toDayCount(QDate(2030, 1, 1))};
    c.dateKusp = c.dataMer;
    c.dataOsn = c.dataMer;
    return c;
}

SearchConditions withText(SearchField f, const QString& text) {
    SearchConditions c = everything();
    c.text(f) = text;
    return c;
}

} // namespace

TEST(SearchEngine, LowerCaseTableAgreesWithUnicodeForEveryByte) {
    const auto& lower = cp1251LowerTable();
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const char low = static_cast<char>(lower[static_cast<size_t>(b)]);
        EXPECT_EQ(fromCp1251(&low, 1), fromCp1251(&byte, 1).toLower()) << "byte " << b;
    }
    EXPECT_EQ(lower[0xA8], 0xB8); // Ё -> ё
    EXPECT_EQ(lower[0xC0], 0xE0); // А -> а
}

TEST(SearchEngine, ContainsIgnoresCaseInCyrillicAndKeepsInnerBlanks) {
    TAnketa card = makeCard(5); // ООО «Ёлка и Ко» №5
    card.FIOSotr.set(QStringLiteral("Ёлкин Фёдор Фомич"));
    struct Case {
        SearchField field;
        QString text;
        bool found;
    } cases[] = {
        {SearchField::NameOrg, QStringLiteral("ЁЛКА"), true},
        {SearchField::NameOrg, QStringLiteral("ёлка"), true},
        {SearchField::NameOrg, QStringLiteral("елка"), false}, // е and ё are different letters
        {SearchField::FIOSotr, QStringLiteral("ЛКИН ф"), true},
        {SearchField::FIOSotr, QStringLiteral("  фёдор  "), true}, // blanks at the ends dropped
        {SearchField::NameOrg, QStringLiteral("и  ко"), false},    // blanks inside count
        {SearchField::NameOrg, QStringLiteral("и ко"), true},
        {SearchField::NameOrg, QStringLiteral("   "), true}, // blanks only: no condition
        {SearchField::NameOrg, QStringLiteral("ооо «ёлка"), true},
        {SearchField::NomKUSP, QStringLiteral("1005"), true},
        {SearchField::Rezultat, QStringLiteral("мероприятие.\r\nматериалы"), true},
        {SearchField::Prime4, QStringLiteral("замечаний!"), false},
        {SearchField::DolgnUtv, QStringLiteral("НАЧАЛЬНИК"), true},
        {SearchField::FIOUtv, QStringLiteral("ким"), true},
        {SearchField::NameOrg, QStringLiteral("你"), false}, // not in the code page
    };
    for (const Case& c : cases) {
        SearchConditions conditions = withText(c.field, c.text);
        EXPECT_EQ(cardMatches(card, conditions), c.found) << c.text.toStdString();
        EXPECT_EQ(CardMatcher(conditions).matches(card), c.found) << c.text.toStdString();
    }
}

TEST(SearchEngine, DateRangesCompareWholeDaysWithBothEndsIncluded) {
    TAnketa card = makeCard(1);
    const double day = toDayCount(QDate(2025, 3, 10));
    card.DataMer = day + 0.75; // a time of day never pushes a date out of its range
    card.DateKUSP = day;
    card.DataOsn = day;
    auto found = [&](DayRange mer, DayRange kusp, DayRange osn) {
        SearchConditions c = everything();
        c.dataMer = mer;
        c.dateKusp = kusp;
        c.dataOsn = osn;
        const bool slow = cardMatches(card, c);
        EXPECT_EQ(CardMatcher(c).matches(card), slow);
        return slow;
    };
    const DayRange wide = everything().dataMer;
    EXPECT_TRUE(found({day, day}, wide, wide));
    EXPECT_TRUE(found(wide, {day, day + 5}, wide));
    EXPECT_TRUE(found(wide, wide, {day - 5, day}));
    EXPECT_FALSE(found({day + 1, day + 5}, wide, wide));
    EXPECT_FALSE(found(wide, {day - 5, day - 1}, wide));
    EXPECT_FALSE(found(wide, wide, {day + 1, day + 1}));
}

TEST(SearchEngine, ByteMatcherAgreesWithTheDefinitionOverManyCards) {
    std::vector<TAnketa> cards = makeCards(300);
    cards[7].NameOrg.len = 250; // a damaged length byte reads as the field's capacity
    cards[8].FIOSotr.set(QStringLiteral("ЁЖИК Ё.Ё."));
    // Fields full to the last byte, a word at their very end and far past the first sixteen.
    for (TAnketa* c : {&cards[9], &cards[10]}) {
        c->Prime4.set(QString(229, QChar(u'я')) + QStringLiteral(" КОНЕЦ ПОЛЯ «Ёлка»"));
        c->NameOrg.set(QString(80, QChar(u'О')) + QStringLiteral(" Ёлка и ёлка-палка"));
    }
    cards[10].NameOrg.len = 99; // one byte short: the word is cut
    const QString probes[] = {
        QStringLiteral("ёл"), QStringLiteral("ЁЛК"), QStringLiteral("«"), QStringLiteral("трейд »"),
        QStringLiteral("№1"), QStringLiteral("ИП П"), QStringLiteral("a"), QStringLiteral("Ё.Ё"),
        QStringLiteral("д. 29"), QStringLiteral("ПРОВЕРОЧНАЯ"), QStringLiteral("\t"),
        QStringLiteral("ооо «рыбная артель» №1"),
        // Needles that repeat themselves, where a search that skips ahead
        // is easiest to get wrong.
        QStringLiteral("оо"), QStringLiteral("ОО «"), QStringLiteral("ёё"), QStringLiteral("о о"),
        QStringLiteral("конец поля «ёлка»"), QStringLiteral("ёлка-палка"), QStringLiteral("я к"),
        QStringLiteral("»"), QStringLiteral("ооооооооооооооооо ")};
    for (int f = 0; f < kSearchFieldCount; ++f) {
        for (const QString& probe : probes) {
            SearchConditions c = withText(static_cast<SearchField>(f), probe);
            CardMatcher matcher(c);
            for (const TAnketa& card : cards)
                ASSERT_EQ(matcher.matches(card), cardMatches(card, c))
                    << f << " " << probe.toStdString() << " " << card.Klu4Form1;
        }
    }
}

TEST(SearchEngine, ScansReadOnlyWholeRecordsInBothDirections) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Anketi.dat"));
    std::vector<TAnketa> cards = makeCards(5000); // more than one block
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(cards.data()),
                static_cast<qint64>(cards.size() * sizeof(TAnketa)));
        // A damaged tail: part of a card that itself would match.
        f.write(reinterpret_cast<const char*>(&cards[4999]), 1000);
    }
    CardFile main;
    main.open(path, sizeof(TAnketa));
    main.seek(17);
    const CardMatcher matcher(withText(SearchField::NameOrg, QStringLiteral("ЁЛКА")));

    auto forward = findForward(main, matcher, 0);
    ASSERT_TRUE(forward);
    EXPECT_EQ(forward->index, 5);
    EXPECT_EQ(findForward(main, matcher, 6)->index, 11);
    EXPECT_FALSE(findForward(main, matcher, 4998).has_value());
    auto backward = findBackward(main, matcher, main.count() - 1);
    ASSERT_TRUE(backward);
    EXPECT_EQ(backward->index, 4997);
    EXPECT_EQ(backward->card.Klu4Form1, cards[4997].Klu4Form1);
    EXPECT_FALSE(findBackward(main, matcher, 4).has_value());
    EXPECT_EQ(findUniqueNumber(main, cards[4321].Klu4Form1), 4321);
    EXPECT_EQ(findUniqueNumber(main, 12345), -1);

    CardFile working;
    working.create(dir.filePath(QStringLiteral("RabAnket.dat")), sizeof(TAnketa));
    EXPECT_EQ(appendAllMatches(main, matcher, working), 833);
    std::vector<TAnketa> copied = working.readAll<TAnketa>();
    ASSERT_EQ(copied.size(), 833u);
    for (size_t k = 0; k < copied.size(); ++k)
        ASSERT_EQ(std::memcmp(&copied[k], &cards[5 + 6 * k], sizeof(TAnketa)), 0) << k;
    EXPECT_EQ(main.position(), 17); // the scans never move the file's position
}
