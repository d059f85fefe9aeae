#pragma once
// A report data file as the card index writes it: Windows-1251, "|0:key:value" header lines,
// "|1:key:value" field items one card after another, memo values running on over further lines.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace zelm::reportf {

class ReportData {
public:
    // Throws ReportError naming the file when it cannot be read or is not a data file.
    static ReportData read(const QString& path);
    // Throws ReportError with `name` in the message when the bytes are not a data file.
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
    QStringList itemKeys() const { return m_itemKeys; }

private:
    void addHeader(const QString& key, const QString& value);
    void addItem(const QString& key, const QString& value);

    QHash<QString, QString> m_headers;
    QStringList m_itemKeys;
    QHash<QString, int> m_itemIndex;
    QList<QStringList> m_records;
    QHash<QString, bool> m_expected;
};

} // namespace zelm::reportf
