#include "ArcGlobals.h"

#include <array>
#include <cmath>
#include <cstdio>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace orvello::archive {

namespace {

// Eight tables for "slicing by 8" of a reflected CRC with polynomial `poly`: table k maps a
// byte that is k positions further back in the input to its contribution, so eight bytes fold
// in with eight look-ups.
template <typename T>
constexpr std::array<std::array<T, 256>, 8> SlicingTables(T poly) {
    std::array<std::array<T, 256>, 8> t{};
    for (unsigned i = 0; i < 256; ++i) {
        T c = static_cast<T>(i);
        for (int k = 0; k < 8; ++k)
            c = static_cast<T>((c & 1) ? (c >> 1) ^ poly : c >> 1);
        t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (std::size_t i = 0; i < 256; ++i)
            t[k][i] = static_cast<T>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    }
    return t;
}

constexpr auto kCrc32Tables = SlicingTables<std::uint32_t>(0xEDB88320u);
constexpr auto kCrc16Tables = SlicingTables<std::uint16_t>(0xA001u);

// Days from 1970-01-01 to a civil date (Howard Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// 1899-12-30 is 25569 days before 1970-01-01.
constexpr std::int64_t kDelphiToUnixDays = 25569;

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

struct DosFields {
    int year, month, day, hour, minute, second;
};

bool SplitDos(std::uint32_t dos, DosFields& f) {
    if (dos == 0) return false;
    const std::uint32_t date = dos >> 16, time = dos & 0xFFFF;
    f.year = 1980 + static_cast<int>(date >> 9);
    f.month = static_cast<int>((date >> 5) & 15);
    f.day = static_cast<int>(date & 31);
    f.hour = static_cast<int>(time >> 11);
    f.minute = static_cast<int>((time >> 5) & 63);
    f.second = static_cast<int>(time & 31) * 2;
    return f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= DaysInMonth(f.year, f.month) &&
           f.hour < 24 && f.minute < 60 && f.second < 60;
}

}  // namespace

namespace crc32_methods {

std::uint32_t Table(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = kCrc32Tables;
    while (n >= 8) {
        const std::uint32_t lo =
            reg ^ (static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                   static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        reg = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        reg = (reg >> 8) ^ t[0][(reg ^ *p++) & 0xFF];
    return reg;
}

#if defined(__x86_64__)

namespace {

// Folding with carry-less multiplication (the method of Intel's white paper "Fast CRC
// Computation for Generic Polynomials Using PCLMULQDQ Instruction").
//
// Read in the reflected bit order of this CRC, 16 input bytes are a polynomial of degree below
// 128 whose highest term is bit 0 of the first byte; the low 64-bit half of an XMM register
// holds the terms x^127..x^64 (H) and the high half x^63..x^0 (L). A block A followed, D bits
// later, by a block B of the same length stands for A * x^D + B, and modulo the CRC
// polynomial P
//
//     A * x^D = H * x^(D+64) + L * x^D  =  H * (x^(D+64) mod P) + L * (x^D mod P),
//
// which is one 64 x 32 bit carry-less product per half, of degree below 96: it fits in 128
// bits and can be XORed onto B. Carry-less multiplication of two reflected 64-bit values gives
// the reflected product one place too low, which the constants make up for: each is
// x^(e - 32) mod P, bit-reversed in 32 bits and shifted up by one (33 significant bits).
//
// The loop keeps four such blocks in flight (D = 512) to hide the multiplier's latency, folds
// them into one (D = 128), and folds any further whole 16-byte blocks in one at a time. What
// remains is a 128-bit value congruent to everything folded so far; its CRC from a zero
// register, by the table method, is the register the bytes would have left, and the last few
// bytes go through the table too. The incoming register is XORed into the first four bytes,
// which is what starting from it amounts to.

// x^e mod P, with P = x^32 + 0x04C11DB7 in the normal bit order (bit j is the term x^j).
constexpr std::uint32_t PowerModP(unsigned e) {
    std::uint32_t r = 1;  // x^0
    for (unsigned i = 0; i < e; ++i)
        r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    return r;
}

constexpr std::uint32_t Reverse32(std::uint32_t v) {
    std::uint32_t r = 0;
    for (int i = 0; i < 32; ++i)
        r |= ((v >> i) & 1u) << (31 - i);
    return r;
}

// The fold constant for a term x^e of the product, as described above.
constexpr std::uint64_t FoldConstant(unsigned e) {
    return std::uint64_t{Reverse32(PowerModP(e - 32))} << 1;
}

// For D = 512: the high half by x^(D+64), the low half by x^D; likewise for D = 128.
constexpr std::uint64_t kFold512Hi = FoldConstant(512 + 64);
constexpr std::uint64_t kFold512Lo = FoldConstant(512);
constexpr std::uint64_t kFold128Hi = FoldConstant(128 + 64);
constexpr std::uint64_t kFold128Lo = FoldConstant(128);

// The constants of the white paper, as a check on the derivation above.
static_assert(kFold512Hi == 0x154442bd4u && kFold512Lo == 0x1c6e41596u);
static_assert(kFold128Hi == 0x1751997d0u && kFold128Lo == 0x0ccaa009eu);

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i a, __m128i k) {
    // k holds the constant for the H half (low lane) and the one for L (high lane).
    return _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11));
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

}  // namespace

bool HaveClmul() {
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return have;
}

__attribute__((target("pclmul,sse4.1"))) std::uint32_t Clmul(std::uint32_t reg,
                                                             const std::uint8_t* p, std::size_t n) {
    if (n < 64) return Table(reg, p, n);
    const __m128i k512 =
        _mm_set_epi64x(static_cast<long long>(kFold512Lo), static_cast<long long>(kFold512Hi));
    const __m128i k128 =
        _mm_set_epi64x(static_cast<long long>(kFold128Lo), static_cast<long long>(kFold128Hi));
    __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = Load(p + 16);
    __m128i x2 = Load(p + 32);
    __m128i x3 = Load(p + 48);
    p += 64;
    n -= 64;
    while (n >= 64) {
        x0 = _mm_xor_si128(Fold(x0, k512), Load(p));
        x1 = _mm_xor_si128(Fold(x1, k512), Load(p + 16));
        x2 = _mm_xor_si128(Fold(x2, k512), Load(p + 32));
        x3 = _mm_xor_si128(Fold(x3, k512), Load(p + 48));
        p += 64;
        n -= 64;
    }
    __m128i x = _mm_xor_si128(Fold(x0, k128), x1);
    x = _mm_xor_si128(Fold(x, k128), x2);
    x = _mm_xor_si128(Fold(x, k128), x3);
    while (n >= 16) {
        x = _mm_xor_si128(Fold(x, k128), Load(p));
        p += 16;
        n -= 16;
    }
    std::uint8_t folded[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), x);
    return Table(Table(0, folded, sizeof folded), p, n);
}

#else

bool HaveClmul() {
    return false;
}

std::uint32_t Clmul(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    return Table(reg, p, n);
}

#endif

}  // namespace crc32_methods

std::uint32_t Crc32Update(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    // Below a few hundred bytes the fixed cost of the folding (and of its last 16 bytes through
    // the table) is not worth it.
    if (n >= 256 && crc32_methods::HaveClmul()) return crc32_methods::Clmul(reg, p, n);
    return crc32_methods::Table(reg, p, n);
}

std::uint32_t Crc32Byte(std::uint32_t reg, std::uint8_t b) {
    return (reg >> 8) ^ kCrc32Tables[0][(reg ^ b) & 0xFF];
}

std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = kCrc16Tables;
    while (n >= 8) {
        const unsigned lo = reg ^ (p[0] | static_cast<unsigned>(p[1]) << 8);
        reg = t[7][lo & 0xFF] ^ t[6][lo >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
              t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n--)
        reg = static_cast<std::uint16_t>((reg >> 8) ^ t[0][(reg ^ *p++) & 0xFF]);
    return reg;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kDelphiToUnixDays;
    return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

TDateTime DosDateTimeToDateTime(std::uint32_t dos) {
    DosFields f{};
    if (!SplitDos(dos, f)) return kDosEpoch;
    return EncodeDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

TDateTime UnixTimeToDateTime(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return kDosEpoch;
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec);
}

bool DosDateTimeToUnix(std::uint32_t dos, std::time_t& out) {
    DosFields f{};
    if (!SplitDos(dos, f)) return false;
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    out = std::mktime(&tm);
    return out != static_cast<std::time_t>(-1);
}

std::string FormatDateTime(TDateTime dt) {
    auto total = static_cast<std::int64_t>(std::llround(dt * 86400.0));
    std::int64_t days = total / 86400;
    std::int64_t secs = total % 86400;
    if (secs < 0) {
        secs += 86400;
        days -= 1;
    }
    // civil_from_days, counted from 1970-01-01.
    std::int64_t z = days - kDelphiToUnixDays + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    if (y >= 0 && y <= 9999) {
        // The usual case, without the cost of snprintf (listings format one date per member).
        char t[] = "0000-00-00 00:00:00";
        const auto put2 = [&t](int at, unsigned v) {
            t[at] = static_cast<char>('0' + v / 10);
            t[at + 1] = static_cast<char>('0' + v % 10);
        };
        put2(0, static_cast<unsigned>(y / 100));
        put2(2, static_cast<unsigned>(y % 100));
        put2(5, m);
        put2(8, d);
        put2(11, static_cast<unsigned>(secs / 3600));
        put2(14, static_cast<unsigned>(secs / 60 % 60));
        put2(17, static_cast<unsigned>(secs % 60));
        return std::string(t, sizeof t - 1);
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                  static_cast<long long>(y), m, d, static_cast<long long>(secs / 3600),
                  static_cast<long long>(secs / 60 % 60), static_cast<long long>(secs % 60));
    return buf;
}

std::uint8_t CalcRatio(std::int64_t packed, std::int64_t unpacked) {
    if (packed == 0 || unpacked == 0 || packed >= unpacked) return 0;
    if (unpacked - packed > 100000) {
        packed /= 100;
        unpacked /= 100;
    }
    const std::int64_t r = (unpacked - packed) * 100 / unpacked;
    return static_cast<std::uint8_t>(r == 0 ? 1 : r);
}

}  // namespace orvello::archive
