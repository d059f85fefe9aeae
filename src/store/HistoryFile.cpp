#include "store/HistoryFile.h"

#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/RecordFileRewrite.h"
#include "store/RecordScan.h"
#include "store/ScratchFiles.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace zelm {
namespace {

constexpr char kMark[4] = {'Z', 'H', 'v', '1'};
constexpr size_t kCheckedBytes = offsetof(THistory, check);

std::uint32_t fnv1a(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 16777619u;
    }
    return h;
}

bool present(const QString& path) {
    // A name taken by a link counts as present: opening it then refuses the link.
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

} // namespace

bool isHistoryAction(std::int32_t value) {
    return value >= static_cast<std::int32_t>(HistoryAction::Save) &&
           value <= static_cast<std::int32_t>(HistoryAction::Recall);
}

QString historyActionText(HistoryAction action) {
    switch (action) {
    case HistoryAction::Save:
        return QStringLiteral("Запись");
    case HistoryAction::Archive:
        return QStringLiteral("В Архив");
    case HistoryAction::Delete:
        return QStringLiteral("Удаление");
    case HistoryAction::DeleteArchived:
        return QStringLiteral("Удаление из Архива");
    case HistoryAction::Recall:
        return QStringLiteral("Возврат в картотеку");
    }
    return QString();
}

THistory historyRecord(const CardVersion& version) {
    THistory r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(r.mark, kMark, sizeof kMark);
    r.action = static_cast<std::int32_t>(version.action);
    r.whenMs = version.when.toMSecsSinceEpoch();
    r.uniq = version.card.Klu4Form1;
    r.who.set(version.who);
    r.card = version.card;
    r.check = fnv1a(&r, kCheckedBytes);
    return r;
}

bool isWholeHistoryRecord(const THistory& r) {
    return std::memcmp(r.mark, kMark, sizeof kMark) == 0 && isHistoryAction(r.action) &&
           r.check == fnv1a(&r, kCheckedBytes);
}

CardVersion versionOf(const THistory& r) {
    CardVersion v;
    v.action = static_cast<HistoryAction>(r.action);
    v.when = QDateTime::fromMSecsSinceEpoch(r.whenMs, Qt::UTC);
    v.who = r.who.text();
    v.card = r.card;
    return v;
}

HistoryFile::HistoryFile(QString path) : m_path(std::move(path)) {}

void HistoryFile::open(int keepDays) {
    m_file.close();
    if (!present(m_path))
        return;
    m_file.open(m_path, sizeof(THistory));
    // What a crash left at the end is cut off, so the next append starts on a record's edge
    // and nothing torn is ever taken for a version.
    qint64 whole = m_file.count();
    const qint64 lastWhole = scanBackward<THistory>(
        m_file, whole - 1, [](qint64, const THistory& r) { return !isWholeHistoryRecord(r); });
    whole = lastWhole + 1;
    if (whole * qint64(sizeof(THistory)) != m_file.stamp().size) {
        m_file.seek(whole);
        m_file.truncate();
        m_file.flush();
    }
    if (keepDays <= 0 || whole == 0)
        return;
    const qint64 cutoff = currentDateTime().toUTC().addDays(-keepDays).toMSecsSinceEpoch();
    THistory first;
    m_file.readRange(0, 1, &first);
    if (first.whenMs >= cutoff)
        return;
    rewriteThroughScratch(m_file, newScratchPath(m_path), [&](CardFile& scratch) {
        scanForward<THistory>(m_file, 0, [&](qint64, const THistory& r) {
            if (isWholeHistoryRecord(r) && r.whenMs >= cutoff)
                scratch.appendMany(&r, 1);
            return true;
        });
    });
}

void HistoryFile::close() {
    m_file.close();
}

void HistoryFile::follow() {
    // A restore or another program may have put another file under the name.
    if (m_file.isOpen() && m_file.replacedOnDisk())
        m_file.close();
    if (!m_file.isOpen() && present(m_path))
        m_file.open(m_path, sizeof(THistory));
}

qint64 HistoryFile::append(const CardVersion& version) {
    follow();
    if (!m_file.isOpen()) {
        m_file.create(m_path, sizeof(THistory));
        // The new name itself must survive a power cut, not only the record.
        syncFolder(QFileInfo(m_path).absolutePath());
    }
    const THistory r = historyRecord(version);
    return appendFlushed(m_file, &r);
}

void HistoryFile::takeBack(qint64 count) noexcept {
    if (m_file.isOpen())
        cutBack(m_file, count);
}

std::vector<CardVersion> HistoryFile::versionsOf(std::int32_t uniq) {
    follow();
    std::vector<CardVersion> out;
    if (!m_file.isOpen())
        return out;
    scanBackward<THistory>(m_file, m_file.count() - 1, [&](qint64, const THistory& r) {
        if (r.uniq == uniq && isWholeHistoryRecord(r))
            out.push_back(versionOf(r));
        return true;
    });
    // Appended in the order things were done: the file's order is the versions' order even
    // when the clock was set back meanwhile.
    return out;
}

void HistoryFile::scan(const std::function<void(const CardVersion&)>& each) {
    follow();
    if (!m_file.isOpen())
        return;
    scanForward<THistory>(m_file, 0, [&](qint64, const THistory& r) {
        if (isWholeHistoryRecord(r))
            each(versionOf(r));
        return true;
    });
}

void dropUnchangedSaves(std::vector<CardVersion>& newestFirst, const TAnketa* now) {
    std::vector<bool> unchanged(newestFirst.size());
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const TAnketa* after = i == 0 ? now : &newestFirst[i - 1].card;
        unchanged[i] = newestFirst[i].action == HistoryAction::Save && after &&
                       std::memcmp(&newestFirst[i].card, after, sizeof(TAnketa)) == 0;
    }
    size_t out = 0;
    for (size_t i = 0; i < newestFirst.size(); ++i)
        if (!unchanged[i])
            newestFirst[out++] = std::move(newestFirst[i]);
    newestFirst.resize(out);
}

void writeHistoryFile(const QString& path, const std::vector<CardVersion>& versions) {
    std::vector<THistory> records;
    records.reserve(versions.size());
    for (const CardVersion& v : versions)
        records.push_back(historyRecord(v));
    writeRecordsAtomically(path, records.data(),
                           static_cast<qint64>(records.size() * sizeof(THistory)));
}

} // namespace zelm
