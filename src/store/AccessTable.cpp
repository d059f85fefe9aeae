#include "store/AccessTable.h"

#include "store/CardFile.h"
#include "store/Records.h"

#include <QFileInfo>
#include <cstring>
#include <vector>

namespace zelm {
TDostup toAccessRecord(const AccessRow& row) {
    TDostup r = TDostup::zeroed();
    r.Kod.set(row.Kod);
    r.Data = row.Data;
    r.FIO.set(row.FIO);
    r.Parol.set(row.Parol);
    r.Dostup.set(row.Dostup);
    return r;
}

QList<AccessRow> defaultAccessRows(double today) {
    return {
        {QStringLiteral("01"), today, QStringLiteral("Администратор"), QStringLiteral("580214"),
         QStringLiteral("Z")},
        {QStringLiteral("02"), today, QStringLiteral("Пользователь 1"), QStringLiteral("317968"),
         QStringLiteral("W")},
        {QStringLiteral("03"), today, QStringLiteral("Пользователь 2"), QStringLiteral("642095"),
         QStringLiteral("W")},
        {QStringLiteral("04"), today, QStringLiteral("Пользователь 3"), QStringLiteral("926473"),
         QStringLiteral("W")},
    };
}

void openOrCreateAccessTable(CardFile& file, const QString& path, double today) {
    if (QFileInfo::exists(path)) {
        file.open(path, sizeof(TDostup));
        return;
    }
    file.create(path, sizeof(TDostup));
    for (const AccessRow& row : defaultAccessRows(today)) {
        TDostup r = toAccessRecord(row);
        file.write(&r);
    }
    file.flush();
    file.seek(0);
}

namespace {
AccessRow rowOf(const TDostup& r) {
    return {r.Kod.text(), r.Data, r.FIO.text(), r.Parol.text(), r.Dostup.text()};
}
} // namespace

QList<AccessRow> readAccessRows(CardFile& file) {
    auto records = file.readAll<TDostup>();
    QList<AccessRow> rows;
    for (const TDostup& r : records)
        rows.append(rowOf(r));
    file.seek(file.count());
    return rows;
}

void writeAccessRows(CardFile& file, const QList<AccessRow>& rows) {
    std::vector<TDostup> records;
    for (const AccessRow& row : rows)
        records.push_back(toAccessRecord(row));
    const QString path = file.path();
    writeRecordsAtomically(path, records.data(),
                           static_cast<qint64>(records.size() * sizeof(TDostup)));
    file.open(path, sizeof(TDostup));
}

QByteArray accessTableBytes(const QList<AccessRow>& rows) {
    QByteArray out;
    out.reserve(rows.size() * qsizetype(sizeof(TDostup)));
    for (const AccessRow& row : rows) {
        const TDostup r = toAccessRecord(row);
        out.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    return out;
}

QList<AccessRow> accessRowsFromBytes(const QByteArray& bytes) {
    QList<AccessRow> rows;
    for (qsizetype at = 0; at + qsizetype(sizeof(TDostup)) <= bytes.size(); at += sizeof(TDostup)) {
        TDostup r = TDostup::zeroed();
        std::memcpy(&r, bytes.constData() + at, sizeof r);
        rows.append(rowOf(r));
    }
    return rows;
}

} // namespace zelm
