#include "output/ReportData.h"

#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/TextFiles.h"
#include "store/UnitGlo.h"

#include <algorithm>
#include <vector>

namespace zelm {
namespace {

// Cards read at a time while the list is written: bounded memory, few calls.
constexpr qint64 kBlockCards = 256;

// The stored bytes of a text field: they are Windows-1251 already.
template <int N> QByteArrayView bytes(const PStr<N>& s) {
    return QByteArrayView(s.data, s.size());
}

QByteArray ascii(const QString& s) {
    return s.toLatin1();
}

// Builds "key:value" item texts in one reused buffer and hands them to the report writers.
class Items {
public:
    explicit Items(ReportFile& file) : m_file(file) { m_text.reserve(512); }

    Items& key(const char* k) {
        m_text.resize(0);
        m_text.append(k).append(':');
        return *this;
    }
    Items& add(QByteArrayView v) {
        m_text.append(v);
        return *this;
    }
    Items& blank() {
        m_text.append(' ');
        return *this;
    }
    void item() { ReportItem(m_file, QByteArrayView(m_text)); }
    void line() { ReportLine(m_file, QByteArrayView(m_text)); }

    // Conducted by: Podrazd, DolgSotr, ZvanSotr, FIOSotr, the blanks kept where a part is empty.
    Items& conductedBy(const TAnketa& c) {
        return add(bytes(c.Podrazd))
            .blank()
            .add(bytes(c.DolgSotr))
            .blank()
            .add(bytes(c.ZvanSotr))
            .blank()
            .add(bytes(c.FIOSotr));
    }
    Items& approvedBy(const TAnketa& c) {
        return add(bytes(c.DolgnUtv)).blank().add(bytes(c.ZvanUtv)).blank().add(bytes(c.FIOUtv));
    }

private:
    ReportFile& m_file;
    QByteArray m_text;
};

void writeMeasureLine(ReportFile& file, Items& it, const TAnketa& c) {
    it.key("n").add(QByteArray::number(c.GurN)).item();
    it.key("NameOrg").add(bytes(c.NameOrg)).item();
    it.key("FormSobs").add(bytes(c.FormSobs)).item();
    it.key("adres").add(bytes(c.AdresOrg)).item();
    it.key("DM").add(ascii(ShortDate(c.DataMer))).item();
    it.key("INNOrg").add(bytes(c.INNOrg)).item();
    it.key("Rezultat").add(bytes(c.Rezultat)).item();
    it.key("Prime4").add(bytes(c.Prime4)).item();
    it.key("Osnovan").add(bytes(c.Osnovan)).item();
    it.key("DataOsn").add(ascii(ShortDate(c.DataOsn))).item();
    it.key("NomDokOsn").add(bytes(c.NomDokOsn)).item();
    it.key("Povod").add(bytes(c.Povod)).item();
    it.key("VidORM").add(bytes(c.VidORM)).item();
    it.key("ispolnitel").conductedBy(c).item();
    it.key("utverdil").approvedBy(c).item();
    it.key("DKUSP").add(ascii(ShortDate(c.DateKUSP))).item();
    it.key("NKUSP").add(bytes(c.NomKUSP)).item();
    it.key("FabKUSP").add(bytes(c.FabKUSP)).item();
    file.write(QByteArrayView("\r\n"));
}

} // namespace

void PrintFullCard(const TAnketa& c, const QString& owner, const QString& path) {
    ReportFile file(path);
    Items it(file);
    it.key("wladelec").add(toCp1251(owner)).line();
    it.key("DataMer").add(ascii(PlainDateText(c.DataMer))).line();
    it.key("INNOrg").add(bytes(c.INNOrg)).line();
    it.key("NameOrg").add(bytes(c.NameOrg)).line();
    it.key("FormSobs").add(bytes(c.FormSobs)).line();
    it.key("adres").add(bytes(c.AdresOrg)).line();
    it.key("DateKUSP").add(ascii(PlainDateText(c.DateKUSP))).line();
    it.key("NomKUSP").add(bytes(c.NomKUSP)).line();
    it.key("Povod").add(bytes(c.Povod)).line();
    it.key("VidORM").add(bytes(c.VidORM)).line();
    it.key("Osnovan").add(bytes(c.Osnovan)).line();
    it.key("DataOsn").add(ascii(PlainDateText(c.DataOsn))).line();
    it.key("NomDokOsn").add(bytes(c.NomDokOsn)).line();
    it.key("ispolnitel").conductedBy(c).line();
    it.key("utverdil").approvedBy(c).line();
    it.key("Rezultat").add(bytes(c.Rezultat)).line();
    it.key("Prime4").add(bytes(c.Prime4)).line();
    it.key("DaWrSozd").add(ascii(DateTimeText(c.DaWrSozd))).line();
    it.key("DWKorr").add(ascii(DateTimeText(c.DWKorr))).line();
    it.key("AdminFIO").add(bytes(c.AdminFIO)).line();
    it.key("GurN").add(QByteArray::number(c.GurN)).line();
    it.key("Klu4Form1").add(QByteArray::number(c.Klu4Form1)).line();
    it.key("Otmetka").add(bytes(c.Otmetka)).line();
    file.write(QByteArrayView("\r\n\r\n"));
    file.close();
}

void PrintMeasureList(const CardFile& working, const QString& owner, const QString& path) {
    ReportFile file(path);
    Items it(file);
    it.key("wladelec").add(toCp1251(owner)).line();
    const qint64 total = working.count();
    std::vector<TAnketa> block(static_cast<size_t>(std::min(total, kBlockCards)));
    for (qint64 first = 0; first < total; first += kBlockCards) {
        const qint64 n = std::min(kBlockCards, total - first);
        working.readRange(first, n, block.data());
        for (qint64 i = 0; i < n; ++i)
            writeMeasureLine(file, it, block[static_cast<size_t>(i)]);
    }
    file.write(QByteArrayView("\r\n"));
    file.close();
}

} // namespace zelm
