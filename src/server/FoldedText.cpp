#include "server/FoldedText.h"

#include "store/Cp1251.h"
#include "store/Cp1251Lower.h"

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

QByteArray foldedTextsLiteral(const TAnketa& card) {
    static const char hex[] = "0123456789abcdef";
    const auto& t = foldTable();
    const auto* base = reinterpret_cast<const std::uint8_t*>(&card);
    QByteArray out;
    out.reserve(1600);
    out += '{';
    bool first = true;
    for (const TextFieldPlace& f : cardTextFields()) {
        if (!first)
            out += ',';
        first = false;
        // The field's bytes as its length byte counts them, no more than it can hold: what a
        // search of the file compares.
        const std::uint8_t* field = base + f.offset;
        const int length = field[0] > f.capacity ? f.capacity : field[0];
        out += "\"\\\\x";
        for (int i = 1; i <= length; ++i) {
            const std::uint8_t b = t[field[i]];
            out += hex[b >> 4];
            out += hex[b & 15];
        }
        out += '"';
    }
    out += '}';
    return out;
}

} // namespace zelm
