#include "reportf/RtfTokenizer.h"

namespace zelm::reportf {
namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexDigit(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool RtfTokenizer::next(RtfToken& t) {
    const qsizetype n = m_bytes.size();
    if (m_pos >= n) {
        if (m_binaryLeft > 0)
            throw RtfSyntaxError("двоичные данные обрываются", m_pos);
        return false;
    }
    const char* p = m_bytes.data();
    t = RtfToken{};
    t.begin = m_pos;
    if (m_binaryLeft > 0) {
        if (n - m_pos < m_binaryLeft)
            throw RtfSyntaxError("двоичные данные обрываются", m_pos);
        t.type = RtfTokenType::Binary;
        m_pos += m_binaryLeft;
        m_binaryLeft = 0;
        t.end = m_pos;
        return true;
    }
    const char c = p[m_pos];
    if (c == '{' || c == '}') {
        t.type = c == '{' ? RtfTokenType::GroupOpen : RtfTokenType::GroupClose;
        t.end = ++m_pos;
        return true;
    }
    if (c != '\\') {
        qsizetype i = m_pos;
        while (i < n && p[i] != '\\' && p[i] != '{' && p[i] != '}')
            ++i;
        t.type = RtfTokenType::Text;
        t.end = m_pos = i;
        return true;
    }
    // A backslash: a control word or a control symbol.
    qsizetype i = m_pos + 1;
    if (i >= n)
        throw RtfSyntaxError("документ обрывается на управляющем слове", m_pos);
    if (!isLetter(p[i])) {
        t.type = RtfTokenType::ControlSymbol;
        t.symbol = p[i];
        ++i;
        if (t.symbol == '\'') {
            if (i + 2 > n)
                throw RtfSyntaxError("документ обрывается на \\'hh", m_pos);
            const int hi = hexDigit(p[i]);
            const int lo = hexDigit(p[i + 1]);
            if (hi < 0 || lo < 0)
                throw RtfSyntaxError("после \\' нет двух шестнадцатеричных цифр", m_pos);
            t.hexValue = hi * 16 + lo;
            i += 2;
        }
        t.end = m_pos = i;
        return true;
    }
    const qsizetype wordStart = i;
    while (i < n && isLetter(p[i]) && i - wordStart < 64)
        ++i;
    t.type = RtfTokenType::ControlWord;
    t.word = m_bytes.sliced(wordStart, i - wordStart);
    bool negative = false;
    if (i < n && p[i] == '-' && i + 1 < n && isDigit(p[i + 1])) {
        negative = true;
        ++i;
    }
    if (i < n && isDigit(p[i])) {
        long long value = 0;
        const qsizetype digitsStart = i;
        while (i < n && isDigit(p[i])) {
            if (i - digitsStart < 10)
                value = value * 10 + (p[i] - '0');
            ++i;
        }
        if (value > 0x7fffffffLL)
            value = 0x7fffffffLL;
        t.hasParam = true;
        t.param = static_cast<int>(negative ? -value : value);
    }
    if (i < n && p[i] == ' ') {
        t.spaceDelimited = true;
        ++i;
    }
    t.end = m_pos = i;
    if (t.word == QByteArrayView("bin") && t.hasParam && t.param > 0)
        m_binaryLeft = t.param;
    return true;
}

} // namespace zelm::reportf
