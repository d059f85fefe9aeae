#pragma once
// One running program per data folder. Two programs on one folder (twice on one desktop, or
// two workstations on a shared folder) would rewrite the same register and lose cards, so a
// start first takes the lock: a file in the installation folder naming the user, the machine
// and the process that hold it. The file appears whole or not at all (it is written under
// another name and linked into place), so a second start never reads half of it.
#include <QString>

namespace zelm {

class Installation;

struct LockOwner {
    QString user;
    QString machine;
    qint64 pid = 0;
    QString bootId;        // a machine's lock from before its last restart is stale
    quint64 startTime = 0; // the process's start, so a reused process id is not taken alive

    static LockOwner thisProcess();
    bool operator==(const LockOwner&) const = default;
};

// The lines of a lock file, and back; an unreadable file gives an owner with no machine.
QByteArray lockFileText(const LockOwner& owner);
LockOwner parseLockFile(const QByteArray& bytes);
// On this machine (same name): is that process still running?
bool lockOwnerIsRunning(const LockOwner& owner, const LockOwner& self);

class DataFolderLock {
public:
    enum class Status {
        Acquired,           // this program now holds the folder
        InUse,              // a running program on this machine holds it: refuse the start
        HeldOnOtherMachine, // another machine's program holds it; it may have died: ask the
                            // user, then takeOver() or refuse
    };

    explicit DataFolderLock(QString lockPath, LockOwner self = LockOwner::thisProcess());
    ~DataFolderLock(); // releases a held lock
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    static QString lockPathFor(const Installation& inst); // <root>/Zelm.lock

    // Takes the lock when it is free or left by a program of this machine that has ended.
    // Throws FileError when the lock file cannot be made (a read-only folder).
    Status acquire();
    // Takes over the lock holder() names after the user confirmed that it is no longer
    // running. InUse when yet another program took the lock in the meantime.
    Status takeOver();
    // Deletes the lock file when it still names this program; never throws.
    void release() noexcept;

    bool held() const { return m_held; }
    const LockOwner& holder() const { return m_holder; } // after InUse or HeldOnOtherMachine
    const QString& path() const { return m_path; }

private:
    bool linkNewLockFile(); // false when a lock file is there already
    Status judgeExisting();

    QString m_path;
    LockOwner m_self;
    LockOwner m_holder;
    QByteArray m_holderText; // the lock file as it was judged
    bool m_held = false;
};

// The refusal: "... пользователь <user> на компьютере <machine> ...".
QString folderInUseMessage(const LockOwner& holder);
QString folderInUseCaption();
// The question before taking over another machine's lock.
QString takeOverQuestion(const LockOwner& holder);

} // namespace zelm
