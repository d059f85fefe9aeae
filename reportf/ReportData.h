#pragma once
// A report data file as the card index writes it: Windows-1251, "|0:key:value" header lines,
// "|1:key:value" field items one card after another, memo values running on over further lines.
// A "|" that the card's own text holds is written doubled, so that no text a user types can
// start an item; reading turns "||" back into "|".
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace zelm::reportf {

class ReportData {
public:
    // Throws ReportError naming the file when it cannot be read or is not a data file.
    static ReportData read(const QString& path);
    // Throws ReportError with `name` in the message when the bytes are not a data file, or
    // are cut short: every data file ends with a line end, and the full card and the list of
    // measures with the empty lines their kind ends with (known from `name`).
    static ReportData parse(const QByteArray& bytes, const QString& name);

    // Keys that the card index writes for this report (from the data file's name, "KnigaDat.txt"
    // is the list of measures): they are known even when the file holds no value for them, so
    // an empty list still fills its template.
    void addExpectedKeys(const QString& dataFileName);

    bool isHeaderKey(const QString& key) const { return m_headers.contains(key); }
    bool isItemKey(const QString& key) const { return m_itemIndex.contains(key); }
    bool isKnownKey(const QString& key) const {
        return isHeaderKey(key) || isItemKey(key) || m_expected.contains(key);
    }
    QString header(const QString& key) const { return m_headers.value(key); }
    int itemIndex(const QString& key) const { return m_itemIndex.value(key, -1); }
    qsizetype recordCount() const { return m_records.size(); }
    // Empty when the record has no such item.
    QString item(qsizetype record, int index) const;
    // Whether the record has the item at all (an empty value is had), and whether any has.
    bool holds(qsizetype record, int index) const;
    bool anyHolds(int index) const { return m_held.contains(index); }
    QStringList itemKeys() const { return m_itemKeys; }
    // The size of the file it was read from.
    qint64 sourceBytes() const { return m_sourceBytes; }

private:
    void addHeader(const QString& key, const QString& value);
    void addItem(const QString& key, const QString& value);

    QHash<QString, QString> m_headers;
    QStringList m_itemKeys;
    QHash<QString, int> m_itemIndex;
    // Each card holds only the items it has, by index, in index order.
    using Record = QList<QPair<int, QString>>;
    QList<Record> m_records;
    QHash<QString, bool> m_expected;
    QHash<int, bool> m_held; // item indexes some record has
    qint64 m_sourceBytes = 0;
};

} // namespace zelm::reportf
