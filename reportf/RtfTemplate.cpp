#include "reportf/RtfTemplate.h"

#include "reportf/RtfTokenizer.h"
#include "reportf/RtfWalker.h"

#include <QHash>

#include <algorithm>

namespace zelm::reportf {
namespace {

constexpr int kLongestKey = 64;

bool isKeyChar(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

struct Span {
    qsizetype begin;
    qsizetype end;
    bool bareBefore;
};

// The search for "#key#" in one stream of text.
struct Matcher {
    bool open = false;
    Span hash{};
    QString key;
    QList<Span> keyChars;
};

} // namespace

class TemplateScanner : public RtfVisitor {
public:
    TemplateScanner(RtfTemplate& t, RtfWalker& walker,
                    const std::function<bool(const QString&)>& isKey)
        : m_t(t), m_walker(walker), m_isKey(isKey) {}

    void character(char32_t c, qsizetype begin, qsizetype end, bool plain,
                   bool bareBefore) override {
        Matcher& m = m_matchers[m_walker.stream()];
        const Span span{begin, end, bareBefore};
        if (!m_inRow && m_walker.stream() == 0 && c != U'\n')
            m_textSinceRow = true;
        if (!plain) {
            m.open = false;
            return;
        }
        if (c == U'#') {
            if (m.open && !m.key.isEmpty() && m_isKey(m.key)) {
                addPlaceholder(m, span);
                m.open = false;
                return;
            }
            m.open = true;
            m.hash = span;
            m.key.clear();
            m.keyChars.clear();
            return;
        }
        if (m.open && isKeyChar(c) && m.key.size() < kLongestKey) {
            m.key.append(QChar(static_cast<char16_t>(c)));
            m.keyChars.append(span);
            return;
        }
        m.open = false;
    }

    void controlWord(const RtfToken& t) override {
        const bool inBody = m_walker.stream() == 0;
        if (t.word == QByteArrayView("trowd") || t.word == QByteArrayView("row") ||
            t.word == QByteArrayView("cell") || t.word == QByteArrayView("nestcell") ||
            t.word == QByteArrayView("nestrow"))
            m_matchers[m_walker.stream()].open = false;
        if (!inBody)
            return;
        if (t.word == QByteArrayView("trowd") && !m_inRow) {
            m_inRow = true;
            m_rowEnding = false;
            m_row = {};
            m_row.begin = t.begin;
            m_rowDepth = m_walker.depth();
            m_row.joinsPrevious = m_endedAtRow && !m_textSinceRow &&
                                  m_minDepthSinceRow >= m_rowDepth && m_depthAfterRow == m_rowDepth;
            m_cellDepth = m_rowDepth;
            m_cellsPlain = true;
            m_contents = 0;
        } else if (m_inRow && !m_rowEnding && t.word == QByteArrayView("cellx")) {
            // A definition after a cell's contents (Word repeats them at the row's end).
            if (m_contents > 0 || m_walker.depth() != m_cellDepth)
                m_cellsPlain = false;
            m_row.cells.append({t.begin, t.end, t.param, 0});
        } else if (m_inRow && !m_rowEnding && t.word == QByteArrayView("cell")) {
            if (m_contents >= m_row.cells.size() || m_walker.depth() != m_cellDepth)
                m_cellsPlain = false;
            else
                m_row.cells[m_contents].end = t.end;
            ++m_contents;
        } else if (m_inRow && (t.word == QByteArrayView("nestcell") ||
                               (t.word == QByteArrayView("itap") && t.param > 1))) {
            m_cellsPlain = false;
        } else if (t.word == QByteArrayView("row") && m_inRow) {
            m_row.end = t.end;
            m_rowEnding = true;
            if (m_walker.depth() == m_rowDepth) {
                finishRow();
                m_endedAtRow = true;
                m_depthAfterRow = m_minDepthSinceRow = m_walker.depth();
            }
        }
    }

    void groupClosed(qsizetype openOffset, qsizetype closeEnd) override {
        if (!m_inRow) {
            m_minDepthSinceRow = std::min(m_minDepthSinceRow, m_walker.depth());
            return;
        }
        const int depth = m_walker.depth();
        if (depth < m_rowDepth) {
            // The group that held the row's start has closed: the row takes in the whole group.
            m_rowDepth = depth;
            m_row.begin = openOffset;
        }
        if (m_rowEnding && depth == m_rowDepth) {
            m_row.end = closeEnd;
            finishRow();
        }
    }

private:
    void addPlaceholder(Matcher& m, const Span& closing) {
        const int index = static_cast<int>(m_t.m_placeholders.size());
        m_t.m_placeholders.append({m.key, m_walker.unicodeSkip()});
        auto add = [&](const Span& s, bool insert) {
            m_t.m_edits.append({s.begin, s.end, index, insert, s.bareBefore});
        };
        add(m.hash, true);
        for (const Span& s : m.keyChars)
            add(s, false);
        add(closing, false);
    }

    void finishRow() {
        // A row widened to the group that held its start may reach back over the row before
        // (rows inside a group that closes between them): copied per card it would repeat
        // half of that row and leave braces unpaired.
        if (!m_t.m_rows.isEmpty() && m_row.begin < m_t.m_rows.last().end)
            throw RtfSyntaxError("строки таблицы перекрываются: строка начинается внутри "
                                 "группы, которая закрывается после предыдущей строки",
                                 m_row.begin);
        if (!m_cellsPlain || m_contents != m_row.cells.size())
            m_row.cells.clear();
        m_t.m_rows.append(m_row);
        m_inRow = false;
        m_rowEnding = false;
        m_textSinceRow = false;
        m_endedAtRow = false; // set again by a row that ends at its \row
    }

    RtfTemplate& m_t;
    RtfWalker& m_walker;
    const std::function<bool(const QString&)>& m_isKey;
    QHash<int, Matcher> m_matchers;
    bool m_inRow = false;
    bool m_rowEnding = false;
    int m_rowDepth = 0;
    int m_cellDepth = 0;
    bool m_cellsPlain = true;
    qsizetype m_contents = 0; // \cell words read in the row
    // Since the last row: any text, the shallowest depth of groups, and where that row ended.
    bool m_textSinceRow = false;
    bool m_endedAtRow = false;
    int m_minDepthSinceRow = 0;
    int m_depthAfterRow = 0;
    RtfRow m_row;
};

RtfTemplate::RtfTemplate(QByteArray bytes, const std::function<bool(const QString&)>& isKey)
    : m_bytes(std::move(bytes)) {
    RtfWalker walker(m_bytes);
    TemplateScanner scanner(*this, walker, isKey);
    m_end = walker.walk(scanner);
    std::sort(m_edits.begin(), m_edits.end(),
              [](const RtfEdit& a, const RtfEdit& b) { return a.begin < b.begin; });
}

} // namespace zelm::reportf
