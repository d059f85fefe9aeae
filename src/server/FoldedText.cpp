#include "server/FoldedText.h"

#include "store/Cp1251.h"
#include "store/Cp1251Lower.h"

#include <algorithm>

namespace zelm {

const std::vector<TextFieldPlace>& cardTextFields() {
    static const std::vector<TextFieldPlace> fields = {
        {offsetof(TAnketa, AdminFIO), 20},  {offsetof(TAnketa, Otmetka), 2},
        {offsetof(TAnketa, INNOrg), 20},    {offsetof(TAnketa, NomKUSP), 20},
        {offsetof(TAnketa, FabKUSP), 20},   {offsetof(TAnketa, NameOrg), 100},
        {offsetof(TAnketa, FormSobs), 100}, {offsetof(TAnketa, AdresOrg), 100},
        {offsetof(TAnketa, Povod), 50},     {offsetof(TAnketa, VidORM), 50},
        {offsetof(TAnketa, Osnovan), 50},   {offsetof(TAnketa, NomDokOsn), 30},
        {offsetof(TAnketa, Podrazd), 50},   {offsetof(TAnketa, DolgSotr), 50},
        {offsetof(TAnketa, ZvanSotr), 30},  {offsetof(TAnketa, FIOSotr), 50},
        {offsetof(TAnketa, DolgnUtv), 50},  {offsetof(TAnketa, ZvanUtv), 30},
        {offsetof(TAnketa, FIOUtv), 50},    {offsetof(TAnketa, Rezultat), 250},
        {offsetof(TAnketa, Prime4), 250},
    };
    return fields;
}

int textFieldNumber(std::size_t offset) {
    const auto& fields = cardTextFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].offset == offset)
            return static_cast<int>(i) + 1;
    return 0;
}

const std::array<std::uint8_t, 256>& foldTable() {
    return cp1251LowerTable();
}

QByteArray foldBytes(QByteArray bytes) {
    return lowerCp1251(std::move(bytes));
}

namespace {

// The field's bytes as its length byte counts them, no more than it can hold: what a search of
// the file compares.
struct FieldText {
    const std::uint8_t* bytes;
    int length;
};
FieldText fieldText(const TAnketa& card, const TextFieldPlace& f) {
    const std::uint8_t* field = reinterpret_cast<const std::uint8_t*>(&card) + f.offset;
    return {field + 1, field[0] > f.capacity ? f.capacity : field[0]};
}

std::int32_t trigramKey(int field, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(field) << 24) |
                                     (std::uint32_t{a} << 16) | (std::uint32_t{b} << 8) | c);
}

void sortUnique(std::vector<std::int32_t>& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

} // namespace

QByteArray foldedTextsLiteral(const TAnketa& card) {
    static const char hex[] = "0123456789abcdef";
    const auto& t = foldTable();
    QByteArray out;
    out.reserve(1600);
    out += '{';
    bool first = true;
    for (const TextFieldPlace& f : cardTextFields()) {
        if (!first)
            out += ',';
        first = false;
        const FieldText text = fieldText(card, f);
        out += "\"\\\\x";
        for (int i = 0; i < text.length; ++i) {
            const std::uint8_t b = t[text.bytes[i]];
            out += hex[b >> 4];
            out += hex[b & 15];
        }
        out += '"';
    }
    out += '}';
    return out;
}

QByteArray foldedTextsArray(const TAnketa& card) {
    const auto& t = foldTable();
    const auto& fields = cardTextFields();
    QByteArray out;
    out.reserve(1600);
    const auto put = [&out](std::uint32_t v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        out.append(b, 4);
    };
    constexpr std::uint32_t kBytea = 17; // the element type's oid
    put(1);                              // dimensions
    put(0);                              // no nulls
    put(kBytea);
    put(static_cast<std::uint32_t>(fields.size()));
    put(1); // lower bound
    for (const TextFieldPlace& f : fields) {
        const FieldText text = fieldText(card, f);
        put(static_cast<std::uint32_t>(text.length));
        for (int i = 0; i < text.length; ++i)
            out += static_cast<char>(t[text.bytes[i]]);
    }
    return out;
}

std::vector<std::int32_t> searchKeys(const TAnketa& card) {
    const auto& t = foldTable();
    std::vector<std::int32_t> keys;
    keys.reserve(700);
    int number = 0;
    for (const TextFieldPlace& f : cardTextFields()) {
        ++number;
        const FieldText text = fieldText(card, f);
        for (int i = 0; i + 2 < text.length; ++i)
            keys.push_back(
                trigramKey(number, t[text.bytes[i]], t[text.bytes[i + 1]], t[text.bytes[i + 2]]));
    }
    sortUnique(keys);
    return keys;
}

std::vector<std::int32_t> searchKeys(int field, const QByteArray& foldedNeedle) {
    const auto* n = reinterpret_cast<const std::uint8_t*>(foldedNeedle.constData());
    std::vector<std::int32_t> keys;
    for (qsizetype i = 0; i + 2 < foldedNeedle.size(); ++i)
        keys.push_back(trigramKey(field, n[i], n[i + 1], n[i + 2]));
    sortUnique(keys);
    return keys;
}

QByteArray keysArray(const std::vector<std::int32_t>& keys) {
    QByteArray out;
    const auto put = [&out](std::uint32_t v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        out.append(b, 4);
    };
    constexpr std::uint32_t kInt4 = 23; // the element type's oid
    out.reserve(20 + static_cast<qsizetype>(keys.size()) * 8);
    put(keys.empty() ? 0 : 1); // dimensions
    put(0);                    // no nulls
    put(kInt4);
    if (!keys.empty()) {
        put(static_cast<std::uint32_t>(keys.size()));
        put(1); // lower bound
    }
    for (const std::int32_t k : keys) {
        put(4);
        put(static_cast<std::uint32_t>(k));
    }
    return out;
}

} // namespace zelm
