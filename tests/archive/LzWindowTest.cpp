// The two LZ77 histories against a plain reference: the ring window's copies for every distance
// and length around the end of the ring, and the flat history's across its moves to the front,
// both cut into pieces by the caller's buffer at every size.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/LzHistory.h"
#include "archive/LzWindow.h"

using orvello::archive::LzWindow;

TEST(LzWindow, CopiesMatchAPlainReferenceAcrossWrapsAndPieces) {
    constexpr unsigned kBits = 6;  // a ring of 64 bytes, so copies wrap often
    for (std::size_t piece : {1, 5, 64, 1000}) {
        LzWindow win(kBits, 0x20, 60);  // starts near the end of the ring, as -lh1- does
        std::vector<std::uint8_t> ref, got;
        auto at = [&](std::size_t back) -> std::uint8_t {
            return back > ref.size() ? 0x20 : ref[ref.size() - back];
        };
        unsigned seed = 7;
        for (int step = 0; step < 400; ++step) {
            seed = seed * 1103515245u + 12345u;
            const std::size_t dist = 1 + (seed >> 8) % 64, len = 1 + (seed >> 16) % 90;
            // Literal, then a copy.
            std::vector<std::uint8_t> out(len + 1);
            std::uint8_t* o = out.data();
            LzWindow::Cursor c = win.Lease();
            c.Put(o, static_cast<std::uint8_t>(step));
            ref.push_back(static_cast<std::uint8_t>(step));
            for (std::size_t k = 0; k < len; ++k)
                ref.push_back(at(dist));
            std::uint8_t* end = std::min(out.data() + out.size(), o + piece);
            c.Copy(o, end, dist, len);
            win.Release(c);
            while (win.Pending() != 0) {
                c = win.Lease();
                end = std::min(out.data() + out.size(), o + piece);
                c.Resume(o, end);
                win.Release(c);
            }
            ASSERT_EQ(o, out.data() + out.size());
            got.insert(got.end(), out.begin(), out.end());
        }
        EXPECT_EQ(got, ref) << "pieces of " << piece;
        EXPECT_EQ(win.Written(), ref.size());
    }
}

// The flat history against the same kind of reference, driven as the decoders drive it: each
// call hands out pending bytes first, then writes symbols up to the limit (a last copy may run
// past it), then hands out what fits. The stream is long enough to move the history to the
// front of its buffer several times.
TEST(LzHistory, CopiesMatchAPlainReferenceAcrossMovesAndPieces) {
    using orvello::archive::LzHistory;
    constexpr unsigned kBits = 12;
    for (std::size_t piece : {1, 3, 700, 70000}) {
        LzHistory h(kBits, 0);
        std::vector<std::uint8_t> ref, got;
        unsigned seed = 11;
        const std::size_t total = 5 * LzHistory::kStretch / 2;
        while (got.size() < total) {
            std::vector<std::uint8_t> out(piece);
            std::uint8_t* o = out.data();
            std::uint8_t* const end = out.data() + out.size();
            h.Drain(o, end);
            if (o < end) {
                std::uint8_t* p = h.Begin(static_cast<std::size_t>(end - o));
                const std::uint8_t* const floor = h.Floor(false);
                // A copy may reach back over the whole history, never before the first byte.
                const auto back = static_cast<std::size_t>(p - floor);
                ASSERT_LE(back, ref.size());
                ASSERT_GE(back, std::min(ref.size(), h.HistorySize()));
                while (p < h.Limit()) {
                    seed = seed * 1103515245u + 12345u;
                    const std::size_t avail = static_cast<std::size_t>(p - floor);
                    if (avail == 0 || (seed >> 28) < 4) {
                        *p++ = static_cast<std::uint8_t>(seed >> 8);
                        ref.push_back(static_cast<std::uint8_t>(seed >> 8));
                        continue;
                    }
                    // Short distances (overlapping copies) as often as long ones.
                    const std::size_t reach =
                        (seed >> 6) & 1 ? std::min<std::size_t>(avail, 8) : avail;
                    const std::size_t dist = 1 + (seed >> 8) % std::min(reach, h.HistorySize());
                    const std::size_t len = 1 + (seed >> 20) % LzHistory::kMaxMatch;
                    for (std::size_t k = 0; k < len; ++k)
                        ref.push_back(ref[ref.size() - dist]);
                    LzHistory::Copy(p, dist, len);
                }
                h.End(p);
                h.Drain(o, end);
            }
            ASSERT_GT(o - out.data(), 0) << "a call handed out nothing";
            got.insert(got.end(), out.data(), o);
        }
        ASSERT_LE(got.size(), ref.size());
        ref.resize(got.size());
        EXPECT_EQ(got, ref) << "pieces of " << piece;
        EXPECT_EQ(h.Written(), got.size() + h.Pending());
    }
}

// Before anything is written, a copy from back there reads the fill and the floor says so.
TEST(LzHistory, FillBeforeTheStartAndTheFloor) {
    using orvello::archive::LzHistory;
    LzHistory h(12, 0x20);
    std::uint8_t* p = h.Begin(100);
    EXPECT_EQ(h.Floor(false), p);
    EXPECT_EQ(static_cast<std::size_t>(p - h.Floor(true)), h.HistorySize());
    LzHistory::Copy(p, 4096, 3);
    *p++ = 'x';
    LzHistory::Copy(p, 2, 5);
    h.End(p);
    std::vector<std::uint8_t> out(9);
    std::uint8_t* o = out.data();
    h.Drain(o, out.data() + out.size());
    EXPECT_EQ(std::string(out.begin(), out.end()), "   x x x ");
    EXPECT_EQ(h.Floor(false), p - 9);
}
