#include "reportf/ReportData.h"

#include "reportf/ReportError.h"
#include "store/Cp1251.h"

#include <QFile>
#include <QFileInfo>

namespace zelm::reportf {
namespace {

// A list of 100 000 cards is some 60 MB; anything far beyond is not a data file of ours.
constexpr qint64 kLargestDataFile = 256LL * 1024 * 1024;

const QByteArray kHeaderPrefix = QByteArrayLiteral("|0:");
const QByteArray kItemPrefix = QByteArrayLiteral("|1:");

QString damaged(const QString& name, int line, const QString& why) {
    return QStringLiteral("Файл данных отчёта повреждён (строка %1: %2):\n%3")
        .arg(line)
        .arg(why, name);
}

} // namespace

QString ReportData::item(qsizetype record, int index) const {
    if (record < 0 || record >= m_records.size() || index < 0)
        return {};
    const QStringList& values = m_records.at(record);
    return index < values.size() ? values.at(index) : QString();
}

void ReportData::addHeader(const QString& key, const QString& value) {
    if (!m_headers.contains(key))
        m_headers.insert(key, value);
}

void ReportData::addItem(const QString& key, const QString& value) {
    auto it = m_itemIndex.constFind(key);
    int index;
    if (it == m_itemIndex.cend()) {
        index = static_cast<int>(m_itemKeys.size());
        m_itemKeys.append(key);
        m_itemIndex.insert(key, index);
    } else {
        index = it.value();
    }
    // A card begins at the file's first item key ("n" in the list of measures).
    if (m_records.isEmpty() || index == 0)
        m_records.append(QStringList());
    QStringList& values = m_records.last();
    if (values.size() <= index)
        values.resize(index + 1);
    values[index] = value;
}

ReportData ReportData::parse(const QByteArray& bytes, const QString& name) {
    ReportData data;
    if (bytes.contains('\0'))
        throw ReportError(damaged(name, 1, QStringLiteral("в нём двоичные данные")));
    // The value that a line without a prefix continues: 0 none, 1 a header, 2 an item.
    enum { None, Header, Item } last = None;
    QString lastKey;
    QString lastValue;
    int emptyLines = 0; // blank lines are part of a memo only when more of it follows
    auto flush = [&] {
        if (last == Header)
            data.addHeader(lastKey, lastValue);
        else if (last == Item)
            data.addItem(lastKey, lastValue);
        last = None;
    };
    // Splits "key:value|1:key:value..." after an item prefix into its items.
    auto takeItems = [&](QByteArrayView rest, int lineNo) {
        while (true) {
            const qsizetype next = rest.indexOf(kItemPrefix);
            const QByteArrayView item = next < 0 ? rest : rest.first(next);
            const qsizetype colon = item.indexOf(':');
            if (colon <= 0)
                throw ReportError(damaged(name, lineNo, QStringLiteral("элемент без ключа")));
            flush();
            last = Item;
            lastKey = fromCp1251(item.data(), colon);
            lastValue = fromCp1251(item.data() + colon + 1, item.size() - colon - 1);
            if (next < 0)
                return;
            rest = rest.sliced(next + kItemPrefix.size());
        }
    };

    const char* p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    int lineNo = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && p[end] != '\r' && p[end] != '\n')
            ++end;
        const QByteArrayView line(p + start, end - start);
        ++lineNo;
        start = end + 1;
        if (end + 1 < n && p[end] == '\r' && p[end + 1] == '\n')
            start = end + 2;

        if (line.isEmpty()) {
            ++emptyLines;
            continue;
        }
        if (line.startsWith(kHeaderPrefix)) {
            const QByteArrayView rest = line.sliced(kHeaderPrefix.size());
            const qsizetype colon = rest.indexOf(':');
            if (colon <= 0)
                throw ReportError(damaged(name, lineNo, QStringLiteral("строка без ключа")));
            flush();
            last = Header;
            lastKey = fromCp1251(rest.data(), colon);
            lastValue = fromCp1251(rest.data() + colon + 1, rest.size() - colon - 1);
        } else if (line.startsWith(kItemPrefix)) {
            takeItems(line.sliced(kItemPrefix.size()), lineNo);
        } else {
            if (last == None)
                throw ReportError(
                    damaged(name, lineNo, QStringLiteral("строка не начинается с |0: или |1:")));
            // A memo runs on; in a line of items the next item may follow on the same line.
            const qsizetype next = last == Item ? line.indexOf(kItemPrefix) : -1;
            const QByteArrayView more = next < 0 ? line : line.first(next);
            for (int i = 0; i <= emptyLines; ++i)
                lastValue.append(QStringLiteral("\r\n"));
            lastValue.append(fromCp1251(more.data(), more.size()));
            if (next >= 0)
                takeItems(line.sliced(next + kItemPrefix.size()), lineNo);
        }
        emptyLines = 0;
    }
    flush();
    return data;
}

ReportData ReportData::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString why = file.exists() ? file.errorString() : QStringLiteral("файл не найден");
        throw ReportError(
            QStringLiteral("Не удалось прочитать файл данных отчёта (%1):\n%2").arg(why, path));
    }
    if (file.size() > kLargestDataFile)
        throw ReportError(QStringLiteral("Файл данных отчёта слишком велик (%1 байт):\n%2")
                              .arg(file.size())
                              .arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportError(QStringLiteral("Не удалось прочитать файл данных отчёта (%1):\n%2")
                              .arg(file.errorString(), path));
    ReportData data = parse(bytes, path);
    data.addExpectedKeys(QFileInfo(path).fileName());
    return data;
}

void ReportData::addExpectedKeys(const QString& dataFileName) {
    static const QHash<QString, QStringList> expected = {
        {QStringLiteral("poln"),
         {"wladelec",  "DataMer",    "INNOrg",   "NameOrg",   "FormSobs", "adres",
          "DateKUSP",  "NomKUSP",    "Povod",    "VidORM",    "Osnovan",  "DataOsn",
          "NomDokOsn", "ispolnitel", "utverdil", "Rezultat",  "Prime4",   "DaWrSozd",
          "DWKorr",    "AdminFIO",   "GurN",     "Klu4Form1", "Otmetka"}},
        {QStringLiteral("kniga"), {"wladelec"}},
        {QStringLiteral("kona8"),
         {"Wladelec", "Gorod", "OblKr", "UlDom", "PoIn", "kWladelec", "kDolgn", "kPredpr", "kGorod",
          "kOblKr", "kRaion", "kUlDom", "kPoIn"}},
    };
    static const QStringList listItems = {
        "n",        "NameOrg",    "FormSobs", "adres",   "DM",        "INNOrg",
        "Rezultat", "Prime4",     "Osnovan",  "DataOsn", "NomDokOsn", "Povod",
        "VidORM",   "ispolnitel", "utverdil", "DKUSP",   "NKUSP",     "FabKUSP"};
    QString report = dataFileName.toLower();
    if (!report.endsWith(QStringLiteral("dat.txt")))
        return;
    report.chop(7);
    if (report == QStringLiteral("kona9"))
        report = QStringLiteral("kona8");
    for (const QString& key : expected.value(report))
        m_expected.insert(key, true);
    // With no card in the list, the row of the list still has to be known as a card's row.
    if (report == QStringLiteral("kniga"))
        for (const QString& key : listItems)
            if (!m_itemIndex.contains(key)) {
                m_itemIndex.insert(key, static_cast<int>(m_itemKeys.size()));
                m_itemKeys.append(key);
            }
}

} // namespace zelm::reportf
