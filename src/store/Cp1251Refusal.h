#pragma once
// Typed text that Windows-1251 cannot hold is refused, never stored with '?' in place of what
// the user sees. Characters the code page has (typographic quotes and dashes, «№», the no-break
// space) pass and are stored as its bytes.
#include <QString>
#include <QStringList>

namespace zelm {

// The characters of `text` the code page cannot hold, each once, in order of first use: a
// visible one as itself ("😀", "中"), one that shows nothing by itself (a combining mark, a
// zero-width or control character) by its code ("U+200B").
QStringList charactersOutsideCp1251(const QString& text);

// The message refusing `text` typed into `what` ("Поле «Вид ОРМ»"), naming the characters;
// empty when the code page holds all of `text`.
QString cp1251Refusal(const QString& what, const QString& text);

} // namespace zelm
