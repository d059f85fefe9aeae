#pragma once
// The installation folder ("c:\ZELM" of the old program): $ZELM_HOME, else ~/ZELM.
// Every data path is relative to it.
#include <QString>

namespace zelm {

class Installation {
public:
    explicit Installation(QString root);
    static QString defaultRoot(); // $ZELM_HOME or ~/ZELM

    const QString& root() const { return m_root; }
    QString path(const QString& relative) const; // "Baza/Anketi.dat" -> <root>/Baza/Anketi.dat

    // Creates the root and its folders when missing and makes the root the current folder.
    // Returns true when the folder Baza did not exist before (a new installation).
    bool prepare();

    // A path read from a settings or data file: "c:\ZELM\X\Y" (any case) becomes <root>/X/Y,
    // other backslashes become slashes.
    QString mapStoredPath(const QString& stored) const;

    QString mainCardFile() const { return path(QStringLiteral("Baza/Anketi.dat")); }
    QString archiveCardFile() const { return path(QStringLiteral("Baza/ArhAnket.dat")); }
    QString workingCardFile() const { return path(QStringLiteral("Temp/RabAnket.dat")); }
    QString historyFile() const { return path(QStringLiteral("Baza/History.dat")); }
    QString attachmentList() const { return path(QStringLiteral("Baza/SpisFil.dat")); }
    QString accessTable() const { return path(QStringLiteral("Dostup.dat")); }
    QString settingsFile() const { return path(QStringLiteral("NoKor.vez")); }
    QString coloursFile() const { return path(QStringLiteral("CwetFona.vez")); }
    QString helpDocument() const { return path(QStringLiteral("Help/ReadMe.doc")); }
    QString backupFolder() const { return path(QStringLiteral("Backup")); }

private:
    QString m_root;
};

} // namespace zelm
