#pragma once
// A file of fixed-size records with a current position. Every card file, the attached-file
// list and the access table are such files. An incomplete tail record is never counted or read.
#include "store/RecordSource.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace zelm {

class CardFile : public RecordSource {
public:
    CardFile() = default;
    ~CardFile() override;
    CardFile(const CardFile&) = delete;
    CardFile& operator=(const CardFile&) = delete;

    // Both refuse a link or anything but a regular file, and on any failure leave the file
    // open before as it was.
    void open(const QString& path, int recordSize);   // existing file; position 0
    void create(const QString& path, int recordSize); // new or emptied; position 0
    void reopen();                                    // flush to disk, close, open; position 0
    void close();
    bool isOpen() const { return m_fd >= 0; }

    qint64 count() const override;
    qint64 position() const { return m_pos; }
    bool atEnd() const { return m_pos >= count(); }
    void seek(qint64 index);
    void read(void* record);        // record at position, then position + 1
    void write(const void* record); // over the record at position or appended; position + 1
    void truncate();                // cut the file at the position
    void flush();                   // everything written reaches the disk

    // How many flushes reached the disk in this process: lets a test prove that a command
    // flushed what it wrote before it reported success.
    static quint64 flushesSoFar();

    // Reads `n` whole records from index `first` into `out` in one call, not moving the position.
    void readRange(qint64 first, qint64 n, void* out) const override;
    // Writes `n` records from index `first` (over or past the end) in one call, not moving the
    // position.
    void writeRange(qint64 first, qint64 n, const void* records);
    // Appends many records at once at the end; position at the end afterwards.
    void appendMany(const void* records, qint64 n);

    const QString& path() const { return m_path; }
    int recordSize() const { return m_recordSize; }

    // The open file as it is on disk: which file, how long, when its content or state last
    // changed. Two stamps differ when anyone wrote to the file between them.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 changedNs = 0;  // the status change time, which no program can set back
        qint64 modifiedNs = 0; // the content's change time, as a file manager shows it
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;
    // Whether the file's name now belongs to another file (one renamed over it) or to none;
    // `open` is the open file's stamp, when taken already.
    bool replacedOnDisk() const { return replacedOnDisk(stamp()); }
    bool replacedOnDisk(const Stamp& open) const;

    template <class R> void readInto(R& r) { read(&r); }
    template <class R> std::vector<R> readAll() const {
        std::vector<R> out(static_cast<size_t>(count()));
        if (!out.empty())
            readRange(0, static_cast<qint64>(out.size()), out.data());
        return out;
    }

private:
    void requireOpen() const;
    void openFd(const QString& path, int recordSize, int flags);

    QString m_path;
    int m_recordSize = 1;
    int m_fd = -1;
    qint64 m_pos = 0;
};

// Whole-file helpers: a file is written completely as a scratch file (ScratchFiles.h), flushed
// to disk and renamed over the old one, so the old file stays whole on any failure. The new
// file keeps the permissions of the one it replaces.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
void writeRecordsAtomically(const QString& path, const void* records, qint64 bytes);
// Renames `from` over `to` after flushing `from` to disk, then syncs `to`'s folder so that the
// rename itself survives a power cut; `to` is replaced in one step and `from` takes its
// permissions (a new file's when there was none).
void replaceFile(const QString& from, const QString& to);

// Closes every file given, in order, even when one fails to close; then reports the first
// failure (FileError). Nothing stays open because an earlier file could not be closed.
void closeAllDataFiles(std::initializer_list<CardFile*> files);
// Runs every step, in order, even when one fails; then reports the first failure.
void runEveryStep(std::initializer_list<std::function<void()>> steps);

} // namespace zelm
