#pragma once
// The keys of the report data files, which the card index and the statistics write and the
// report program reads: one list per file, in the order the lines or items are written. The
// report program takes a key named here as known even when a file leaves it out, so that a
// template's field of it prints blank rather than as "#key#".
#include <QLatin1String>

#include <array>
#include <string_view>

namespace zelm::reportkeys {

using Keys = std::string_view;

inline QLatin1String text(Keys key) {
    return QLatin1String(key.data(), static_cast<qsizetype>(key.size()));
}

// PolnDat.txt: the whole card shown, one line each.
inline constexpr std::array<Keys, 23> kFullCard = {
    "wladelec",  "DataMer",    "INNOrg",   "NameOrg",   "FormSobs", "adres",
    "DateKUSP",  "NomKUSP",    "Povod",    "VidORM",    "Osnovan",  "DataOsn",
    "NomDokOsn", "ispolnitel", "utverdil", "Rezultat",  "Prime4",   "DaWrSozd",
    "DWKorr",    "AdminFIO",   "GurN",     "Klu4Form1", "Otmetka"};

// KnigaDat.txt: the owner's line, then one row of items per card of the Working card file.
inline constexpr std::array<Keys, 1> kMeasureListHead = {"wladelec"};
inline constexpr std::array<Keys, 18> kMeasureRow = {
    "n",        "NameOrg",    "FormSobs", "adres",   "DM",        "INNOrg",
    "Rezultat", "Prime4",     "Osnovan",  "DataOsn", "NomDokOsn", "Povod",
    "VidORM",   "ispolnitel", "utverdil", "DKUSP",   "NKUSP",     "FabKUSP"};

// Kona8Dat.txt and Kona9Dat.txt: the envelope's sender and addressee, one line each.
inline constexpr std::array<Keys, 13> kEnvelope = {
    "Wladelec", "Gorod",  "OblKr",  "UlDom",  "PoIn",   "kWladelec", "kDolgn",
    "kPredpr",  "kGorod", "kOblKr", "kRaion", "kUlDom", "kPoIn"};

// StatDat.txt: the query's lines, then one row of items per line of the table: its name, the
// marker of its kind, up to kStatColumns counts ("k1"…), the block's total and, when the
// period takes several blocks, the period's total.
inline constexpr std::array<Keys, 9> kStatHead = {
    "wladelec", "Istochnik", "Stroki", "Stolbcy", "S", "Po", "Data", "Prochitano", "Uchteno"};
inline constexpr int kStatColumns = 12;
inline constexpr Keys kStatName = "Nazv";
inline constexpr Keys kStatHeading = "Zagolovok";
inline constexpr Keys kStatLine = "Stroka";
inline constexpr Keys kStatTotals = "Itog";
inline constexpr Keys kStatColumnPrefix = "k";
inline constexpr Keys kStatBlockTotal = "Vsego";
inline constexpr Keys kStatPeriodTotal = "Period";

} // namespace zelm::reportkeys
