#include "store/DataFolderLock.h"

#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RegularFiles.h"
#include "store/ScratchFiles.h"
#include "store/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

// A lock that is a link, a pipe or a folder is refused with a message naming it: following
// it could hang the start on a pipe or judge some other file.
QByteArray readSmallFile(const QString& path, bool& missing) {
    missing = false;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 && errno == ENOENT) {
        missing = true;
        return {};
    }
    try {
        return readRegularFile(path, 4096, OverLimit::Cut);
    } catch (const FileError& e) {
        throw FileError(QStringLiteral("%1. Файл блокировки папки данных должен быть обычным "
                                       "файлом; удалите его и запустите программу снова")
                            .arg(e.message()),
                        path);
    }
}

// A name read from a lock file is shown to the user: nothing but printable text.
QString printableOrEmpty(const QString& text) {
    for (QChar c : text)
        if (!c.isPrint() || c == QChar::ReplacementCharacter)
            return {};
    return text.left(128);
}

QString firstLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readLine()).trimmed();
}

// Field 22 of /proc/<pid>/stat: when the process started, in clock ticks since boot.
quint64 processStartTime(qint64 pid) {
    const QString text = firstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = text.lastIndexOf(QLatin1Char(')')); // the name may hold blanks
    if (close < 0)
        return 0;
    const QStringList fields = text.mid(close + 2).split(QLatin1Char(' '));
    return fields.size() > 19 ? fields.at(19).toULongLong() : 0; // field 3 is at 0
}

// A process that has ended but not yet been reaped by its parent ("Z") holds nothing.
bool processHasEnded(qint64 pid) {
    const QString text = firstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = text.lastIndexOf(QLatin1Char(')'));
    if (close < 0 || close + 2 >= text.size())
        return false;
    const QChar state = text.at(close + 2);
    return state == QLatin1Char('Z') || state == QLatin1Char('X');
}

QString userName() {
    for (const char* var : {"USER", "LOGNAME", "USERNAME"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty())
            return v;
    }
    // No login variables (a service, a desktop started oddly): the account's name.
    if (const passwd* account = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(account->pw_name);
    return QString::number(::getuid());
}

} // namespace

LockOwner LockOwner::thisProcess() {
    LockOwner o;
    o.user = userName();
    o.machine = QSysInfo::machineHostName();
    o.pid = ::getpid();
    o.bootId = firstLine(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    o.startTime = processStartTime(o.pid);
    return o;
}

QByteArray lockFileText(const LockOwner& o) {
    return joinTextLines(
        {o.user, o.machine, QString::number(o.pid), o.bootId, QString::number(o.startTime)});
}

LockOwner parseLockFile(const QByteArray& bytes) {
    const QStringList lines = splitTextLines(bytes);
    LockOwner o;
    if (lines.size() < 3)
        return o;
    // A file whose third line is no process number is not a lock this program wrote.
    bool isNumber = false;
    const qint64 pid = lines.at(2).toLongLong(&isNumber);
    if (!isNumber)
        return o;
    o.user = printableOrEmpty(lines.at(0));
    o.machine = printableOrEmpty(lines.at(1));
    o.pid = pid;
    o.bootId = lines.value(3);
    o.startTime = lines.value(4).toULongLong();
    return o;
}

bool lockOwnerIsRunning(const LockOwner& owner, const LockOwner& self) {
    if (!owner.bootId.isEmpty() && !self.bootId.isEmpty() && owner.bootId != self.bootId)
        return false; // the machine has restarted since
    if (owner.pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH)
        return false;
    if (processHasEnded(owner.pid))
        return false;
    // The process id may have been given to another program since.
    const quint64 started = processStartTime(owner.pid);
    return owner.startTime == 0 || started == 0 || started == owner.startTime;
}

DataFolderLock::DataFolderLock(QString lockPath, LockOwner self)
    : m_path(std::move(lockPath)), m_self(std::move(self)) {}

DataFolderLock::~DataFolderLock() {
    release();
}

QString DataFolderLock::lockPathFor(const Installation& inst) {
    return inst.path(QStringLiteral("Zelm.lock"));
}

bool DataFolderLock::linkNewLockFile() {
    // Written whole under a scratch name beside the lock, then linked to the lock's name:
    // link() fails when the name exists, so of two starts exactly one gets the lock.
    const QString folder = QFileInfo(m_path).absolutePath();
    QByteArray pattern = QFile::encodeName(
        QDir(folder).filePath(kScratchPrefix + QFileInfo(m_path).fileName() + ".XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        FileError::throwErrno(errno, m_path);
    const QByteArray text = lockFileText(m_self);
    const bool written =
        ::write(fd, text.constData(), static_cast<size_t>(text.size())) == text.size() &&
        ::fchmod(fd, newFileMode()) == 0 && ::fsync(fd) == 0;
    const int writeErr = errno;
    ::close(fd);
    int linkErr = 0;
    const bool linked =
        written && ::link(pattern.constData(), QFile::encodeName(m_path).constData()) == 0;
    if (written && !linked)
        linkErr = errno;
    ::unlink(pattern.constData());
    if (!written)
        FileError::throwErrno(writeErr, m_path);
    // ENOENT: the scratch file was removed under us by the start-up cleanup of the program
    // that holds the folder; the lock file then names that program.
    if (!linked && linkErr != EEXIST && linkErr != ENOENT)
        FileError::throwErrno(linkErr, m_path);
    if (linked) {
        syncFolder(folder);
        m_held = true;
    }
    return linked;
}

DataFolderLock::Status DataFolderLock::judgeExisting() {
    bool missing = false;
    m_holderText = readSmallFile(m_path, missing);
    if (missing)
        return Status::Acquired; // released meanwhile: the caller tries again
    m_holder = parseLockFile(m_holderText);
    if (m_holder.machine.isEmpty() || m_holder.machine != m_self.machine)
        return Status::HeldOnOtherMachine;
    if (lockOwnerIsRunning(m_holder, m_self))
        return Status::InUse;
    return takeOver();
}

DataFolderLock::Status DataFolderLock::acquire() {
    if (m_held)
        return Status::Acquired;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (linkNewLockFile())
            return Status::Acquired;
        const Status s = judgeExisting();
        if (s != Status::Acquired || m_held)
            return s;
    }
    return Status::InUse;
}

DataFolderLock::Status DataFolderLock::takeOver() {
    if (m_held)
        return Status::Acquired;
    // The stale lock is first moved to a name of our own and checked to be the one judged:
    // had another program taken it over meanwhile, its fresh lock is put back.
    QByteArray asideName = QFile::encodeName(QFileInfo(m_path).absolutePath() + QLatin1Char('/') +
                                             kScratchPrefix + QStringLiteral("stale-lock.XXXXXX"));
    const int fd = ::mkostemp(asideName.data(), O_CLOEXEC);
    if (fd < 0)
        FileError::throwErrno(errno, m_path);
    ::close(fd);
    if (::rename(QFile::encodeName(m_path).constData(), asideName.constData()) != 0) {
        const int err = errno;
        ::unlink(asideName.constData());
        if (err != ENOENT)
            FileError::throwErrno(err, m_path);
    } else {
        bool missing = false;
        const QByteArray moved = readSmallFile(QFile::decodeName(asideName), missing);
        if (moved != m_holderText) {
            ::link(asideName.constData(), QFile::encodeName(m_path).constData());
            ::unlink(asideName.constData());
            m_holderText = moved;
            m_holder = parseLockFile(moved);
            return Status::InUse;
        }
        ::unlink(asideName.constData());
    }
    if (linkNewLockFile())
        return Status::Acquired;
    bool missing = false;
    m_holderText = readSmallFile(m_path, missing);
    m_holder = parseLockFile(m_holderText);
    return Status::InUse;
}

void DataFolderLock::release() noexcept {
    if (!m_held)
        return;
    m_held = false;
    try {
        bool missing = false;
        if (readSmallFile(m_path, missing) == lockFileText(m_self))
            QFile::remove(m_path);
    } catch (...) {
        // A lock file that cannot be read back is left: the next start judges it.
    }
}

QString folderInUseCaption() {
    return QStringLiteral("Папка данных занята");
}

QString folderInUseMessage(const LockOwner& holder) {
    return QStringLiteral("С этой папкой данных уже работает программа: пользователь %1 на "
                          "компьютере %2.\nДве программы на одной папке данных теряют "
                          "карточки, поэтому запуск отменён.")
        .arg(holder.user.isEmpty() ? QStringLiteral("(не известен)") : holder.user,
             holder.machine.isEmpty() ? QStringLiteral("(не известен)") : holder.machine);
}

QString takeOverQuestion(const LockOwner& holder) {
    return QStringLiteral("Папку данных занимает программа пользователя %1 на компьютере %2.\n"
                          "Если на том компьютере программа уже не работает (он выключен или "
                          "программа завершилась аварийно), папку можно занять.\nЗанять папку?")
        .arg(holder.user.isEmpty() ? QStringLiteral("(не известен)") : holder.user,
             holder.machine.isEmpty() ? QStringLiteral("(не известен)") : holder.machine);
}

} // namespace zelm
