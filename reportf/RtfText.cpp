#include "reportf/RtfText.h"

#include "reportf/RtfWalker.h"

namespace zelm::reportf {
namespace {

class TextCollector : public RtfVisitor {
public:
    explicit TextCollector(RtfWalker& walker) : m_walker(walker) {}

    void character(char32_t c, qsizetype, qsizetype, bool, bool) override {
        if (m_walker.textStream() != 0)
            return;
        const QString s = c == U'\u2028' ? QStringLiteral("\n") : QString::fromUcs4(&c, 1);
        result.text += s;
        if (c == U'\n' && !m_inTable)
            m_cell.clear();
        else
            m_cell += s;
    }

    void controlWord(const RtfToken& t) override {
        if (m_walker.textStream() != 0)
            return;
        const QByteArrayView w = t.word;
        if (w == QByteArrayView("intbl")) {
            m_inTable = true;
        } else if (w == QByteArrayView("pard")) {
            m_inTable = false;
        } else if (w == QByteArrayView("cell")) {
            result.text += QLatin1Char('\t');
            m_cells.append(m_cell);
            m_cell.clear();
        } else if (w == QByteArrayView("row")) {
            result.text += QLatin1Char('\n');
            result.rows.append(m_cells);
            m_cells.clear();
            m_cell.clear();
        }
    }

    void groupClosed(qsizetype, qsizetype) override {}

    RtfText result;

private:
    RtfWalker& m_walker;
    bool m_inTable = false;
    QString m_cell;
    QStringList m_cells;
};

} // namespace

RtfText rtfText(const QByteArray& bytes) {
    RtfWalker walker(bytes);
    TextCollector collector(walker);
    walker.walk(collector);
    return collector.result;
}

} // namespace zelm::reportf
