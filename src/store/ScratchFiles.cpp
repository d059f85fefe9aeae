#include "store/ScratchFiles.h"

#include "store/FileError.h"
#include "store/Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {

const QLatin1String kScratchPrefix("~zelm-");
const QLatin1String kKeptRestoreJournalPrefix("zelm-restore.journal.kept-");

namespace {

std::atomic<quint64> g_folderSyncs{0};

QString& configuredFolder() {
    static QString folder;
    return folder;
}

bool deviceOf(const QString& path, dev_t& dev) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    dev = st.st_dev;
    return S_ISDIR(st.st_mode) || S_ISREG(st.st_mode);
}

} // namespace

void setScratchFolder(const QString& folder) {
    configuredFolder() = folder;
}

const QString& scratchFolder() {
    return configuredFolder();
}

QString scratchFolderFor(const QString& target) {
    const QString own = QFileInfo(target).absolutePath();
    const QString& scratch = configuredFolder();
    if (scratch.isEmpty())
        return own;
    dev_t ownDev = 0;
    dev_t scratchDev = 0;
    if (!deviceOf(own, ownDev) || !deviceOf(scratch, scratchDev) || !QFileInfo(scratch).isDir() ||
        ownDev != scratchDev)
        return own;
    return scratch;
}

int createScratchFile(const QString& target, QString& path) {
    const QString folder = scratchFolderFor(target);
    QByteArray pattern = QFile::encodeName(
        QDir(folder).filePath(kScratchPrefix + QFileInfo(target).fileName() + ".XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        FileError::throwErrno(errno, QDir(folder).filePath(QFileInfo(target).fileName()));
    path = QFile::decodeName(pattern);
    return fd;
}

QString newScratchPath(const QString& target) {
    QString path;
    ::close(createScratchFile(target, path));
    return path;
}

bool isScratchFileName(const QString& fileName) {
    // The older names: an insertion's "Anketi.dat.new" in Baza, the archive deletion's
    // "ArhAnket.new" in Temp and a restore's hidden ".restore-XXXXXX".
    return fileName.startsWith(kScratchPrefix) || fileName == QLatin1String("Anketi.dat.new") ||
           fileName == QLatin1String("ArhAnket.new") ||
           fileName.startsWith(QLatin1String(".restore-"));
}

int removeLeftoverScratchFiles(const Installation& inst) {
    for (const QString& folder :
         {inst.path(QStringLiteral("Temp")), inst.path(QStringLiteral("Baza"))})
        if (!QDir(folder)
                 .entryList({kKeptRestoreJournalPrefix + QLatin1Char('*')},
                            QDir::Files | QDir::Hidden | QDir::System)
                 .isEmpty())
            return 0;
    int removed = 0;
    for (const QString& folder :
         {inst.root(), inst.path(QStringLiteral("Temp")), inst.path(QStringLiteral("Baza"))}) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo& info : entries)
            if (isScratchFileName(info.fileName()) && !info.isSymLink() &&
                QFile::remove(info.filePath()))
                ++removed;
    }
    return removed;
}

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        FileError::throwErrno(errno, folder);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; their renames are as durable as they get.
    if (rc != 0 && err != EINVAL && err != ENOTSUP)
        FileError::throwErrno(err, folder);
    ++g_folderSyncs;
}

quint64 folderSyncsSoFar() {
    return g_folderSyncs.load();
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t modeToKeep(const QString& path) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return newFileMode();
}

} // namespace zelm
