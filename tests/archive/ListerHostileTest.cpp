// Damaged archives: every fixture cut short and with header bytes overwritten. The lister
// must end, report only headers inside the file, in increasing order, and never read
// outside it (the sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <algorithm>

#include "Fixtures.h"
#include "ListerSupport.h"

using namespace orvello::archive;
using namespace orvello::testing;

namespace {

void ExpectSane(const Listing& l, std::size_t size) {
    std::int64_t last = -1;
    for (const Listed& m : l.members) {
        EXPECT_GE(m.offset, 0);
        EXPECT_LT(m.offset, static_cast<std::int64_t>(size));
        EXPECT_GT(m.offset, last);
        EXPECT_GE(m.size, 0);
        EXPECT_GE(m.packed, 0);
        last = m.offset;
    }
    EXPECT_LE(l.members.size(), size);
}

}  // namespace

class ListerHostile : public ::testing::TestWithParam<FixtureSet> {};

TEST_P(ListerHostile, DamagedFixturesEndWithinTheFile) {
    const FixtureSet& set = GetParam();
    ORVELLO_SKIP_UNLESS_PRESENT(set);
    for (const Json& entry : set.Entries()) {
        const std::string name = entry["archive"].Str();
        SCOPED_TRACE(set.folder + "/" + name);
        const auto good = ReadBytes(set.Path(name));
        const Listing clean = ListMemory(good, name);

        std::vector<std::vector<std::uint8_t>> variants;
        for (std::size_t cut :
             {std::size_t{0}, std::size_t{5}, std::size_t{6}, std::size_t{29}, std::size_t{60},
              good.size() / 3, good.size() / 2, good.size() - 1}) {
            if (cut < good.size())
                variants.emplace_back(good.begin(),
                                      good.begin() + static_cast<std::ptrdiff_t>(cut));
        }
        // Bytes of the first header, of the first members' headers and of the last bytes
        // (where ZIP keeps its directory), each set to 0x00 and to 0xFF.
        std::vector<std::size_t> places;
        for (std::size_t i = 0; i < 48; ++i)
            places.push_back(i);
        for (std::size_t k = 0; k < std::min<std::size_t>(clean.members.size(), 6); ++k) {
            for (std::size_t i = 0; i < 48; i += 3)
                places.push_back(static_cast<std::size_t>(clean.members[k].offset) + i);
        }
        for (std::size_t i = 1; i <= 64 && i <= good.size(); i += 3)
            places.push_back(good.size() - i);
        for (std::size_t at : places) {
            if (at >= good.size()) continue;
            for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
                variants.push_back(good);
                variants.back()[at] = value;
            }
        }
        for (const auto& v : variants)
            ExpectSane(ListMemory(v, name), v.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, ListerHostile, ::testing::ValuesIn(FixtureSets()),
                         FixtureSetName);
