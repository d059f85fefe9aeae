#include "reportf/ReportData.h"

#include "reportf/ReportError.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"
#include "store/ReportKeys.h"

#include <QFileInfo>

#include <algorithm>

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
    const Record& values = m_records.at(record);
    const auto it =
        std::lower_bound(values.cbegin(), values.cend(), index,
                         [](const QPair<int, QString>& v, int i) { return v.first < i; });
    return it != values.cend() && it->first == index ? it->second : QString();
}

bool ReportData::holds(qsizetype record, int index) const {
    if (record < 0 || record >= m_records.size() || index < 0)
        return false;
    const Record& values = m_records.at(record);
    const auto it =
        std::lower_bound(values.cbegin(), values.cend(), index,
                         [](const QPair<int, QString>& v, int i) { return v.first < i; });
    return it != values.cend() && it->first == index;
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
        m_records.append(Record());
    Record& values = m_records.last();
    m_held.insert(index, true);
    // The card index writes each key once per card and in one order; a key written twice
    // keeps its last value, as it did.
    auto at = std::lower_bound(values.begin(), values.end(), index,
                               [](const QPair<int, QString>& v, int i) { return v.first < i; });
    if (at != values.end() && at->first == index)
        at->second = value;
    else
        values.insert(at, qMakePair(index, value));
}

namespace {

// The text of a value as the card held it: "||" was written for each "|".
QString unescaped(QByteArrayView bytes) {
    if (!bytes.contains("||"))
        return fromCp1251(bytes.data(), bytes.size());
    QByteArray plain;
    plain.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        plain.append(bytes[i]);
        if (bytes[i] == '|' && i + 1 < bytes.size() && bytes[i + 1] == '|')
            ++i;
    }
    return fromCp1251(plain.constData(), plain.size());
}

// Where the next item of a line of items starts: the first "|1:" that is not part of an
// escaped "||". -1 when there is none.
qsizetype nextItem(QByteArrayView rest) {
    for (qsizetype i = 0; i + 2 < rest.size(); ++i) {
        if (rest[i] != '|')
            continue;
        if (rest[i + 1] == '|') {
            ++i;
            continue;
        }
        if (rest[i + 1] == '1' && rest[i + 2] == ':')
            return i;
    }
    return -1;
}

// How many empty lines a data file of this name ends with.
int trailingEmptyLines(const QString& name) {
    const QString file = QFileInfo(name).fileName().toLower();
    if (file == QStringLiteral("polndat.txt"))
        return 2;
    if (file == QStringLiteral("knigadat.txt"))
        return 1;
    return 0;
}

void requireWholeFile(const QByteArray& bytes, const QString& name) {
    const auto cut = [&](const QString& why) {
        return ReportError(
            QStringLiteral("Файл данных отчёта неполон (%1). Напечатайте отчёт из программы "
                           "снова:\n%2")
                .arg(why, name));
    };
    if (bytes.isEmpty() || bytes.count('\r') + bytes.count('\n') == bytes.size())
        throw cut(QStringLiteral("он пуст"));
    if (!bytes.endsWith('\n') && !bytes.endsWith('\r'))
        throw cut(QStringLiteral("он обрывается посреди строки"));
    // Line ends at the end: each empty line adds one to the line end of the last line.
    int ends = 0;
    qsizetype i = bytes.size();
    while (i > 0 && (bytes[i - 1] == '\n' || bytes[i - 1] == '\r')) {
        if (bytes[i - 1] == '\n' && i > 1 && bytes[i - 2] == '\r')
            --i;
        --i;
        ++ends;
    }
    if (ends - 1 < trailingEmptyLines(name))
        throw cut(QStringLiteral("в конце нет пустой строки, которой он кончается"));
}

} // namespace

ReportData ReportData::parse(const QByteArray& bytes, const QString& name) {
    ReportData data;
    if (bytes.contains('\0'))
        throw ReportError(damaged(name, 1, QStringLiteral("в нём двоичные данные")));
    requireWholeFile(bytes, name);
    data.m_sourceBytes = bytes.size();
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
            const qsizetype next = nextItem(rest);
            const QByteArrayView item = next < 0 ? rest : rest.first(next);
            const qsizetype colon = item.indexOf(':');
            if (colon <= 0)
                throw ReportError(damaged(name, lineNo, QStringLiteral("элемент без ключа")));
            flush();
            last = Item;
            lastKey = fromCp1251(item.data(), colon);
            lastValue = unescaped(item.sliced(colon + 1));
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
            lastValue = unescaped(rest.sliced(colon + 1));
        } else if (line.startsWith(kItemPrefix)) {
            takeItems(line.sliced(kItemPrefix.size()), lineNo);
        } else {
            if (last == None)
                throw ReportError(
                    damaged(name, lineNo, QStringLiteral("строка не начинается с |0: или |1:")));
            // A memo runs on; in a line of items the next item may follow on the same line.
            const qsizetype next = last == Item ? nextItem(line) : -1;
            const QByteArrayView more = next < 0 ? line : line.first(next);
            for (int i = 0; i <= emptyLines; ++i)
                lastValue.append(QStringLiteral("\r\n"));
            lastValue.append(unescaped(more));
            if (next >= 0)
                takeItems(line.sliced(next + kItemPrefix.size()), lineNo);
        }
        emptyLines = 0;
    }
    flush();
    return data;
}

ReportData ReportData::read(const QString& path) {
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, kLargestDataFile);
    } catch (const FileError& e) {
        throw ReportError(QStringLiteral("Не удалось прочитать файл данных отчёта (%1):\n%2")
                              .arg(e.message(), path));
    }
    ReportData data = parse(bytes, path);
    data.addExpectedKeys(QFileInfo(path).fileName());
    return data;
}

namespace {

template <size_t N> QStringList keyList(const std::array<reportkeys::Keys, N>& keys) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(N));
    for (const reportkeys::Keys key : keys)
        list.append(reportkeys::text(key));
    return list;
}

// The items of a row of the statistics: every column a template may have, not only those a
// count fills.
QStringList statItems() {
    using namespace reportkeys;
    QStringList items = {QString(text(kStatName)), QString(text(kStatHeading)),
                         QString(text(kStatLine)), QString(text(kStatTotals))};
    for (int k = 1; k <= kStatColumns; ++k)
        items.append(QString(text(kStatColumnPrefix)) + QString::number(k));
    items << QString(text(kStatBlockTotal)) << QString(text(kStatPeriodTotal));
    return items;
}

} // namespace

void ReportData::addExpectedKeys(const QString& dataFileName) {
    static const QHash<QString, QStringList> expected = {
        {QStringLiteral("poln"), keyList(reportkeys::kFullCard)},
        {QStringLiteral("kniga"), keyList(reportkeys::kMeasureListHead)},
        {QStringLiteral("stat"), keyList(reportkeys::kStatHead)},
        {QStringLiteral("kona8"), keyList(reportkeys::kEnvelope)},
    };
    static const QStringList listItems = keyList(reportkeys::kMeasureRow);
    static const QStringList statRowItems = statItems();
    QString report = dataFileName.toLower();
    if (!report.endsWith(QStringLiteral("dat.txt")))
        return;
    report.chop(7);
    if (report == QStringLiteral("kona9"))
        report = QStringLiteral("kona8");
    for (const QString& key : expected.value(report))
        m_expected.insert(key, true);
    // With no card in the list, the row of the list still has to be known as a card's row; the
    // statistics name only the columns a count has, and the template's others are left out
    // rather than printed as "#k7#".
    if (report == QStringLiteral("kniga") || report == QStringLiteral("stat"))
        for (const QString& key : report == QStringLiteral("stat") ? statRowItems : listItems)
            if (!m_itemIndex.contains(key)) {
                m_itemIndex.insert(key, static_cast<int>(m_itemKeys.size()));
                m_itemKeys.append(key);
            }
}

} // namespace zelm::reportf
