// Check values, date-time conversions and the compression ratio shared by every format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>

namespace orvello::archive {

// CRC-32 with the reflected polynomial 0xEDB88320, as ZIP and ARJ use it. The register
// starts at all ones and is inverted at the end; Crc32Update works on the raw register so
// a stream can be folded in pieces: reg = Crc32Update(reg, piece) starting from 0xFFFFFFFF.
std::uint32_t Crc32Update(std::uint32_t reg, const std::uint8_t* data, std::size_t n);
inline std::uint32_t Crc32(std::span<const std::uint8_t> data) {
    return ~Crc32Update(0xFFFFFFFFu, data.data(), data.size());
}

// CRC-16 with the reflected polynomial 0xA001, as ARC, LHA and ZOO use it. The register
// starts at 0 and is not inverted.
std::uint16_t Crc16Update(std::uint16_t reg, const std::uint8_t* data, std::size_t n);

// The shared one-byte step of both checks, for decoders that fold a byte at a time.
std::uint32_t Crc32Byte(std::uint32_t reg, std::uint8_t b);

// The two ways Crc32Update folds data in, exposed so that tests can hold them against each
// other. Crc32Update picks the carry-less multiplication one when the processor has it
// (checked once at run time) and the input is long enough to pay for it.
namespace crc32_methods {
// Eight table look-ups per eight bytes; works everywhere and is the reference.
std::uint32_t Table(std::uint32_t reg, const std::uint8_t* data, std::size_t n);
// Whether this processor can run Clmul (x86-64 with PCLMULQDQ).
bool HaveClmul();
// Folds 64 bytes per step with PCLMULQDQ. Only call it when HaveClmul() says so.
std::uint32_t Clmul(std::uint32_t reg, const std::uint8_t* data, std::size_t n);
}  // namespace crc32_methods

// A date-time as days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

// 1 January 1980 00:00: what an absent or invalid stored date becomes.
inline constexpr TDateTime kDosEpoch = 29221.0;

// Days since 30 December 1899 of a civil date (proleptic Gregorian).
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second);

// A DOS date-time, time in the low 16 bits and date in the high 16 bits. Zero or an invalid
// date gives kDosEpoch.
TDateTime DosDateTimeToDateTime(std::uint32_t dos);

// Swap the two 16-bit halves: ARC, PAK and ZOO store the date before the time.
inline std::uint32_t SwapDosHalves(std::uint32_t v) {
    return (v >> 16) | (v << 16);
}

// Seconds since 1970-01-01 00:00 UTC, as the local time of this machine. A time the C
// library cannot convert gives kDosEpoch.
TDateTime UnixTimeToDateTime(std::int64_t seconds);

// The DOS date-time read as local time, as seconds since the Unix epoch; false when the
// stored value is not a valid date.
bool DosDateTimeToUnix(std::uint32_t dos, std::time_t& out);

// "YYYY-MM-DD HH:MM:SS", the second rounded to the nearest.
std::string FormatDateTime(TDateTime dt);

// Percentage saved by packing, 0..100. 0 when either size is 0 or nothing was saved;
// a saving that rounds to 0 is shown as 1.
std::uint8_t CalcRatio(std::int64_t packed, std::int64_t unpacked);

}  // namespace orvello::archive
