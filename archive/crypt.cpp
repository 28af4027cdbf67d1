#include "crypt.h"

#include "ArcGlobals.h"

namespace orvello::archive {

ZipKeys::ZipKeys(std::string_view password) {
    for (char ch : password)
        Update(static_cast<std::uint8_t>(ch));
}

void ZipKeys::Update(std::uint8_t plain) {
    k0_ = Crc32Byte(k0_, plain);
    k1_ = (k1_ + (k0_ & 0xFFu)) * 134775813u + 1u;
    k2_ = Crc32Byte(k2_, static_cast<std::uint8_t>(k1_ >> 24));
}

bool TryPassword(std::string_view password, const std::uint8_t (&header)[12], std::uint8_t check,
                 ZipKeys& keys) {
    if (password.empty()) return false;
    ZipKeys k(password);
    std::uint8_t last = 0;
    for (std::uint8_t b : header)
        last = k.Decrypt(b);
    if (last != check) return false;
    keys = k;
    return true;
}

}  // namespace orvello::archive
