#pragma once
// Splits RTF bytes into groups, control words, control symbols and text runs, keeping the byte
// range of every token so that a merge can copy the template's own bytes around its edits.
#include <QByteArray>
#include <QByteArrayView>
#include <stdexcept>
#include <string>

namespace zelm::reportf {

// The RTF cannot be read: cut short or with braces that do not pair up.
class RtfSyntaxError : public std::runtime_error {
public:
    RtfSyntaxError(const std::string& what, qsizetype offset)
        : std::runtime_error(what), m_offset(offset) {}
    qsizetype offset() const { return m_offset; }

private:
    qsizetype m_offset;
};

enum class RtfTokenType { GroupOpen, GroupClose, ControlWord, ControlSymbol, Text, Binary };

struct RtfToken {
    RtfTokenType type = RtfTokenType::Text;
    qsizetype begin = 0; // byte range in the source, a word's delimiting space included
    qsizetype end = 0;
    QByteArrayView word; // a control word's letters
    int param = 0;
    bool hasParam = false;
    bool spaceDelimited = false; // a control word that ends in its delimiting space
    char symbol = 0;             // a control symbol's character ('\'' for \'hh)
    int hexValue = 0;            // the byte of \'hh
};

class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView bytes) : m_bytes(bytes) {}
    // False at the end of the input; throws RtfSyntaxError on a token cut short.
    bool next(RtfToken& token);
    QByteArrayView bytes() const { return m_bytes; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_binaryLeft = 0;
};

} // namespace zelm::reportf
