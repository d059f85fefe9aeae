#pragma once
// Reads RTF the way a word processor does: groups, destinations, \ucN and the fallback of \uN,
// \'hh in the font's code page. Reports each character of the document's text with the bytes it
// came from, so the merge can find placeholders however a word processor split them.
#include "reportf/RtfTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QList>

namespace zelm::reportf {

class RtfVisitor {
public:
    virtual ~RtfVisitor() = default;
    // One character of text. `plain` when it is one byte of a text run; `bareBefore` when the
    // token just before it is a control word without its delimiting space.
    virtual void character(char32_t c, qsizetype begin, qsizetype end, bool plain,
                           bool bareBefore) = 0;
    // Every control word read in a text stream (after the walker has used it).
    virtual void controlWord(const RtfToken& token) = 0;
    // A group has closed; `openOffset` is where its '{' stood, `closeEnd` just after its '}'.
    virtual void groupClosed(qsizetype openOffset, qsizetype closeEnd) = 0;
};

class RtfWalker {
public:
    // Streams: 0 is the body; every header, footer, footnote or field result gets its own
    // number so that text on either side of it still joins up; -1 is not text (font table,
    // pictures, bookmarks, \* destinations, ...).
    static constexpr int kNoText = -1;

    explicit RtfWalker(QByteArrayView bytes);
    // Walks the whole document; throws RtfSyntaxError when it is not RTF, cut short or with
    // unpaired braces. Returns the offset just after the document's closing brace.
    qsizetype walk(RtfVisitor& visitor);

    int stream() const { return m_groups.isEmpty() ? kNoText : m_groups.last().stream; }
    // The stream whose running text this is: a field result reads as part of the text around
    // it, a page header does not.
    int textStream() const { return m_groups.isEmpty() ? kNoText : m_groups.last().textStream; }
    int depth() const { return static_cast<int>(m_groups.size()); }
    int unicodeSkip() const { return m_groups.isEmpty() ? 1 : m_groups.last().uc; }

private:
    struct Group {
        int stream = kNoText;
        int textStream = kNoText;
        int uc = 1;
        int font = -1;
        qsizetype openOffset = 0;
        bool fresh = true; // no token read in it yet: it may still name a destination
        bool star = false;
        bool fontTable = false;
        bool inFontTable = false; // this group or one around it is the font table
    };

    void controlWord(const RtfToken& t, RtfVisitor& v, bool& skipCounts);
    void emitChar(char32_t c, const RtfToken& t, RtfVisitor& v, bool plain);
    int codePageOf(int font) const;

    QByteArrayView m_bytes;
    QList<Group> m_groups;
    QHash<int, int> m_fontCharsets; // font number -> \fcharset
    int m_defaultCodePage = 1252;
    int m_nextStream = 1;
    int m_skip = 0;               // fallback units of \uN still to skip
    int m_fontBeingDefined = -1;  // in the font table
    qsizetype m_bareWordEnd = -1; // end of the last control word that had no delimiting space
};

// Unicode of one byte in a Windows code page (1251 exactly, others as Latin-1).
char32_t decodeByte(unsigned char byte, int codePage);

} // namespace zelm::reportf
