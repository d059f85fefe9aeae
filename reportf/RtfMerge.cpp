#include "reportf/RtfMerge.h"

#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfTokenizer.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"

#include <QBuffer>
#include <QHash>

#include <algorithm>
#include <charconv>

namespace zelm::reportf {
namespace {

constexpr qsizetype kFlushSize = 1 << 20;
constexpr qint64 kLargestTemplate = 64LL * 1024 * 1024;

// Where a placeholder takes its value from.
struct Source {
    enum Kind { Empty, Header, Item } kind = Empty;
    QString header;
    int item = -1;
};

class Writer {
public:
    Writer(const RtfTemplate& t, const ReportData& data, QIODevice& out)
        : m_t(t), m_data(data), m_out(out) {
        for (const RtfPlaceholder& p : t.placeholders()) {
            Source s;
            if (data.isHeaderKey(p.key)) {
                s.kind = Source::Header;
                s.header = data.header(p.key);
            } else if (data.isItemKey(p.key)) {
                s.kind = Source::Item;
                s.item = data.itemIndex(p.key);
            }
            m_sources.append(s);
        }
        m_buffer.reserve(kFlushSize + 4096);
        m_limit = reportSizeLimit(t.bytes().size(), data.sourceBytes());
    }

    bool run() {
        const QByteArray& bytes = m_t.bytes();
        const QList<RtfRow>& rows = m_t.rows();
        qsizetype pos = 0;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const RtfRow& row = rows[i];
            copy(pos, row.begin, 0);
            if (!isCardRow(row)) {
                copy(row.begin, row.end, 0);
                pos = row.end;
                continue;
            }
            qsizetype last = i;
            while (last + 1 < rows.size() && isCardRow(rows[last + 1]) &&
                   rows[last + 1].joinsPrevious)
                ++last;
            if (last == i) {
                for (qsizetype r = 0; r < m_data.recordCount() && m_ok; ++r)
                    copy(row.begin, row.end, r);
            } else {
                // Card rows one after another (blanks or empty paragraphs between) are the
                // shapes a card may take: each card goes
                // through the rows that show only items it has (of those any card has), so a
                // file can mix titles, lines and totals.
                // The bytes before a row (an empty paragraph that starts a new table) go
                // with it.
                for (qsizetype r = 0; r < m_data.recordCount() && m_ok; ++r)
                    for (qsizetype k = i; k <= last; ++k)
                        if (fits(k, r)) {
                            if (k > i)
                                copy(rows[k - 1].end, rows[k].begin, r);
                            copyRow(k, r);
                        }
            }
            pos = rows[last].end;
            i = last;
        }
        copy(pos, bytes.size(), 0);
        flush();
        return m_ok;
    }

private:
    // The item indexes of the placeholders in bytes [from, to) that some card holds.
    QList<int> heldItems(qsizetype from, qsizetype to) const {
        QList<int> items;
        for (auto e = firstEdit(from); e != m_t.edits().cend() && e->end <= to; ++e) {
            const Source& s = m_sources.at(e->placeholder);
            if (e->insert && s.kind == Source::Item && m_data.anyHolds(s.item))
                items.append(s.item);
        }
        return items;
    }

    bool fits(qsizetype row, qsizetype record) {
        if (!m_rowItems.contains(row)) {
            const RtfRow& r = m_t.rows().at(row);
            m_rowItems.insert(row, heldItems(r.begin, r.end));
        }
        for (int item : m_rowItems[row])
            if (!m_data.holds(record, item))
                return false;
        return true;
    }

    // In rows of several shapes, a cell (never the first) whose placeholders are all items no
    // card has is left out of the row, its width with it, so that a table of three columns
    // does not print twelve. A lone card row keeps every cell: a list's columns stay put.
    QList<int> droppedCells(const RtfRow& row) const {
        QList<int> dropped;
        for (qsizetype c = 1; c < row.cells.size(); ++c) {
            bool item = false, empty = true;
            for (auto e = firstEdit(row.cells[c - 1].end);
                 e != m_t.edits().cend() && e->end <= row.cells[c].end; ++e) {
                if (!e->insert)
                    continue;
                const Source& s = m_sources.at(e->placeholder);
                item = item || s.kind == Source::Item;
                empty = empty && s.kind == Source::Item && !m_data.anyHolds(s.item);
            }
            if (item && empty)
                dropped.append(static_cast<int>(c));
        }
        return dropped;
    }

    void copyRow(qsizetype index, qsizetype record) {
        const RtfRow& row = m_t.rows().at(index);
        if (!m_dropped.contains(index))
            m_dropped.insert(index, droppedCells(row));
        const QList<int>& dropped = m_dropped[index];
        if (dropped.isEmpty()) {
            copy(row.begin, row.end, record);
            return;
        }
        const auto& cells = row.cells;
        qsizetype pos = row.begin;
        int shift = 0;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (dropped.contains(static_cast<int>(c))) {
                copy(pos, cells[c - 1].cellxEnd, record);
                pos = cells[c].cellxEnd;
                shift += cells[c].right - cells[c - 1].right;
            } else if (shift > 0) {
                copy(pos, cells[c].cellxBegin, record);
                m_buffer.append("\\cellx" + QByteArray::number(cells[c].right - shift) + ' ');
                pos = cells[c].cellxEnd;
            }
        }
        for (int c : dropped) {
            copy(pos, cells[c - 1].end, record);
            pos = cells[c].end;
        }
        copy(pos, row.end, record);
    }

    bool isCardRow(const RtfRow& row) const {
        for (auto e = firstEdit(row.begin); e != m_t.edits().cend() && e->end <= row.end; ++e)
            if (e->insert && m_sources.at(e->placeholder).kind == Source::Item)
                return true;
        return false;
    }

    QList<RtfEdit>::const_iterator firstEdit(qsizetype from) const {
        return std::lower_bound(m_t.edits().cbegin(), m_t.edits().cend(), from,
                                [](const RtfEdit& e, qsizetype at) { return e.begin < at; });
    }

    // Copies template bytes [from, to) with their edits, filling items from card `record`.
    void copy(qsizetype from, qsizetype to, qsizetype record) {
        if (from > to || to > m_t.bytes().size())
            throw ReportError(QStringLiteral("Шаблон отчёта не удалось разобрать: часть "
                                             "документа с байта %1 по байт %2 перепутана")
                                  .arg(from)
                                  .arg(to));
        const char* p = m_t.bytes().constData();
        qsizetype pos = from;
        for (auto e = firstEdit(from); e != m_t.edits().cend() && e->end <= to; ++e) {
            if (e->begin < pos)
                throw ReportError(QStringLiteral("Шаблон отчёта не удалось разобрать: поля "
                                                 "перекрываются у байта %1")
                                      .arg(e->begin));
            m_buffer.append(p + pos, e->begin - pos);
            if (e->bareWordBefore)
                m_buffer.append(' ');
            if (e->insert) {
                const Source& s = m_sources.at(e->placeholder);
                const int skip = m_t.placeholders().at(e->placeholder).unicodeSkip;
                if (s.kind == Source::Header)
                    appendRtfText(m_buffer, s.header, skip);
                else if (s.kind == Source::Item)
                    appendRtfText(m_buffer, m_data.item(record, s.item), skip);
            }
            pos = e->end;
            if (m_buffer.size() > kFlushSize)
                flush();
        }
        m_buffer.append(p + pos, to - pos);
        if (m_buffer.size() > kFlushSize)
            flush();
    }

    void flush() {
        m_written += m_buffer.size();
        if (m_written > m_limit)
            throw ReportError(
                QStringLiteral("Отчёт получился бы больше %1 МБ — больше, чем в %2 раза "
                               "превышает его шаблон и данные. В файле данных слишком много "
                               "карточек для этого шаблона")
                    .arg(m_limit >> 20)
                    .arg(kOutputPerInputByte));
        if (m_ok && !m_buffer.isEmpty() && m_out.write(m_buffer) != m_buffer.size())
            m_ok = false;
        m_buffer.clear();
    }

    const RtfTemplate& m_t;
    const ReportData& m_data;
    QIODevice& m_out;
    QList<Source> m_sources;
    // Per card row, worked out at its first copy: the cells left out, the items a card needs.
    QHash<qsizetype, QList<int>> m_dropped;
    QHash<qsizetype, QList<int>> m_rowItems;
    QByteArray m_buffer;
    bool m_ok = true;
    qint64 m_written = 0;
    qint64 m_limit = 0;
};

} // namespace

qint64 reportSizeLimit(qint64 templateBytes, qint64 dataBytes) {
    return kOutputPerInputByte * (templateBytes + dataBytes) + kOutputAllowance;
}

void appendRtfText(QByteArray& out, const QString& text, int unicodeSkip) {
    if (unicodeSkip != 1) {
        // One '?' after each \uN, whatever \ucN the template has there: the value gets a
        // group of its own, which changes no formatting.
        out.append("{\\uc1 ");
        appendRtfText(out, text, 1);
        out.append('}');
        return;
    }
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case '\\':
            out.append("\\\\");
            continue;
        case '{':
            out.append("\\{");
            continue;
        case '}':
            out.append("\\}");
            continue;
        case '\r':
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out.append("\\line ");
            continue;
        case '\n':
            out.append("\\line ");
            continue;
        case '\t':
            out.append("\\tab ");
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;
        if (c < 0x80) {
            out.append(static_cast<char>(c));
            continue;
        }
        char number[16] = "\\u";
        const auto end = std::to_chars(number + 2, number + sizeof number,
                                       static_cast<int>(static_cast<int16_t>(c)));
        out.append(number, end.ptr - number);
        out.append('?');
    }
}

bool mergeReport(const RtfTemplate& report, const ReportData& data, QIODevice& out) {
    return Writer(report, data, out).run();
}

QByteArray mergeReport(const RtfTemplate& report, const ReportData& data) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    mergeReport(report, data, buffer);
    return bytes;
}

RtfTemplate readTemplate(const QString& path, const ReportData& data) {
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, kLargestTemplate);
    } catch (const FileError& e) {
        throw ReportError(
            QStringLiteral("Не удалось прочитать шаблон отчёта (%1):\n%2").arg(e.message(), path));
    }
    try {
        return RtfTemplate(std::move(bytes),
                           [&](const QString& key) { return data.isKnownKey(key); });
    } catch (const RtfSyntaxError& e) {
        throw ReportError(QStringLiteral("Шаблон отчёта повреждён (%1, байт %2):\n%3")
                              .arg(QString::fromUtf8(e.what()))
                              .arg(e.offset())
                              .arg(path));
    }
}

} // namespace zelm::reportf
