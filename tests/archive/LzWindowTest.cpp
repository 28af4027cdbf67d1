// The ring window's copies against a plain reference: every distance and length, around the
// end of the ring, cut into pieces by the caller's buffer at every size.
#include <gtest/gtest.h>

#include <vector>

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
