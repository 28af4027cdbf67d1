// The PE string-resource reader against the self-extractor fixtures, and on damaged images.
#include <gtest/gtest.h>

#include <cstring>

#include "Fixtures.h"
#include "platform/pe/PeResources.h"

using namespace orvello::platform;
using namespace orvello::testing;

namespace {

std::optional<PeResources> OpenBytes(const std::vector<std::uint8_t>& bytes) {
    return PeResources::Open(
        [&bytes](std::uint64_t offset, void* buf, std::size_t n) {
            if (offset > bytes.size() || n > bytes.size() - offset) return false;
            std::memcpy(buf, bytes.data() + offset, n);
            return true;
        },
        bytes.size());
}

std::string Ascii(const std::u16string& s) {
    return *AsciiPrefix(s, s.size());
}

}  // namespace

TEST(PeResources, StringsOfTheSelfExtractorFixtures) {
    int programsWithStrings = 0;
    for (const Json& entry : Manifest("sfx")) {
        const std::string name = entry["archive"].Str();
        SCOPED_TRACE(name);
        auto pe = PeResources::Open(FixturePath("sfx", name));
        const Json& strings = entry["resource_strings"];
        if (strings.IsNull()) {
            // DOS programs and a PE without resources: nothing to find.
            if (pe) {
                EXPECT_FALSE(pe->String(1).has_value());
            }
            continue;
        }
        ASSERT_TRUE(pe.has_value());
        ++programsWithStrings;
        for (unsigned id = 1; id <= 4; ++id) {
            const Json& want = strings[std::to_string(id)];
            const auto got = pe->String(id);
            if (want.IsNull()) {
                EXPECT_TRUE(!got || got->empty()) << id;
            } else {
                ASSERT_TRUE(got.has_value()) << id;
                EXPECT_EQ(Ascii(*got), want.Str()) << id;
            }
        }
    }
    EXPECT_GE(programsWithStrings, 5);
}

TEST(PeResources, TruncatedOrScrambledImagesYieldNothingAndNeverReadOutside) {
    const auto good = ReadBytes(FixturePath("sfx", "RESZIP.EXE"));
    ASSERT_GT(good.size(), 4096u);
    // Every cut of the stub (the archive after 4096 is not part of the image).
    for (std::size_t cut = 0; cut < 4096; cut += 7) {
        std::vector<std::uint8_t> part(good.begin(),
                                       good.begin() + static_cast<std::ptrdiff_t>(cut));
        auto pe = OpenBytes(part);
        if (pe) (void)pe->String(1);
    }
    // Single bytes of the headers and the resource tree set to extreme values.
    for (std::size_t at = 0; at < 3584; ++at) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x80}}) {
            auto bad = good;
            bad[at] = value;
            auto pe = OpenBytes(bad);
            if (pe) {
                for (unsigned id = 0; id < 20; ++id)
                    (void)pe->String(id);
            }
        }
    }
    auto pe = OpenBytes(good);
    ASSERT_TRUE(pe.has_value());
    EXPECT_EQ(Ascii(*pe->String(1)), "4096");
    EXPECT_FALSE(pe->String(2).value_or(u"").size() > 0);
}
