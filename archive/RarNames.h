// RAR file names stored with flag 0x200: the name in the archiver's code page, a zero byte,
// then the same name in Unicode, packed against the first one.
#pragma once

#include <string>
#include <string_view>

namespace orvello::archive {

// The name to show, as UTF-8: the Unicode part when there is one (a field without a zero
// byte is UTF-8 already), else the code-page part.
std::string RarFileName(std::string_view field);

// The packed Unicode name as UTF-16. The packing: the first byte is a high byte shared by
// later characters; then, four characters to a flag byte (two bits each, highest first):
// 0 one byte with high byte 0, 1 one byte with the shared high byte, 2 two bytes (low,
// high), 3 a run copied from the code-page name at the same positions: a length byte n,
// n + 2 characters as they are, or, when bit 7 of n is set, a correction byte c and
// (n & 0x7F) + 2 characters (byte + c) with the shared high byte.
std::u16string DecodeRarUnicode(std::string_view codePage, std::string_view packed);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace orvello::archive
