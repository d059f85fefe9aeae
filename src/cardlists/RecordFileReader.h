#pragma once
// A read-only view of a file of fixed-size records that never holds more than a few blocks of
// it: records are read on demand, a block at a time, into a small cache. The file may change
// under the view (this program writing through its own descriptor, another program, a restore
// renaming a new file over it): check() notices a new file, size or change time, and the view
// then reads the file as it is now. A block is kept only when the file did not change while it
// was read, so no record is ever seen half-written.
#include "cardlists/RowSource.h"

#include <QString>
#include <cstdint>
#include <list>
#include <sys/types.h>
#include <vector>

namespace zelm {

class RecordFileReader : public RowSource {
public:
    explicit RecordFileReader(int recordSize, int blockRecords = 64, int cachedBlocks = 8);
    ~RecordFileReader() override;
    RecordFileReader(const RecordFileReader&) = delete;
    RecordFileReader& operator=(const RecordFileReader&) = delete;

    // Opens `path`; false (and no records) when it is missing, no regular file or unreadable.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }
    int recordSize() const { return m_recordSize; }

    // Whole records as the file held them when last checked; an incomplete tail is not counted.
    qint64 count() const override { return m_count; }
    // Record `index`, or nullptr past the end or when it cannot be read whole; valid until the
    // next call of any function of this view.
    const char* record(qint64 index) override;

    // Whether the file on disk is still the one last seen (same file, size and change time);
    // when not, the view takes the file as it is now and returns true.
    bool check() override;
    // Forgets what was read and takes the file as it is now (after this program changed it).
    void reload() override;
    // A record could not be read because the file changed while it was read: check() is due.
    bool stale() const override { return m_stale; }

private:
    struct Identity {
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = -1;
        std::int64_t mtimeNs = -1;
        bool operator==(const Identity&) const = default;
    };
    struct Block {
        qint64 first;
        std::vector<char> bytes; // whole records only
    };
    bool identityOfPath(Identity& out) const;
    bool identityOfFd(Identity& out) const;
    void takeIdentity(const Identity& id);
    const Block* loadBlock(qint64 block);

    int m_recordSize;
    int m_blockRecords;
    int m_cachedBlocks;
    QString m_path;
    int m_fd = -1;
    Identity m_seen;
    qint64 m_count = 0;
    bool m_stale = false;
    std::list<Block> m_cache; // most recently used first
};

} // namespace zelm
