#include "Lzhuf.h"

#include <algorithm>

#include "ArcTypes.h"

namespace orvello::archive {

namespace {

constexpr unsigned kRingBits = 12;
constexpr std::size_t kRingStart = 4096 - 60;
constexpr std::uint16_t kMaxFreq = 0x8000;

// The fixed code of a position's upper six bits: value 0 takes 3 bits, 1-3 take 4, 4-11 take
// 5, 12-23 take 6, 24-47 take 7 and 48-63 take 8, assigned in value order (a canonical code).
// Indexed by the next eight bits: the value and the code's length.
struct PositionCode {
    std::array<std::uint8_t, 256> value{};
    std::array<std::uint8_t, 256> length{};
};

constexpr PositionCode MakePositionCode() {
    constexpr unsigned counts[] = {1, 3, 8, 12, 24, 16};  // values with 3, 4, ... 8 bits
    PositionCode t{};
    unsigned code = 0, value = 0;
    for (unsigned len = 3; len <= 8; ++len) {
        for (unsigned k = 0; k < counts[len - 3]; ++k, ++value, ++code) {
            const unsigned span = 1u << (8 - len);
            for (unsigned j = 0; j < span; ++j) {
                t.value[code * span + j] = static_cast<std::uint8_t>(value);
                t.length[code * span + j] = static_cast<std::uint8_t>(len);
            }
        }
        code <<= 1;
    }
    return t;
}

constexpr PositionCode kPosition = MakePositionCode();

}  // namespace

LzhufDecoder::LzhufDecoder(InputSource& src, std::uint64_t size)
    : in_(src), window_(kRingBits, ' ', kRingStart), left_(size) {
    // Every leaf starts with a count of 1; inner nodes join pairs in order.
    for (unsigned i = 0; i < kSymbols; ++i) {
        freq_[i] = 1;
        son_[i] = static_cast<std::uint16_t>(i + kNodes);
        parent_[i + kNodes] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
        son_[j] = static_cast<std::uint16_t>(i);
        parent_[i] = parent_[i + 1] = static_cast<std::uint16_t>(j);
    }
    freq_[kNodes] = 0xFFFF;  // the sentinel that stops the search in Update
    parent_[kRoot] = 0;
}

void LzhufDecoder::Rebuild() {
    // Gather the leaves at the front with their counts halved (rounded up), then join them
    // again: each new inner node goes where its count keeps the order.
    unsigned j = 0;
    for (unsigned i = 0; i < kNodes; ++i) {
        if (son_[i] >= kNodes) {
            freq_[j] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
            son_[j] = son_[i];
            ++j;
        }
    }
    for (unsigned i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
        const auto f = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
        unsigned k = n;
        while (k > 0 && f < freq_[k - 1])
            --k;
        std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
        std::copy_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
        freq_[k] = f;
        son_[k] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0; i < kNodes; ++i) {
        const unsigned s = son_[i];
        parent_[s] = static_cast<std::uint16_t>(i);
        if (s < kNodes) parent_[s + 1] = static_cast<std::uint16_t>(i);
    }
}

void LzhufDecoder::Update(unsigned symbol) {
    if (freq_[kRoot] == kMaxFreq) Rebuild();
    unsigned c = parent_[symbol + kNodes];
    do {
        const std::uint16_t k = ++freq_[c];
        // When the count passes the next node's, swap this node with the last one of a lower
        // count, so the counts stay in order.
        unsigned l = c + 1;
        if (k > freq_[l]) {
            while (k > freq_[++l]) {
            }
            --l;
            freq_[c] = freq_[l];
            freq_[l] = k;
            const unsigned i = son_[c];
            parent_[i] = static_cast<std::uint16_t>(l);
            if (i < kNodes) parent_[i + 1] = static_cast<std::uint16_t>(l);
            const unsigned j = son_[l];
            son_[l] = static_cast<std::uint16_t>(i);
            parent_[j] = static_cast<std::uint16_t>(c);
            if (j < kNodes) parent_[j + 1] = static_cast<std::uint16_t>(c);
            son_[c] = static_cast<std::uint16_t>(j);
            c = l;
        }
        c = parent_[c];
    } while (c != 0);
}

int LzhufDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (error_ != kOk) return error_;
    std::uint8_t* const begin = out;
    std::uint8_t* const end =
        out + static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
    LzWindow::Cursor w = window_.Lease();
    if (w.copyLeft != 0) w.Resume(out, end);
    MsbBitReader::Cursor c = in_.Lease();
    while (out < end) {
        // Down the tree one bit a time: a 1 bit takes the right child.
        unsigned node = son_[kRoot];
        while (node < kNodes) {
            if (c.count == 0) in_.Refill(c);
            node = son_[node + static_cast<unsigned>(c.bits >> 63)];
            c.bits <<= 1;
            --c.count;
        }
        const unsigned sym = node - kNodes;
        Update(sym);
        if (sym < 256) {
            w.Put(out, static_cast<std::uint8_t>(sym));
            continue;
        }
        // The position: eight bits give the upper six bits' code and more bits of it follow,
        // up to 14 bits in all.
        if (c.count < 14) in_.Refill(c);
        const unsigned top = static_cast<unsigned>(c.bits >> 56);
        const unsigned len = kPosition.length[top];
        const unsigned low = static_cast<unsigned>(c.bits >> (64 - len - 6)) & 0x3F;
        c.bits <<= len + 6;
        c.count -= len + 6;
        w.Copy(out, end, ((std::size_t{kPosition.value[top]} << 6) | low) + 1, sym - 253);
    }
    in_.Release(c);
    window_.Release(w);
    // Past the end of the data the reader supplies zero bits, so the loop above always ends
    // (at the recorded size); whether it read beyond the data is checked once per call.
    if (in_.Overrun()) error_ = errReadFile;
    produced = static_cast<std::size_t>(out - begin);
    left_ -= produced;
    return produced == 0 ? error_ : kOk;
}

}  // namespace orvello::archive
