#include "register/SaveJournal.h"

#include "store/FileError.h"
#include "store/Installation.h"
#include "store/ScratchFiles.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

const QByteArray kHeader = QByteArrayLiteral("zelm-save-journal 1");
constexpr qsizetype kRecord = qsizetype(sizeof(TAnketa));

// Whether every byte of `there` is the byte of `before` or of `saved` at its place.
bool madeOfBoth(const char* there, const char* before, const char* saved) {
    for (qsizetype i = 0; i < kRecord; ++i)
        if (there[i] != before[i] && there[i] != saved[i])
            return false;
    return true;
}

void finishWrite(const QString& mainPath, qint64 place, const char* before, const char* saved) {
    const int fd = ::open(QFile::encodeName(mainPath).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ENOENT)
            return;
        FileError::throwErrno(errno, mainPath);
    }
    char there[kRecord];
    const off_t at = off_t(place) * kRecord;
    int rc = 0;
    if (::pread(fd, there, kRecord, at) == kRecord && std::memcmp(there, saved, kRecord) != 0 &&
        madeOfBoth(there, before, saved))
        rc = ::pwrite(fd, saved, kRecord, at) == kRecord && ::fsync(fd) == 0 ? 0 : -1;
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        FileError::throwErrno(err, mainPath);
}

} // namespace

QString saveJournalPath(const Installation& inst) {
    return inst.path(QStringLiteral("Temp/zelm-save.journal"));
}

void writeSaveJournal(const QString& path, const CardFile::Stamp& main, qint64 place,
                      const TAnketa& before, const TAnketa& saved) {
    QByteArray bytes = kHeader + '\n' + QByteArray::number(main.device) + ' ' +
                       QByteArray::number(main.inode) + ' ' + QByteArray::number(place) + '\n';
    bytes.append(reinterpret_cast<const char*>(&before), kRecord);
    bytes.append(reinterpret_cast<const char*>(&saved), kRecord);
    writeFileAtomically(path, bytes);
}

void removeSaveJournal(const QString& path) noexcept {
    QFile::remove(path);
}

void finishInterruptedSave(const Installation& inst) {
    const QString path = saveJournalPath(inst);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    const qsizetype headerEnd = bytes.indexOf('\n');
    const qsizetype fieldsEnd = headerEnd < 0 ? -1 : bytes.indexOf('\n', headerEnd + 1);
    bool ok = headerEnd >= 0 && fieldsEnd >= 0 && bytes.left(headerEnd) == kHeader &&
              bytes.size() == fieldsEnd + 1 + 2 * kRecord;
    const QList<QByteArray> fields =
        ok ? bytes.mid(headerEnd + 1, fieldsEnd - headerEnd - 1).split(' ') : QList<QByteArray>();
    ok = ok && fields.size() == 3;
    const quint64 device = ok ? fields[0].toULongLong(&ok) : 0;
    const quint64 inode = ok ? fields[1].toULongLong(&ok) : 0;
    const qint64 place = ok ? fields[2].toLongLong(&ok) : -1;
    // Written whole or not at all: anything else is no journal of this program's.
    if (ok && place >= 0) {
        struct stat st;
        if (::stat(QFile::encodeName(inst.mainCardFile()).constData(), &st) == 0 &&
            quint64(st.st_dev) == device && quint64(st.st_ino) == inode) {
            const char* before = bytes.constData() + fieldsEnd + 1;
            finishWrite(inst.mainCardFile(), place, before, before + kRecord);
        }
    }
    if (!QFile::remove(path) && QFileInfo::exists(path))
        throw FileError(QStringLiteral("Не удалось удалить файл"), path);
    syncFolder(QFileInfo(path).absolutePath());
}

} // namespace zelm
