#include "cardlists/RecordFileReader.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelm {
namespace {

std::int64_t mtimeNs(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

constexpr int kReadAttempts = 3; // reads of a block that a writer keeps changing

} // namespace

RecordFileReader::RecordFileReader(int recordSize, int blockRecords, int cachedBlocks)
    : m_recordSize(recordSize), m_blockRecords(blockRecords), m_cachedBlocks(cachedBlocks) {}

RecordFileReader::~RecordFileReader() {
    close();
}

bool RecordFileReader::open(const QString& path) {
    close();
    m_path = path;
    // A card file is a regular file of its own, never reached through a link.
    // Not blocked by a named pipe in its place: that is refused below, like any other non-file.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    Identity id;
    identityOfFd(id);
    takeIdentity(id);
    return true;
}

void RecordFileReader::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_count = 0;
    m_seen = {};
    m_cache.clear();
}

bool RecordFileReader::identityOfPath(Identity& out) const {
    struct stat st {};
    if (::lstat(QFile::encodeName(m_path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out = {st.st_dev, st.st_ino, st.st_size, mtimeNs(st)};
    return true;
}

bool RecordFileReader::identityOfFd(Identity& out) const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return false;
    out = {st.st_dev, st.st_ino, st.st_size, mtimeNs(st)};
    return true;
}

void RecordFileReader::takeIdentity(const Identity& id) {
    m_stale = false;
    m_seen = id;
    m_count = id.size > 0 ? id.size / m_recordSize : 0;
    m_cache.clear();
}

bool RecordFileReader::check() {
    if (m_path.isEmpty())
        return false;
    Identity now;
    const bool exists = identityOfPath(now);
    if (exists && m_fd >= 0 && now == m_seen)
        return false;
    if (!exists) {
        if (m_fd < 0)
            return false;
        const QString path = m_path;
        close();
        m_path = path;
        return true;
    }
    if (m_fd >= 0 && now.dev == m_seen.dev && now.ino == m_seen.ino) {
        takeIdentity(now); // the same file, written or cut
        return true;
    }
    open(m_path); // a new file renamed over the old one
    return true;
}

void RecordFileReader::reload() {
    if (m_path.isEmpty())
        return;
    Identity onDisk;
    Identity open;
    if (m_fd >= 0 && identityOfPath(onDisk) && identityOfFd(open) && onDisk.dev == open.dev &&
        onDisk.ino == open.ino) {
        takeIdentity(open);
        return;
    }
    const QString path = m_path;
    if (!this->open(path)) {
        close();
        m_path = path;
    }
}

const RecordFileReader::Block* RecordFileReader::loadBlock(qint64 block) {
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        if (it->first == block * m_blockRecords) {
            m_cache.splice(m_cache.begin(), m_cache, it);
            return &m_cache.front();
        }
    }
    const qint64 first = block * m_blockRecords;
    const qint64 n = std::min<qint64>(m_blockRecords, m_count - first);
    if (n <= 0)
        return nullptr;
    Block fresh{first, std::vector<char>(static_cast<size_t>(n * m_recordSize))};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        ssize_t got = 0;
        const size_t want = fresh.bytes.size();
        while (static_cast<size_t>(got) < want) {
            const ssize_t r =
                ::pread(m_fd, fresh.bytes.data() + got, want - static_cast<size_t>(got),
                        static_cast<off_t>(first * m_recordSize + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            got += r;
        }
        Identity after;
        // Kept only when nothing wrote to the file while it was read; else the writer's work
        // is read again once it is done.
        if (static_cast<size_t>(got) == want && identityOfFd(after) && after == m_seen) {
            if (static_cast<int>(m_cache.size()) >= m_cachedBlocks)
                m_cache.pop_back();
            m_cache.push_front(std::move(fresh));
            return &m_cache.front();
        }
    }
    m_stale = true;
    return nullptr;
}

const char* RecordFileReader::record(qint64 index) {
    if (m_fd < 0 || index < 0 || index >= m_count)
        return nullptr;
    const Block* b = loadBlock(index / m_blockRecords);
    if (!b)
        return nullptr;
    return b->bytes.data() + (index - b->first) * m_recordSize;
}

} // namespace zelm
