#include "output/ReportData.h"

#include "store/CardFile.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

#include <vector>

namespace zelm {
namespace {

const QLatin1Char kBlank(' ');
const QString kLineEnd = QStringLiteral("\r\n");

// A key and its value as one item text: "key:value".
QString item(const char* key, const QString& value) {
    return QLatin1String(key) + QLatin1Char(':') + value;
}

// Cards read at a time while the list is written: bounded memory, few calls.
constexpr qint64 kBlockCards = 256;

void writeMeasureLine(ReportFile& file, const TAnketa& c) {
    ReportItem(file, item("n", QString::number(c.GurN)));
    ReportItem(file, item("NameOrg", c.NameOrg.text()));
    ReportItem(file, item("FormSobs", c.FormSobs.text()));
    ReportItem(file, item("adres", c.AdresOrg.text()));
    ReportItem(file, item("DM", ShortDate(c.DataMer)));
    ReportItem(file, item("INNOrg", c.INNOrg.text()));
    ReportItem(file, item("Rezultat", c.Rezultat.text()));
    ReportItem(file, item("Prime4", c.Prime4.text()));
    ReportItem(file, item("Osnovan", c.Osnovan.text()));
    ReportItem(file, item("DataOsn", ShortDate(c.DataOsn)));
    ReportItem(file, item("NomDokOsn", c.NomDokOsn.text()));
    ReportItem(file, item("Povod", c.Povod.text()));
    ReportItem(file, item("VidORM", c.VidORM.text()));
    ReportItem(file, item("ispolnitel", conductedBy(c)));
    ReportItem(file, item("utverdil", approvedBy(c)));
    ReportItem(file, item("DKUSP", ShortDate(c.DateKUSP)));
    ReportItem(file, item("NKUSP", c.NomKUSP.text()));
    ReportItem(file, item("FabKUSP", c.FabKUSP.text()));
    file.write(kLineEnd);
}

} // namespace

QString conductedBy(const TAnketa& c) {
    return c.Podrazd.text() + kBlank + c.DolgSotr.text() + kBlank + c.ZvanSotr.text() + kBlank +
           c.FIOSotr.text();
}

QString approvedBy(const TAnketa& c) {
    return c.DolgnUtv.text() + kBlank + c.ZvanUtv.text() + kBlank + c.FIOUtv.text();
}

void PrintFullCard(const TAnketa& c, const QString& owner, const QString& path) {
    ReportFile file(path);
    ReportLine(file, item("wladelec", owner));
    ReportLine(file, item("DataMer", PlainDateText(c.DataMer)));
    ReportLine(file, item("INNOrg", c.INNOrg.text()));
    ReportLine(file, item("NameOrg", c.NameOrg.text()));
    ReportLine(file, item("FormSobs", c.FormSobs.text()));
    ReportLine(file, item("adres", c.AdresOrg.text()));
    ReportLine(file, item("DateKUSP", PlainDateText(c.DateKUSP)));
    ReportLine(file, item("NomKUSP", c.NomKUSP.text()));
    ReportLine(file, item("Povod", c.Povod.text()));
    ReportLine(file, item("VidORM", c.VidORM.text()));
    ReportLine(file, item("Osnovan", c.Osnovan.text()));
    ReportLine(file, item("DataOsn", PlainDateText(c.DataOsn)));
    ReportLine(file, item("NomDokOsn", c.NomDokOsn.text()));
    ReportLine(file, item("ispolnitel", conductedBy(c)));
    ReportLine(file, item("utverdil", approvedBy(c)));
    ReportLine(file, item("Rezultat", c.Rezultat.text()));
    ReportLine(file, item("Prime4", c.Prime4.text()));
    ReportLine(file, item("DaWrSozd", DateTimeText(c.DaWrSozd)));
    ReportLine(file, item("DWKorr", DateTimeText(c.DWKorr)));
    ReportLine(file, item("AdminFIO", c.AdminFIO.text()));
    ReportLine(file, item("GurN", QString::number(c.GurN)));
    ReportLine(file, item("Klu4Form1", QString::number(c.Klu4Form1)));
    ReportLine(file, item("Otmetka", c.Otmetka.text()));
    file.write(kLineEnd + kLineEnd);
    file.close();
}

void PrintMeasureList(const CardFile& working, const QString& owner, const QString& path) {
    ReportFile file(path);
    ReportLine(file, item("wladelec", owner));
    const qint64 total = working.count();
    std::vector<TAnketa> block(static_cast<size_t>(std::min(total, kBlockCards)));
    for (qint64 first = 0; first < total; first += kBlockCards) {
        const qint64 n = std::min(kBlockCards, total - first);
        working.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            writeMeasureLine(file, block[static_cast<size_t>(i)]);
    }
    file.write(kLineEnd);
    file.close();
}

} // namespace zelm
