// The traditional ZIP encryption: three 32-bit keys stirred by every plain byte, a key stream
// byte XORed onto each data byte, and a 12-byte header in front of the data whose last byte
// lets a reader check a password.
#pragma once

#include <cstdint>
#include <string_view>

#include "Decoder.h"

namespace orvello::archive {

class ZipKeys {
  public:
    ZipKeys() = default;
    // Fresh keys stirred with the password's bytes.
    explicit ZipKeys(std::string_view password);

    std::uint8_t Decrypt(std::uint8_t c) {
        const std::uint8_t p = c ^ StreamByte();
        Update(p);
        return p;
    }
    void Decrypt(std::uint8_t* buf, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            buf[i] = Decrypt(buf[i]);
    }

  private:
    std::uint8_t StreamByte() const {
        const std::uint32_t t = (k2_ | 2u) & 0xFFFFu;
        return static_cast<std::uint8_t>((t * (t ^ 1u)) >> 8);
    }
    void Update(std::uint8_t plain);

    std::uint32_t k0_ = 0x12345678u;
    std::uint32_t k1_ = 0x23456789u;
    std::uint32_t k2_ = 0x34567890u;
};

// The byte the last header byte must decrypt to: the high byte of the DOS time when the data
// descriptor flag (bit 3) is set, else the most significant byte of the CRC-32.
inline std::uint8_t PasswordCheckByte(std::uint16_t flags, std::uint16_t dosTime,
                                      std::uint32_t crc) {
    return static_cast<std::uint8_t>((flags & 8) != 0 ? dosTime >> 8 : crc >> 24);
}

// Tests `password` on a member's 12-byte encryption header. On success `keys` holds the state
// after the header, ready for the member's data. An empty password is never accepted.
bool TryPassword(std::string_view password, const std::uint8_t (&header)[12], std::uint8_t check,
                 ZipKeys& keys);

// Decrypts another source's bytes as they are read.
class DecryptingSource final : public InputSource {
  public:
    DecryptingSource(InputSource& inner, const ZipKeys& keys) : inner_(inner), keys_(keys) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t k = inner_.Read(buf, n);
        keys_.Decrypt(buf, k);
        return k;
    }

  private:
    InputSource& inner_;
    ZipKeys keys_;
};

}  // namespace orvello::archive
