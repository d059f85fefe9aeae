#pragma once
// Which card of the register carries a unique number: a sorted table of (number, position)
// pairs, eight bytes a card. Building it reads the whole register, so it is built on a thread
// of its own while the window is already in use; a command that needs it before it is ready
// waits for it (showing progress), and never sees a table half built. Once built, the
// register's own changes are told to it and it follows them without reading the file again.
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zelm {

class UniqueNumberIndex : public QObject {
    Q_OBJECT
public:
    explicit UniqueNumberIndex(QObject* parent = nullptr);
    ~UniqueNumberIndex() override; // a build still running is stopped

    // Starts building from the card file at `path` (records of `recordSize` bytes, the unique
    // number in the first four); a build still running is dropped.
    void build(const QString& path, int recordSize);
    bool isReady() const;
    int percentDone() const { return m_percent.load(); }
    // Blocks until the build is over, calling `whileWaiting(percent)` every few tens of
    // milliseconds on the calling thread (to show progress and keep a window painted). False
    // when the file could not be read (error() says why).
    bool waitUntilReady(const std::function<void(int percent)>& whileWaiting = {}) const;
    QString error() const;

    // Queries on a ready index (after waitUntilReady).
    bool contains(std::int32_t number) const { return firstPositionOf(number) >= 0; }
    qint64 firstPositionOf(std::int32_t number) const; // -1 when no card has it
    qint64 cardCount() const { return m_count; }

    // The register changed by this program. Before the index is ready these start the build
    // anew; afterwards they change the table in memory.
    void appended(std::int32_t number);
    void inserted(qint64 position, std::int32_t number);
    void removed(qint64 position);
    void changed(qint64 position, std::int32_t number);
    void rebuild(); // the register rewritten as a whole

    // Called on the building thread before each block of the file is read: lets a test hold a
    // build half done.
    void setBlockReadHook(std::function<void()> hook) { m_blockReadHook = std::move(hook); }

signals:
    void ready(); // the build is over (also when it failed)

private:
    struct Entry {
        std::int32_t number;
        std::int32_t position;
        bool operator<(const Entry& o) const {
            return number != o.number ? number < o.number : position < o.position;
        }
    };
    void stop();
    void run(QString path, int recordSize, std::uint64_t generation);
    void insertEntry(Entry e);
    std::vector<Entry>::iterator entryAt(qint64 position);

    QString m_path;
    int m_recordSize = 0;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_percent{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_done;
    bool m_ready = false; // under m_mutex
    QString m_error;      // under m_mutex
    std::uint64_t m_generation = 0;
    std::vector<Entry> m_entries; // handed over under m_mutex, then the owner's thread's
    qint64 m_count = 0;
    std::function<void()> m_blockReadHook;
};

} // namespace zelm
