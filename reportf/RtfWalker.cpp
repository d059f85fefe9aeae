#include "reportf/RtfWalker.h"

#include "store/Cp1251.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zelm::reportf {
namespace {

using namespace std::string_view_literals;

bool wordIs(QByteArrayView word, std::string_view name) {
    return word == QByteArrayView(name.data(), static_cast<qsizetype>(name.size()));
}

bool oneOf(QByteArrayView word, std::initializer_list<std::string_view> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view n) { return wordIs(word, n); });
}

// Destinations whose text is part of the document: placeholders are looked for in them.
bool isTextDestination(QByteArrayView w) {
    return oneOf(w, {"header"sv, "headerl"sv, "headerr"sv, "headerf"sv, "footer"sv, "footerl"sv,
                     "footerr"sv, "footerf"sv, "footnote"sv, "fldrslt"sv, "shptxt"sv});
}

// Destinations that hold no document text.
bool isOtherDestination(QByteArrayView w) {
    return oneOf(w, {"fonttbl"sv,    "colortbl"sv,
                     "stylesheet"sv, "info"sv,
                     "pict"sv,       "object"sv,
                     "objdata"sv,    "fldinst"sv,
                     "listtable"sv,  "listoverridetable"sv,
                     "revtbl"sv,     "rsidtbl"sv,
                     "filetbl"sv,    "xmlnstbl"sv,
                     "themedata"sv,  "colorschememapping"sv,
                     "datastore"sv,  "latentstyles"sv,
                     "listtext"sv,   "pntext"sv,
                     "pntxta"sv,     "pntxtb"sv,
                     "pn"sv,         "sp"sv,
                     "sn"sv,         "sv"sv,
                     "nonshppict"sv, "generator"sv,
                     "userprops"sv,  "bkmkstart"sv,
                     "bkmkend"sv,    "annotation"sv,
                     "atnid"sv,      "atnauthor"sv,
                     "title"sv,      "author"sv,
                     "operator"sv,   "subject"sv,
                     "keywords"sv,   "comment"sv,
                     "doccomm"sv,    "company"sv,
                     "ftnsep"sv,     "ftnsepc"sv,
                     "aftnsep"sv,    "aftnsepc"sv,
                     "pgdsctbl"sv,   "mmathPr"sv});
}

// Control words that stand for one character of text (cells and rows are left to the visitor).
char32_t characterOf(QByteArrayView w) {
    static const std::array<std::pair<std::string_view, char32_t>, 18> table = {{
        {"par"sv, U'\n'},
        {"sect"sv, U'\n'},
        {"page"sv, U'\n'},
        {"column"sv, U'\n'},
        {"line"sv, U'\u2028'},
        {"tab"sv, U'\t'},
        {"emdash"sv, U'\u2014'},
        {"endash"sv, U'\u2013'},
        {"bullet"sv, U'\u2022'},
        {"lquote"sv, U'\u2018'},
        {"rquote"sv, U'\u2019'},
        {"ldblquote"sv, U'\u201C'},
        {"rdblquote"sv, U'\u201D'},
        {"emspace"sv, U'\u2003'},
        {"enspace"sv, U'\u2002'},
        {"qmspace"sv, U'\u2005'},
        {"zwj"sv, U'\u200D'},
        {"zwnj"sv, U'\u200C'},
    }};
    for (const auto& [name, c] : table)
        if (wordIs(w, name))
            return c;
    return 0;
}

} // namespace

char32_t decodeByte(unsigned char byte, int codePage) {
    if (byte < 0x80)
        return byte;
    if (codePage == 1251) {
        const char b = static_cast<char>(byte);
        return fromCp1251(&b, 1).at(0).unicode();
    }
    return byte;
}

RtfWalker::RtfWalker(QByteArrayView bytes) : m_bytes(bytes) {}

int RtfWalker::codePageOf(int font) const {
    const auto found = m_fontCharsets.constFind(font);
    if (found != m_fontCharsets.cend()) {
        switch (found.value()) {
        case 204:
            return 1251;
        case 0:
            return 1252;
        case 1:
            return m_defaultCodePage;
        default:
            return 1252;
        }
    }
    return m_defaultCodePage;
}

void RtfWalker::emitChar(char32_t c, const RtfToken& t, RtfVisitor& v, bool plain) {
    v.character(c, t.begin, t.end, plain, t.begin == m_bareWordEnd);
}

void RtfWalker::controlWord(const RtfToken& t, RtfVisitor& v, bool& skipCounts) {
    Group& g = m_groups.last();
    const QByteArrayView w = t.word;
    if (g.fresh) {
        g.fresh = false;
        if (isTextDestination(w)) {
            g.stream = m_nextStream++;
            if (!oneOf(w, {"fldrslt"sv, "shptxt"sv}))
                g.textStream = g.stream;
        } else if (g.star || isOtherDestination(w)) {
            g.stream = kNoText;
            g.textStream = kNoText;
            g.fontTable = wordIs(w, "fonttbl"sv);
            g.inFontTable = g.inFontTable || g.fontTable;
        }
    }
    if (wordIs(w, "uc")) {
        g.uc = t.hasParam ? std::max(0, t.param) : 1;
        return;
    }
    if (wordIs(w, "u") && t.hasParam) {
        const char32_t c = static_cast<char16_t>(t.param < 0 ? t.param + 65536 : t.param);
        if (g.stream != kNoText)
            emitChar(c, t, v, false);
        m_skip = g.uc;
        skipCounts = false;
        return;
    }
    if (wordIs(w, "ansicpg") && t.hasParam) {
        m_defaultCodePage = t.param;
        return;
    }
    if (wordIs(w, "f") && t.hasParam) {
        if (g.inFontTable)
            m_fontBeingDefined = t.param;
        else
            g.font = t.param;
        return;
    }
    if (wordIs(w, "fcharset") && t.hasParam) {
        if (!m_fontCharsets.contains(m_fontBeingDefined)) // the first definition counts
            m_fontCharsets.insert(m_fontBeingDefined, t.param);
        return;
    }
    if (g.stream == kNoText)
        return;
    if (const char32_t c = characterOf(w))
        emitChar(c, t, v, false);
    v.controlWord(t);
}

qsizetype RtfWalker::walk(RtfVisitor& v) {
    if (!m_bytes.startsWith(QByteArrayView("{\\rtf")))
        throw RtfSyntaxError("файл не начинается с {\\rtf", 0);
    RtfTokenizer tokens(m_bytes);
    RtfToken t;
    while (tokens.next(t)) {
        // The fallback of \uN: text bytes, \'hh and control words count one unit each; a
        // brace ends it.
        bool skipCounts = m_skip > 0;
        switch (t.type) {
        case RtfTokenType::GroupOpen: {
            m_skip = 0;
            Group g;
            if (!m_groups.isEmpty()) {
                g = m_groups.last();
                m_groups.last().fresh = false;
            } else {
                g.stream = 0;
                g.textStream = 0;
                g.uc = 1;
            }
            g.openOffset = t.begin;
            g.fresh = true;
            g.star = false;
            m_groups.append(g);
            break;
        }
        case RtfTokenType::GroupClose: {
            m_skip = 0;
            if (m_groups.isEmpty())
                throw RtfSyntaxError("закрывающая скобка } без открывающей", t.begin);
            const qsizetype open = m_groups.last().openOffset;
            m_groups.removeLast();
            v.groupClosed(open, t.end);
            if (m_groups.isEmpty()) {
                for (qsizetype i = t.end; i < m_bytes.size(); ++i)
                    if (!QChar::isSpace(static_cast<unsigned char>(m_bytes[i])) &&
                        m_bytes[i] != '\0')
                        throw RtfSyntaxError("лишний текст после конца документа", i);
                return t.end;
            }
            break;
        }
        case RtfTokenType::Text: {
            const Group& g = m_groups.last();
            const char* p = m_bytes.data();
            for (qsizetype i = t.begin; i < t.end; ++i) {
                const char c = p[i];
                if (c == '\r' || c == '\n')
                    continue;
                if (m_skip > 0) {
                    --m_skip;
                    continue;
                }
                if (g.stream == kNoText)
                    continue;
                const auto byte = static_cast<unsigned char>(c);
                v.character(byte < 0x80 ? byte : decodeByte(byte, codePageOf(g.font)), i, i + 1,
                            true, i == m_bareWordEnd);
            }
            skipCounts = false;
            m_groups.last().fresh = false;
            break;
        }
        case RtfTokenType::ControlWord:
            if (skipCounts)
                --m_skip;
            else
                controlWord(t, v, skipCounts);
            if (!t.spaceDelimited)
                m_bareWordEnd = t.end;
            break;
        case RtfTokenType::ControlSymbol: {
            if (skipCounts) {
                --m_skip;
                break;
            }
            Group& g = m_groups.last();
            if (t.symbol == '*') {
                g.star = true;
                break;
            }
            g.fresh = false;
            if (g.stream == kNoText)
                break;
            switch (t.symbol) {
            case '\'':
                emitChar(decodeByte(static_cast<unsigned char>(t.hexValue), codePageOf(g.font)), t,
                         v, false);
                break;
            case '~':
                emitChar(U'\u00A0', t, v, false);
                break;
            case '_':
                emitChar(U'\u2011', t, v, false);
                break;
            case '\\':
            case '{':
            case '}':
                emitChar(static_cast<char32_t>(t.symbol), t, v, false);
                break;
            case '\r':
            case '\n':
                emitChar(U'\n', t, v, false);
                break;
            default:
                break;
            }
            break;
        }
        case RtfTokenType::Binary:
            break;
        }
    }
    throw RtfSyntaxError("документ обрывается: группа { не закрыта", m_bytes.size());
}

} // namespace zelm::reportf
