#pragma once
// A report template read once: where its placeholders are, which bytes each one occupies, and
// which table rows it has. The merge then copies the template's bytes with these edits.
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace zelm::reportf {

struct RtfPlaceholder {
    QString key;
    int unicodeSkip = 1; // \ucN where the value goes
};

// Bytes [begin, end) of the template replaced in the output: by the placeholder's value when
// `insert`, else by nothing (the other characters of the placeholder).
struct RtfEdit {
    qsizetype begin = 0;
    qsizetype end = 0;
    int placeholder = 0;
    bool insert = false;
    // The bytes just before are a control word with no delimiting space: the output puts one
    // in, so that a value or the following text cannot run into the word.
    bool bareWordBefore = false;
};

// A table row from its \trowd to its \row, widened to whole groups.
struct RtfRow {
    qsizetype begin = 0;
    qsizetype end = 0;
    // Its cells when it defines each once, all before their contents, at one depth of groups
    // (as word processors write a plain row); otherwise empty, and the row is copied whole.
    // Cell i (i > 0) is defined by the bytes from the end of \cellx i-1 to the end of its own
    // \cellx, and holds the bytes from the end of the \cell before to the end of its own.
    struct Cell {
        qsizetype cellxBegin = 0;
        qsizetype cellxEnd = 0;
        int right = 0;     // the \cellx value: its right edge in twips
        qsizetype end = 0; // after its \cell
    };
    QList<Cell> cells;
    // The bytes since the row before hold no text and no unpaired brace (blanks, or an empty
    // paragraph that ends one table before the next): a merge may copy them with this row.
    bool joinsPrevious = false;
};

class RtfTemplate {
public:
    // Throws RtfSyntaxError. `isKey` tells the keys that the data file can fill; "#word#" with
    // any other word stays as it is.
    RtfTemplate(QByteArray bytes, const std::function<bool(const QString&)>& isKey);

    const QByteArray& bytes() const { return m_bytes; }
    const QList<RtfPlaceholder>& placeholders() const { return m_placeholders; }
    const QList<RtfEdit>& edits() const { return m_edits; } // ordered by position
    const QList<RtfRow>& rows() const { return m_rows; }
    qsizetype documentEnd() const { return m_end; }

private:
    friend class TemplateScanner;
    QByteArray m_bytes;
    QList<RtfPlaceholder> m_placeholders;
    QList<RtfEdit> m_edits;
    QList<RtfRow> m_rows;
    qsizetype m_end = 0;
};

} // namespace zelm::reportf
