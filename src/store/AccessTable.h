#pragma once
// The access table Dostup.dat: rows of code, date, name, password and access letter.
#include <QByteArray>
#include <QList>
#include <QString>

namespace zelm {

class CardFile;

struct AccessRow {
    QString Kod;
    double Data = 0;
    QString FIO;
    QString Parol;
    QString Dostup;
};

QList<AccessRow> defaultAccessRows(double today);
struct TDostup;
TDostup toAccessRecord(const AccessRow& row); // texts cut to their fields
// Opens the table, creating it with the four default rows when missing.
void openOrCreateAccessTable(CardFile& file, const QString& path, double today);
QList<AccessRow> readAccessRows(CardFile& file); // every whole record, in file order
// Writes exactly `rows` as the whole table (temporary file, flush, rename) and reopens `file`.
void writeAccessRows(CardFile& file, const QList<AccessRow>& rows);

// The table as the bytes of Dostup.dat, and back: every whole record, in order.
QByteArray accessTableBytes(const QList<AccessRow>& rows);
QList<AccessRow> accessRowsFromBytes(const QByteArray& bytes);

} // namespace zelm
