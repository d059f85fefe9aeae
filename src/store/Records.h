#pragma once
// The fixed on-disk records, byte for byte. Every stored file of the program is made of them,
// so the offsets are checked at compile time.
#include <QString>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zelm {

static_assert(std::endian::native == std::endian::little,
              "records are stored little-endian and read in place");

#pragma pack(push, 1)

// A length byte followed by the capacity in Windows-1251.
template <int N> struct PStr {
    std::uint8_t len;
    char data[N];

    static constexpr int capacity = N;
    // The stored text's length in bytes. A damaged record's length byte may claim more than
    // the text holds: a length past the capacity reads as the capacity, and the text ends at
    // its first NUL, so padding never shows as text.
    int size() const {
        const int n = len > N ? N : len;
        const void* nul = std::memchr(data, 0, static_cast<size_t>(n));
        return nul ? static_cast<int>(static_cast<const char*>(nul) - data) : n;
    }
    QString text() const;
    void set(const QString& value);
    void clear() {
        len = 0;
        std::memset(data, 0, N);
    }
};

struct TAnketa {
    std::int32_t Klu4Form1;
    PStr<20> AdminFIO;
    char gap1[7];
    double DaWrSozd;
    double DWKorr;
    PStr<2> Otmetka;
    char gap2[1];
    std::int32_t GurN;
    double DataMer;
    PStr<20> INNOrg;
    PStr<20> NomKUSP;
    char gap3[6];
    double DateKUSP;
    PStr<20> FabKUSP;
    PStr<100> NameOrg;
    PStr<100> FormSobs;
    PStr<100> AdresOrg;
    PStr<50> Povod;
    PStr<50> VidORM;
    PStr<50> Osnovan;
    char gap4[3];
    double DataOsn;
    PStr<30> NomDokOsn;
    PStr<50> Podrazd;
    PStr<50> DolgSotr;
    PStr<30> ZvanSotr;
    PStr<50> FIOSotr;
    PStr<50> DolgnUtv;
    PStr<30> ZvanUtv;
    PStr<50> FIOUtv;
    PStr<250> Rezultat;
    PStr<250> Prime4;
    char reserved[286];

    // An all-zero record: empty texts, dates at day 0.
    static TAnketa zeroed() {
        TAnketa a;
        std::memset(&a, 0, sizeof a);
        return a;
    }
};

struct TSpisFil {
    std::int32_t Klu4DK;
    char reserved1[5];
    PStr<50> ImaDok;
    PStr<200> SodFil;
    PStr<128> PutFil;
    char reserved2[58];

    static TSpisFil zeroed() {
        TSpisFil s;
        std::memset(&s, 0, sizeof s);
        return s;
    }
};

struct TDostup {
    PStr<2> Kod;
    char gap1[5];
    double Data;
    PStr<20> FIO;
    PStr<6> Parol;
    PStr<1> Dostup;
    char gap2[2];

    static TDostup zeroed() {
        TDostup d;
        std::memset(&d, 0, sizeof d);
        return d;
    }
};

#pragma pack(pop)

static_assert(sizeof(TAnketa) == 1744);
static_assert(offsetof(TAnketa, Klu4Form1) == 0);
static_assert(offsetof(TAnketa, AdminFIO) == 4);
static_assert(offsetof(TAnketa, DaWrSozd) == 32);
static_assert(offsetof(TAnketa, DWKorr) == 40);
static_assert(offsetof(TAnketa, Otmetka) == 48);
static_assert(offsetof(TAnketa, GurN) == 52);
static_assert(offsetof(TAnketa, DataMer) == 56);
static_assert(offsetof(TAnketa, INNOrg) == 64);
static_assert(offsetof(TAnketa, NomKUSP) == 85);
static_assert(offsetof(TAnketa, DateKUSP) == 112);
static_assert(offsetof(TAnketa, FabKUSP) == 120);
static_assert(offsetof(TAnketa, NameOrg) == 141);
static_assert(offsetof(TAnketa, FormSobs) == 242);
static_assert(offsetof(TAnketa, AdresOrg) == 343);
static_assert(offsetof(TAnketa, Povod) == 444);
static_assert(offsetof(TAnketa, VidORM) == 495);
static_assert(offsetof(TAnketa, Osnovan) == 546);
static_assert(offsetof(TAnketa, DataOsn) == 600);
static_assert(offsetof(TAnketa, NomDokOsn) == 608);
static_assert(offsetof(TAnketa, Podrazd) == 639);
static_assert(offsetof(TAnketa, DolgSotr) == 690);
static_assert(offsetof(TAnketa, ZvanSotr) == 741);
static_assert(offsetof(TAnketa, FIOSotr) == 772);
static_assert(offsetof(TAnketa, DolgnUtv) == 823);
static_assert(offsetof(TAnketa, ZvanUtv) == 874);
static_assert(offsetof(TAnketa, FIOUtv) == 905);
static_assert(offsetof(TAnketa, Rezultat) == 956);
static_assert(offsetof(TAnketa, Prime4) == 1207);
static_assert(offsetof(TAnketa, reserved) == 1458);

static_assert(sizeof(TSpisFil) == 448);
static_assert(offsetof(TSpisFil, Klu4DK) == 0);
static_assert(offsetof(TSpisFil, ImaDok) == 9);
static_assert(offsetof(TSpisFil, SodFil) == 60);
static_assert(offsetof(TSpisFil, PutFil) == 261);
static_assert(offsetof(TSpisFil, reserved2) == 390);

static_assert(sizeof(TDostup) == 48);
static_assert(offsetof(TDostup, Kod) == 0);
static_assert(offsetof(TDostup, Data) == 8);
static_assert(offsetof(TDostup, FIO) == 16);
static_assert(offsetof(TDostup, Parol) == 37);
static_assert(offsetof(TDostup, Dostup) == 44);

// The bytes the Result and the Note hold when stored.
inline constexpr int kMemoStoredBytes = 250;
// What the window's counters of bytes left count down from: they keep two bytes back, as
// the counters always have.
inline constexpr int kMemoCounterBytes = 248;

// Helpers for the free-text fields of a card, so code can treat them by name.
QString memoToStored(const QString& memoText); // line breaks become CR LF
QString storedToMemo(const QString& stored);   // CR LF becomes '\n'
// The bytes a memo's text takes when stored: a line break is CR LF, two bytes.
int memoStoredBytes(const QString& memoText);
// A memo's stored text cut to `capacity` bytes, never between the CR and the LF of a break.
QString cutStoredMemo(const QString& stored, int capacity);

} // namespace zelm
