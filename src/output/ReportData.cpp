#include "output/ReportData.h"

#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/ReportKeys.h"
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

QByteArray conductedBy(const TAnketa& c) {
    // Podrazd, DolgSotr, ZvanSotr, FIOSotr, the blanks kept where a part is empty.
    return bytes(c.Podrazd).toByteArray() + ' ' + bytes(c.DolgSotr).toByteArray() + ' ' +
           bytes(c.ZvanSotr).toByteArray() + ' ' + bytes(c.FIOSotr).toByteArray();
}

QByteArray approvedBy(const TAnketa& c) {
    return bytes(c.DolgnUtv).toByteArray() + ' ' + bytes(c.ZvanUtv).toByteArray() + ' ' +
           bytes(c.FIOUtv).toByteArray();
}

// Writes "key:value" texts, the keys taken in their file's order, in one reused buffer.
class Items {
public:
    explicit Items(ReportFile& file) : m_file(file) { m_text.reserve(512); }

    template <size_t N>
    void items(const std::array<reportkeys::Keys, N>& keys, const QByteArrayView (&values)[N]) {
        for (size_t i = 0; i < N; ++i)
            ReportItem(m_file, text(keys[i], values[i]));
    }
    template <size_t N>
    void lines(const std::array<reportkeys::Keys, N>& keys, const QByteArrayView (&values)[N]) {
        for (size_t i = 0; i < N; ++i)
            ReportLine(m_file, text(keys[i], values[i]));
    }

private:
    QByteArrayView text(reportkeys::Keys key, QByteArrayView value) {
        m_text.resize(0);
        m_text.append(QByteArrayView(key.data(), static_cast<qsizetype>(key.size())))
            .append(':')
            .append(value);
        return m_text;
    }

    ReportFile& m_file;
    QByteArray m_text;
};

void writeMeasureLine(ReportFile& file, Items& it, const TAnketa& c) {
    const QByteArray n = QByteArray::number(c.GurN), dm = ascii(ShortDate(c.DataMer)),
                     dataOsn = ascii(ShortDate(c.DataOsn)), by = conductedBy(c),
                     approved = approvedBy(c), dkusp = ascii(ShortDate(c.DateKUSP));
    it.items(reportkeys::kMeasureRow,
             {n, bytes(c.NameOrg), bytes(c.FormSobs), bytes(c.AdresOrg), dm, bytes(c.INNOrg),
              bytes(c.Rezultat), bytes(c.Prime4), bytes(c.Osnovan), dataOsn, bytes(c.NomDokOsn),
              bytes(c.Povod), bytes(c.VidORM), by, approved, dkusp, bytes(c.NomKUSP),
              bytes(c.FabKUSP)});
    file.write(QByteArrayView("\r\n"));
}

} // namespace

void PrintFullCard(const TAnketa& c, const QString& owner, const QString& path) {
    ReportFile file(path);
    Items it(file);
    const QByteArray wladelec = toCp1251(owner), dataMer = ascii(PlainDateText(c.DataMer)),
                     dateKusp = ascii(PlainDateText(c.DateKUSP)),
                     dataOsn = ascii(PlainDateText(c.DataOsn)), by = conductedBy(c),
                     approved = approvedBy(c), created = ascii(DateTimeText(c.DaWrSozd)),
                     changed = ascii(DateTimeText(c.DWKorr)), gurN = QByteArray::number(c.GurN),
                     number = QByteArray::number(c.Klu4Form1);
    it.lines(reportkeys::kFullCard, {wladelec,
                                     dataMer,
                                     bytes(c.INNOrg),
                                     bytes(c.NameOrg),
                                     bytes(c.FormSobs),
                                     bytes(c.AdresOrg),
                                     dateKusp,
                                     bytes(c.NomKUSP),
                                     bytes(c.Povod),
                                     bytes(c.VidORM),
                                     bytes(c.Osnovan),
                                     dataOsn,
                                     bytes(c.NomDokOsn),
                                     by,
                                     approved,
                                     bytes(c.Rezultat),
                                     bytes(c.Prime4),
                                     created,
                                     changed,
                                     bytes(c.AdminFIO),
                                     gurN,
                                     number,
                                     bytes(c.Otmetka)});
    file.write(QByteArrayView("\r\n\r\n"));
    file.close();
}

void PrintMeasureList(const CardFile& working, const QString& owner, const QString& path) {
    ReportFile file(path);
    Items it(file);
    it.lines(reportkeys::kMeasureListHead, {toCp1251(owner)});
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
