#include "store/Records.h"
#include "store/Cp1251.h"
#include "store/DayCount.h"

#include <gtest/gtest.h>

using namespace zelm;

TEST(Records, CardFieldsLandAtTheirOffsetsInWindows1251) {
    TAnketa a = TAnketa::zeroed();
    a.Klu4Form1 = 0x01020304;
    a.GurN = 7;
    a.NameOrg.set(QStringLiteral("ООО «Ёлка»"));
    a.DataMer = 46096.0;
    const auto* b = reinterpret_cast<const unsigned char*>(&a);
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b[3], 0x01);
    EXPECT_EQ(b[52], 7);
    EXPECT_EQ(b[141], 10);   // length byte
    EXPECT_EQ(b[142], 0xCE); // О
    EXPECT_EQ(b[146], 0xAB); // «
    EXPECT_EQ(b[147], 0xA8); // Ё
    double d;
    memcpy(&d, b + 56, 8);
    EXPECT_EQ(d, 46096.0);
}

TEST(Records, TextIsCutToCapacityAndDamagedLengthIsClamped) {
    TAnketa a = TAnketa::zeroed();
    a.NomDokOsn.set(QString(40, QLatin1Char('7')));
    EXPECT_EQ(a.NomDokOsn.len, 30);
    EXPECT_EQ(a.NomDokOsn.text(), QString(30, QLatin1Char('7')));
    a.Otmetka.len = 200; // damaged
    a.Otmetka.data[0] = 'x';
    a.Otmetka.data[1] = 'y';
    EXPECT_EQ(a.Otmetka.text(), QStringLiteral("xy"));
}

TEST(Records, MemoLinesAreStoredWithCrLf) {
    TAnketa a = TAnketa::zeroed();
    a.Rezultat.set(memoToStored(QStringLiteral("ab\ncd")));
    EXPECT_EQ(a.Rezultat.len, 6);
    EXPECT_EQ(QByteArray(a.Rezultat.data, 6), QByteArray("ab\r\ncd"));
    EXPECT_EQ(storedToMemo(a.Rezultat.text()), QStringLiteral("ab\ncd"));
}

TEST(Records, AccessRowLayout) {
    TDostup d = TDostup::zeroed();
    d.Kod.set(QStringLiteral("01"));
    d.FIO.set(QStringLiteral("Администратор"));
    d.Parol.set(QStringLiteral("5802149")); // cut to 6
    d.Dostup.set(QStringLiteral("ZW"));
    const auto* b = reinterpret_cast<const unsigned char*>(&d);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[16], 13);
    EXPECT_EQ(b[37], 6);
    EXPECT_EQ(b[44], 1);
    EXPECT_EQ(b[45], 'Z');
}

TEST(Cp1251, RoundTripsEveryByteAndMarksTheUnencodable) {
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(toCp1251(fromCp1251(all)), all);
    EXPECT_EQ(toCp1251(QStringLiteral("ёЁ№€")), QByteArray("\xB8\xA8\xB9\x88"));
    EXPECT_EQ(toCp1251(QStringLiteral("中a😀")), QByteArray("?a?"));
}

TEST(Records, ATextEndsAtItsFirstNulWhateverItsLengthByteSays) {
    TAnketa a = TAnketa::zeroed();
    a.NameOrg.set(QStringLiteral("ООО Ромашка"));
    a.NameOrg.len = 100; // a damaged card: the length claims the padding
    EXPECT_EQ(a.NameOrg.text(), QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(a.NameOrg.size(), 11);
    a.Otmetka.len = 2; // a mark of two NULs is empty
    EXPECT_TRUE(a.Otmetka.text().isEmpty());
    a.Prime4.len = 255; // past the capacity and without a NUL: the whole capacity
    std::memset(a.Prime4.data, 'x', 250);
    EXPECT_EQ(a.Prime4.text(), QString(250, 'x'));
    a.AdminFIO.set(QStringLiteral("Иванов"));
    a.AdminFIO.data[2] = '\0'; // a NUL inside the stated length ends the text there
    EXPECT_EQ(a.AdminFIO.text(), QStringLiteral("Ив"));
}
