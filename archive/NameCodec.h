// Member names as this platform wants them. An archive stores a name as bytes in the character
// set of the archiver that wrote it; file names, the selector and the command line want UTF-8.
// Every lister and extractor decodes a name once, where it reads it from the archive, and uses
// only the decoded name after that: for the listing, for matching FileSpec, for the output path
// and for the launch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvello::archive {

// The character sets a format's archivers wrote names in, tried in order.
enum class NameCoding {
    // ARJ, ARC, PAK, ZOO, HA, BH, CAB, TAR, RAR without a Unicode name, and ZIP names without
    // a Unicode mark: valid UTF-8 as it is, anything else as code page 437 (DOS).
    kDos,
    // LHA: valid UTF-8 as it is, else Shift-JIS (code page 932) when the whole name decodes
    // as such (the Japanese archivers that made the format wrote it), else code page 437.
    kLha,
    // GZip: valid UTF-8 as it is, else ISO 8859-1, which the format prescribes.
    kLatin1,
};

// The character set a user chose for an archive's names. kAuto is the format's own rule
// (NameCoding); any other is applied to every name that carries no mark of its own (a ZIP name
// flagged as UTF-8 or with a Unicode path field keeps it).
enum class NameEncoding {
    kAuto,
    kCp437,
    kCp850,
    kCp866,
    kCp932,
    kCp936,
    kCp949,
    kKoi8R,
    kLatin1,
    kUtf8,
};

// The encodings by their names ("auto", "cp437", "cp850", "cp866", "cp932", "cp936", "cp949",
// "koi8-r", "latin1", "utf-8"), in that order.
const std::vector<std::pair<std::string_view, NameEncoding>>& NameEncodings();
std::optional<NameEncoding> NameEncodingFromText(std::string_view text);
std::string_view NameEncodingText(NameEncoding encoding);

// Decodes the names of one listing or one extraction. The converter a double-byte code page
// needs is opened once, here, and serves every name. Not for use by two threads at once.
class NameDecoder {
  public:
    NameDecoder(NameCoding format, NameEncoding chosen = NameEncoding::kAuto);
    ~NameDecoder();
    NameDecoder(const NameDecoder&) = delete;
    NameDecoder& operator=(const NameDecoder&) = delete;

    // The stored name as UTF-8, with every "\" made "/" after decoding (so a separator byte
    // inside a double-byte character never splits the name). Always valid UTF-8.
    std::string operator()(std::string_view stored) const;
    // A ZIP name (see DecodeZipName).
    std::string Zip(std::string_view stored, std::uint16_t flags, std::string_view extra) const;
    // The whole text through the double-byte converter, or nullopt when a byte of it is not
    // part of a character or there is no converter.
    std::optional<std::string> ConvertWhole(std::string_view s) const;

  private:
    struct Converter;
    // Through the converter: the whole text, or nullopt at the first byte that is not part of
    // a character when `strict`; else such a byte becomes U+FFFD.
    std::optional<std::string> Convert(std::string_view s, bool strict) const;

    NameCoding format_;
    NameEncoding chosen_;
    std::unique_ptr<Converter> converter_;
};

// The stored name as UTF-8, with every "\" made "/". The separators are found after decoding,
// so the second byte of a Shift-JIS character (0x5C in "表", 0x95 0x5C) is never taken for
// one. The result is always valid UTF-8.
std::string DecodeMemberName(std::string_view stored, NameCoding coding);

// A ZIP name from its central directory entry: UTF-8 when general-purpose flag bit 11 says so;
// else the UTF-8 name of an Info-ZIP Unicode path extra field (0x7075, version 1) whose CRC-32
// matches the stored name (a field that does not match was left behind by a program that
// renamed the member without knowing it, and is ignored); else as kDos. `extra` is the
// entry's whole extra field.
std::string DecodeZipName(std::string_view stored, std::uint16_t flags, std::string_view extra);

// Whether the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing
// above U+10FFFF.
bool IsUtf8(std::string_view s);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Code page 437: every byte is a character, so this never fails.
std::string Cp437ToUtf8(std::string_view s);

// Code page 932 (Shift-JIS as Windows has it, through the C library's iconv); nullopt when
// the bytes are not a complete CP932 text or the C library cannot convert from it.
std::optional<std::string> Cp932ToUtf8(std::string_view s);

}  // namespace orvello::archive
