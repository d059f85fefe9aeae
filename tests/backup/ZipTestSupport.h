#pragma once
// Archives with hand-made entries, and a look inside archives, for the backup tests.
#include <QByteArray>
#include <QList>
#include <QString>

namespace zelm::testing {

struct ZipEntry {
    QString name;
    QByteArray data;
    int method = 0; // ZIP_CM_STORE (0) or ZIP_CM_DEFLATE (8)
};

// Writes an archive holding exactly `entries`, names as given (folder parts and all).
void writeZip(const QString& path, const QList<ZipEntry>& entries);
// The entries of an archive as libzip reads them back (data checked against its checksum);
// an empty list when the archive cannot be read.
QList<ZipEntry> readZip(const QString& path);

} // namespace zelm::testing
