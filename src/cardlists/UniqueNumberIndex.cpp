#include "cardlists/UniqueNumberIndex.h"

#include "store/FileError.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zelm {
namespace {

constexpr qint64 kBlockRecords = 512; // under a megabyte of cards read at a time
constexpr int kReadAttempts = 3;      // passes over a file that another program keeps writing
constexpr auto kWaitStep = std::chrono::milliseconds(30);

struct FileState {
    off_t size;
    std::int64_t mtimeNs;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    return {st.st_size,
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool readFully(int fd, char* out, size_t want, off_t at) {
    size_t got = 0;
    while (got < want) {
        const ssize_t r = ::pread(fd, out + got, want - got, at + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

} // namespace

UniqueNumberIndex::UniqueNumberIndex(QObject* parent) : QObject(parent) {}

UniqueNumberIndex::~UniqueNumberIndex() {
    stop();
}

void UniqueNumberIndex::stop() {
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    m_cancel = false;
}

void UniqueNumberIndex::build(const QString& path, int recordSize) {
    stop();
    m_path = path;
    m_recordSize = recordSize;
    {
        std::lock_guard lock(m_mutex);
        m_ready = false;
        m_error.clear();
        m_entries.clear();
        m_entries.shrink_to_fit();
        m_count = 0;
        ++m_generation;
    }
    m_percent = 0;
    m_worker = std::thread(&UniqueNumberIndex::run, this, path, recordSize, m_generation);
}

void UniqueNumberIndex::rebuild() {
    if (!m_path.isEmpty())
        build(m_path, m_recordSize);
}

bool UniqueNumberIndex::isReady() const {
    std::lock_guard lock(m_mutex);
    return m_ready;
}

QString UniqueNumberIndex::error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

bool UniqueNumberIndex::waitUntilReady(const std::function<void(int)>& whileWaiting) const {
    std::unique_lock lock(m_mutex);
    while (!m_ready) {
        m_done.wait_for(lock, kWaitStep);
        if (!m_ready && whileWaiting) {
            lock.unlock();
            whileWaiting(m_percent.load());
            lock.lock();
        }
    }
    return m_error.isEmpty();
}

void UniqueNumberIndex::run(QString path, int recordSize, std::uint64_t generation) {
    // Reading the register must not slow the window the user works in: this thread gets the
    // processor and the disk when the window does not want them.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, tid, 10);
    constexpr int kWhoThread = 1, kIdleClass = 3, kClassShift = 13;
    ::syscall(SYS_ioprio_set, kWhoThread, tid, kIdleClass << kClassShift);
    std::vector<Entry> entries;
    QString error;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = FileError::messageForErrno(errno);
    } else {
        std::vector<char> block(static_cast<size_t>(kBlockRecords * recordSize));
        for (int attempt = 0; attempt < kReadAttempts && !m_cancel; ++attempt) {
            const FileState before = stateOf(fd);
            const qint64 count = std::min<qint64>(before.size / recordSize, INT_MAX);
            entries.clear();
            entries.reserve(static_cast<size_t>(count));
            error.clear();
            for (qint64 first = 0; first < count && !m_cancel; first += kBlockRecords) {
                const qint64 n = std::min(kBlockRecords, count - first);
                if (m_blockReadHook)
                    m_blockReadHook();
                if (!readFully(fd, block.data(), static_cast<size_t>(n * recordSize),
                               static_cast<off_t>(first * recordSize))) {
                    error = FileError::messageForErrno(errno ? errno : EIO);
                    break;
                }
                for (qint64 i = 0; i < n; ++i) {
                    std::int32_t number;
                    std::memcpy(&number, block.data() + i * recordSize, sizeof number);
                    entries.push_back({number, static_cast<std::int32_t>(first + i)});
                }
                m_percent = static_cast<int>((first + n) * 99 / std::max<qint64>(count, 1));
            }
            // A file written while it was read is read again, so no half-written card counts.
            if (!error.isEmpty() || stateOf(fd) == before)
                break;
        }
        ::close(fd);
        std::sort(entries.begin(), entries.end());
    }
    if (m_cancel)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation)
            return;
        m_count = static_cast<qint64>(entries.size());
        m_entries = std::move(entries);
        m_error = error;
        m_ready = true;
    }
    m_percent = 100;
    m_done.notify_all();
    QMetaObject::invokeMethod(
        this, [this] { emit ready(); }, Qt::QueuedConnection);
}

qint64 UniqueNumberIndex::firstPositionOf(std::int32_t number) const {
    std::lock_guard lock(m_mutex);
    if (!m_ready)
        return -1;
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{number, INT_MIN});
    return it != m_entries.end() && it->number == number ? it->position : -1;
}

void UniqueNumberIndex::insertEntry(Entry e) {
    m_entries.insert(std::upper_bound(m_entries.begin(), m_entries.end(), e), e);
}

std::vector<UniqueNumberIndex::Entry>::iterator UniqueNumberIndex::entryAt(qint64 position) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [position](const Entry& e) { return e.position == position; });
}

void UniqueNumberIndex::appended(std::int32_t number) {
    if (!isReady())
        return rebuild();
    std::lock_guard lock(m_mutex);
    insertEntry({number, static_cast<std::int32_t>(m_count)});
    ++m_count;
}

void UniqueNumberIndex::inserted(qint64 position, std::int32_t number) {
    if (!isReady())
        return rebuild();
    std::lock_guard lock(m_mutex);
    for (Entry& e : m_entries)
        if (e.position >= position)
            ++e.position;
    insertEntry({number, static_cast<std::int32_t>(position)});
    ++m_count;
}

void UniqueNumberIndex::removed(qint64 position) {
    if (!isReady())
        return rebuild();
    std::lock_guard lock(m_mutex);
    const auto it = entryAt(position);
    if (it == m_entries.end())
        return;
    m_entries.erase(it);
    for (Entry& e : m_entries)
        if (e.position > position)
            --e.position;
    --m_count;
}

void UniqueNumberIndex::changed(qint64 position, std::int32_t number) {
    if (!isReady())
        return rebuild();
    std::lock_guard lock(m_mutex);
    const auto it = entryAt(position);
    if (it == m_entries.end() || it->number == number)
        return;
    m_entries.erase(it);
    insertEntry({number, static_cast<std::int32_t>(position)});
}

} // namespace zelm
