// The bytes of the full-card and list-of-measures data files, and how they are replaced.
#include "PrintFixture.h"

#include "common/CardFactory.h"
#include "output/ReportData.h"
#include "store/CardFile.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/TextFiles.h"

#include <QDateTime>
#include <vector>

using namespace zelm;
using namespace zelm::testing;

namespace {

const QString kOwner = QStringLiteral("Иванов Иван Иванович");

double day(int y, int m, int d, int hh = 0, int mm = 0) {
    return toDayCount(QDateTime(QDate(y, m, d), QTime(hh, mm)));
}

TAnketa shownCard() {
    TAnketa c = TAnketa::zeroed();
    c.Klu4Form1 = 636250000;
    c.GurN = 17;
    c.AdminFIO.set(QStringLiteral("Петров П.П."));
    c.DaWrSozd = day(2026, 12, 6, 9, 5);
    c.DWKorr = day(2026, 12, 7, 18, 30);
    c.Otmetka.set(QStringLiteral("Д"));
    c.DataMer = day(2026, 12, 6);
    c.INNOrg.set(QStringLiteral("6501012345"));
    c.NomKUSP.set(QStringLiteral("1234"));
    c.DateKUSP = day(2026, 12, 1);
    c.FabKUSP.set(QStringLiteral("ст. 159"));
    c.NameOrg.set(QStringLiteral("ООО «Ёлка»"));
    c.FormSobs.set(QStringLiteral("частная"));
    c.AdresOrg.set(QStringLiteral("г. Южно-Сахалинск, ул. Ленина, 1"));
    c.Povod.set(QStringLiteral("Заявление"));
    c.VidORM.set(QStringLiteral("Опрос"));
    c.Osnovan.set(QStringLiteral("Постановление"));
    c.DataOsn = day(2026, 11, 30);
    c.NomDokOsn.set(QStringLiteral("12/дсп"));
    c.Podrazd.set(QStringLiteral("ОЭБиПК"));
    c.DolgSotr.set(QStringLiteral("оперуполномоченный"));
    c.ZvanSotr.set(QStringLiteral("капитан"));
    c.FIOSotr.set(QStringLiteral("Ким Е.В."));
    c.DolgnUtv.set(QStringLiteral("начальник"));
    c.ZvanUtv.set(QStringLiteral("майор"));
    c.FIOUtv.set(QStringLiteral("Смирнова А.Н."));
    c.Rezultat.set(QStringLiteral("Первая строка\r\nВторая строка\r\nТретья строка"));
    c.Prime4.set(QStringLiteral("Без замечаний"));
    return c;
}

// A card whose memos fill their 250 characters and whose conducted-by fields are empty.
TAnketa fullMemoCard() {
    TAnketa c = shownCard();
    c.GurN = 18;
    c.Podrazd.clear();
    c.DolgSotr.clear();
    c.ZvanSotr.clear();
    c.FIOSotr.clear();
    c.Rezultat.set(QString(250, QChar(u'ж')));
    c.Prime4.set(QString(250, QChar(u'п')));
    return c;
}

class ReportData : public PrintFixture {
protected:
    // A Working card file holding `cards`, open as the card window holds it.
    void openWorking(const std::vector<TAnketa>& cards) {
        const QString path = inst.path("Temp/RabAnket.dat");
        QDir().mkpath(inst.path("Temp"));
        working.create(path, sizeof(TAnketa));
        if (!cards.empty())
            working.appendMany(cards.data(), static_cast<qint64>(cards.size()));
        working.seek(0);
    }
    CardFile working;
};

} // namespace

TEST_F(ReportData, FullCardIsTwentyThreeHeaderLinesAndTwoEmptyLines) {
    PrintFullCard(shownCard(), kOwner, launcher.dataFile("Poln"));
    EXPECT_EQ(readReport("PolnDat.txt"),
              crlf(QStringLiteral("|0:wladelec:Иванов Иван Иванович\n"
                                  "|0:DataMer:06.12.2026\n"
                                  "|0:INNOrg:6501012345\n"
                                  "|0:NameOrg:ООО «Ёлка»\n"
                                  "|0:FormSobs:частная\n"
                                  "|0:adres:г. Южно-Сахалинск, ул. Ленина, 1\n"
                                  "|0:DateKUSP:01.12.2026\n"
                                  "|0:NomKUSP:1234\n"
                                  "|0:Povod:Заявление\n"
                                  "|0:VidORM:Опрос\n"
                                  "|0:Osnovan:Постановление\n"
                                  "|0:DataOsn:30.11.2026\n"
                                  "|0:NomDokOsn:12/дсп\n"
                                  "|0:ispolnitel:ОЭБиПК оперуполномоченный капитан Ким Е.В.\n"
                                  "|0:utverdil:начальник майор Смирнова А.Н.\n"
                                  "|0:Rezultat:Первая строка\n"
                                  "Вторая строка\n"
                                  "Третья строка\n"
                                  "|0:Prime4:Без замечаний\n"
                                  "|0:DaWrSozd:06.12.26 09:05\n"
                                  "|0:DWKorr:07.12.26 18:30\n"
                                  "|0:AdminFIO:Петров П.П.\n"
                                  "|0:GurN:17\n"
                                  "|0:Klu4Form1:636250000\n"
                                  "|0:Otmetka:Д\n"
                                  "\n"
                                  "\n")));
    // Windows-1251 on disk: "Д" is one byte.
    EXPECT_TRUE(readReport("PolnDat.txt").endsWith("|0:Otmetka:\xC4\r\n\r\n\r\n"));

    // Full memos are cut with their prefix to 250 characters; empty conducted-by parts leave
    // their three blanks.
    PrintFullCard(fullMemoCard(), kOwner, launcher.dataFile("Poln"));
    const QByteArray bytes = readReport("PolnDat.txt");
    EXPECT_TRUE(bytes.contains(crlf(QStringLiteral("\n|0:ispolnitel:   \n"))));
    EXPECT_TRUE(bytes.contains(
        crlf(QStringLiteral("\n|0:Rezultat:") + QString(238, QChar(u'ж')) + QStringLiteral("\n"))));
    EXPECT_TRUE(bytes.contains(
        crlf(QStringLiteral("\n|0:Prime4:") + QString(240, QChar(u'п')) + QStringLiteral("\n"))));
}

TEST_F(ReportData, MeasureListIsOwnerLineOneLinePerCardAndAnEmptyLine) {
    openWorking({shownCard(), fullMemoCard()});
    PrintMeasureList(working, kOwner, launcher.dataFile("Kniga"));

    const QString first = QStringLiteral(
        "|1:n:17|1:NameOrg:ООО «Ёлка»|1:FormSobs:частная|1:adres:г. Южно-Сахалинск, ул. Ленина, 1"
        "|1:DM:06.12.26|1:INNOrg:6501012345"
        "|1:Rezultat:Первая строка\nВторая строка\nТретья строка|1:Prime4:Без замечаний"
        "|1:Osnovan:Постановление|1:DataOsn:30.11.26|1:NomDokOsn:12/дсп|1:Povod:Заявление"
        "|1:VidORM:Опрос|1:ispolnitel:ОЭБиПК оперуполномоченный капитан Ким Е.В."
        "|1:utverdil:начальник майор Смирнова А.Н.|1:DKUSP:01.12.26|1:NKUSP:1234"
        "|1:FabKUSP:ст. 159\n");
    const QString second =
        QStringLiteral("|1:n:18|1:NameOrg:ООО «Ёлка»|1:FormSobs:частная"
                       "|1:adres:г. Южно-Сахалинск, ул. Ленина, 1|1:DM:06.12.26|1:INNOrg:6501012345"
                       "|1:Rezultat:") +
        QString(238, QChar(u'ж')) + QStringLiteral("|1:Prime4:") + QString(240, QChar(u'п')) +
        QStringLiteral("|1:Osnovan:Постановление|1:DataOsn:30.11.26|1:NomDokOsn:12/дсп"
                       "|1:Povod:Заявление|1:VidORM:Опрос|1:ispolnitel:   "
                       "|1:utverdil:начальник майор Смирнова А.Н.|1:DKUSP:01.12.26|1:NKUSP:1234"
                       "|1:FabKUSP:ст. 159\n");
    EXPECT_EQ(readReport("KnigaDat.txt"),
              crlf(QStringLiteral("|0:wladelec:Иванов Иван Иванович\n") + first + second +
                   QStringLiteral("\n")));
    EXPECT_EQ(working.position(), 0); // the Working card file is read without moving it
}

TEST_F(ReportData, EmptyWorkingFileGivesOwnerLineAndEmptyLine) {
    openWorking({});
    PrintMeasureList(working, kOwner, launcher.dataFile("Kniga"));
    EXPECT_EQ(readReport("KnigaDat.txt"),
              crlf(QStringLiteral("|0:wladelec:Иванов Иван Иванович\n\n")));
}

TEST_F(ReportData, ManyCardsAreWrittenInFileOrderAcrossReadBlocks) {
    const int n = 1000;
    openWorking(makeCards(n));
    PrintMeasureList(working, kOwner, launcher.dataFile("Kniga"));
    const QByteArray bytes = readReport("KnigaDat.txt");
    // Every card starts a line with its running number, in order.
    qsizetype at = 0;
    for (int i = 0; i < n; ++i) {
        const QByteArray start = "\r\n|1:n:" + QByteArray::number(i + 1) + "|1:NameOrg:";
        at = bytes.indexOf(start, at);
        ASSERT_GE(at, 0) << "card " << i;
    }
    EXPECT_EQ(bytes.count("|1:FabKUSP:"), n);
    EXPECT_TRUE(bytes.endsWith(toCp1251(makeCard(n - 1).FabKUSP.text()) + "\r\n\r\n"));
}

TEST_F(ReportData, AnUnfinishedDataFileNeverReplacesTheOldOne) {
    PrintFullCard(shownCard(), kOwner, launcher.dataFile("Poln"));
    const QByteArray before = readReport("PolnDat.txt");
    {
        ReportFile file(launcher.dataFile("Poln"));
        file.write(QStringLiteral("|0:wladelec:half"));
        // While it is being written, a reader still finds the whole old file.
        EXPECT_EQ(readReport("PolnDat.txt"), before);
    } // dropped without close(): a failed writer
    EXPECT_EQ(readReport("PolnDat.txt"), before);
    EXPECT_EQ(QDir(inst.path("report")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"PolnDat.txt", "reportf"}));

    // A report folder that is missing is an error naming the file.
    QDir(inst.path("report")).removeRecursively();
    try {
        PrintFullCard(shownCard(), kOwner, launcher.dataFile("Poln"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.fileName(), launcher.dataFile("Poln"));
        EXPECT_FALSE(e.message().isEmpty());
    }
}
