#include "reportf/RtfMerge.h"

#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfTokenizer.h"
#include "store/FileError.h"
#include "store/RegularFiles.h"

#include <QBuffer>

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
        qsizetype pos = 0;
        for (const RtfRow& row : m_t.rows()) {
            copy(pos, row.begin, 0);
            if (isCardRow(row)) {
                for (qsizetype r = 0; r < m_data.recordCount() && m_ok; ++r)
                    copy(row.begin, row.end, r);
            } else {
                copy(row.begin, row.end, 0);
            }
            pos = row.end;
        }
        copy(pos, bytes.size(), 0);
        flush();
        return m_ok;
    }

private:
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
