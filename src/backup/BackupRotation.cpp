#include "backup/BackupRotation.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace zelm {

QList<BackupArchive> listBackupArchives(const QString& folder) {
    // Windows file names ignore case, so "B0000007.ZIP" copied from there still counts.
    static const QRegularExpression pattern(QStringLiteral("^b([0-9]{7})\\.zip$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<BackupArchive> out;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : entries) {
        const QRegularExpressionMatch m = pattern.match(info.fileName());
        if (m.hasMatch())
            out.append({m.captured(1).toInt(), info.absoluteFilePath()});
    }
    std::sort(out.begin(), out.end(),
              [](const BackupArchive& a, const BackupArchive& b) { return a.number < b.number; });
    return out;
}

QString nextBackupFileName(const QList<BackupArchive>& archives) {
    const int next = archives.isEmpty() ? 1 : archives.last().number + 1;
    return QStringLiteral("b%1.zip").arg(next, 7, 10, QLatin1Char('0'));
}

void pruneBackupArchives(const QString& folder, int keep) {
    const QList<BackupArchive> archives = listBackupArchives(folder);
    for (qsizetype i = 0; i + keep < archives.size(); ++i)
        QFile::remove(archives.at(i).path);
}

} // namespace zelm
