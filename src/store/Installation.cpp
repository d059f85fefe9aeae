#include "store/Installation.h"

#include "store/FileError.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zelm {

Installation::Installation(QString root) : m_root(QDir::cleanPath(QDir(root).absolutePath())) {}

QString Installation::defaultRoot() {
    QString home = qEnvironmentVariable("ZELM_HOME");
    if (!home.isEmpty())
        return home;
    return QDir::home().filePath(QStringLiteral("ZELM"));
}

QString Installation::path(const QString& relative) const {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return m_root + QLatin1Char('/') + rel;
}

bool Installation::prepare() {
    QDir dir;
    if (!dir.mkpath(m_root))
        throw FileError(QStringLiteral("Cannot create folder"), m_root);
    bool fresh = !QFileInfo(path(QStringLiteral("Baza"))).isDir();
    for (const char* folder : {"Baza", "Temp", "Backup", "report", "Otveti", "WhodWord", "Help"}) {
        QString p = path(QLatin1String(folder));
        if (!dir.mkpath(p))
            throw FileError(QStringLiteral("Cannot create folder"), p);
    }
    QDir::setCurrent(m_root);
    setScratchFolder(path(QStringLiteral("Temp")));
    return fresh;
}

QString Installation::mapStoredPath(const QString& stored) const {
    static const QRegularExpression prefix(QStringLiteral("^c:[\\\\/]zelm(?=[\\\\/]|$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString p = stored;
    QRegularExpressionMatch m = prefix.match(p);
    if (m.hasMatch())
        p = m_root + p.mid(m.capturedLength());
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

} // namespace zelm
