#pragma once
// What the server searches instead of the records: each text field of a card lower-cased byte
// by byte in Windows-1251, and its three dates. Search conditions are filled in by the caller
// the same way, so the server picks out the cards a search on the files would find; the caller
// then checks the few it was sent with its own matcher.
#include "store/CardFilter.h"
#include "store/Records.h"

#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelm {

struct TextFieldPlace {
    std::size_t offset; // of the length byte
    int capacity;
};
// Every text field of a card, in record order.
const std::vector<TextFieldPlace>& cardTextFields();
// 1-based position of the field at `offset` in cardTextFields(), 0 when none lies there.
int textFieldNumber(std::size_t offset);

// The lower-case byte of each Windows-1251 byte, as QString::toLower gives it.
const std::array<std::uint8_t, 256>& foldTable();
QByteArray foldBytes(QByteArray bytes);

// The text array of a record in PostgreSQL's literal form, for a bytea[] parameter.
QByteArray foldedTextsLiteral(const TAnketa& card);
// The same array in PostgreSQL's binary form of bytea[], for COPY's binary rows.
QByteArray foldedTextsArray(const TAnketa& card);

// Every three successive folded bytes of a field, keyed with the field's number. A field holds a
// needle of three bytes or more only if it holds all of the needle's keys, so the server's index
// of the keys hands a search the few cards that may pass instead of testing every card.
std::vector<std::int32_t> searchKeys(const TAnketa& card); // sorted, each once
// The keys a folded needle must find in field `field` (1-based); none when it is too short.
std::vector<std::int32_t> searchKeys(int field, const QByteArray& foldedNeedle);
// Keys in PostgreSQL's binary form of integer[], for a binary parameter: the server takes a
// card's five hundred keys without parsing their digits.
QByteArray keysArray(const std::vector<std::int32_t>& keys);

} // namespace zelm
