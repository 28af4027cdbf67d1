// LHA (LZH), header levels 0 to 3.
//
// Level 0 and 1: a header-size byte H at 0 (0 ends the archive), the fixed fields, the name
// (length at 21) and the CRC-16; the next header is at start + H + 2 + the packed size. A
// level-1 header is followed by extended headers, which the packed size includes.
// Level 2: a 16-bit total header size at 0; name and folder are in extended headers; the
// next header is at start + header size + packed size. Level 3 is level 2 with 32-bit sizes.
// An extended header is a type byte, its data, and the size of the next one (0 ends them);
// type 1 holds the file name, type 2 the folder with 0xFF between its parts.
#include <algorithm>

#include "LhaHeaders.h"
#include "ListWalk.h"
#include "NameCodec.h"

namespace orvello::archive::detail {

namespace {

constexpr std::size_t kHeaderLength = 22;
std::string LhaMethodName(std::uint8_t c) {
    if (c == '0') return "Stored";
    if (c >= '1' && c <= '5') return std::string("Frozen-") + static_cast<char>(c);
    return "Unknown";
}

class LhaWalker final : public FormatWalker {
  public:
    std::size_t HeaderLength() const override { return kHeaderLength; }
    void Prepare(ListWalk&) override {}

    void Process(ListWalk& walk, const std::uint8_t* h) override {
        const unsigned level = h[20];
        const bool methodId = h[2] == '-' && h[6] == '-';
        if ((level == 2 || level == 3) && methodId) {
            ProcessLevel23(walk, h, level);
        } else if (h[0] == 0) {
            walk.Stop();
        } else {
            ProcessLevel01(walk, h, level);
        }
    }

  private:
    static void Common(ListWalk& walk, const std::uint8_t* h, LhaExtendedNames& names) {
        auto& L = walk.L;
        // Folder and name are decoded apart: they may come from different headers.
        std::string name = JoinFolder(DecodeMemberName(names.folder, NameCoding::kLha),
                                      DecodeMemberName(names.name, NameCoding::kLha));
        // A folder entry (-lhd-) is shown as a folder.
        if (h[3] == 'l' && h[4] == 'h' && h[5] == 'd' && (name.empty() || name.back() != '/'))
            name += '/';
        L.FileName = name;
        L.UnpackedSize = Le32(h + 11);
        L.MethodCode = h[5];
        L.MethodName = LhaMethodName(h[5]);
        L.VersionMadeBy = 0;
        L.VersionNeeded = 0;
        L.InternalAttr = 32;
        L.ExternalAttr = Le16(h + 19);
    }

    static void ProcessLevel01(ListWalk& walk, const std::uint8_t* h, unsigned level) {
        auto& L = walk.L;
        const std::int64_t start = walk.HeaderStart();
        const unsigned size = h[0], nameLength = h[21];
        if (22u + nameLength + 2 > size + 2u) {  // the name and its CRC must fit the header
            walk.Stop();
            return;
        }
        LhaExtendedNames names;
        names.name = walk.ReadText(start + 22, nameLength);
        std::uint8_t crc[2] = {0, 0};
        walk.ReadExact(start + 22 + nameLength, crc, 2);
        const std::int64_t recorded = Le32(h + 7);
        const std::int64_t dataStart = start + size + 2;
        std::int64_t extended = 0;
        if (level == 1 && size >= 25u + nameLength) {
            std::uint8_t first[2];
            if (walk.ReadExact(start + 25 + nameLength, first, 2)) {
                extended = ReadLhaExtendedHeaders(walk.File(), dataStart, Le16(first),
                                                  dataStart + recorded, 2, names);
            }
        }
        Common(walk, h, names);
        // The packed size of a level-1 header counts its extended headers too; the member's
        // data is what follows them.
        L.PackedSize = recorded - extended;
        L.CRC = Le16(crc);
        L.DateTime = DosDateTimeToDateTime(Le32(h + 15));
        walk.Report();
        walk.position = dataStart + recorded;
    }

    static void ProcessLevel23(ListWalk& walk, const std::uint8_t* h, unsigned level) {
        auto& L = walk.L;
        const std::int64_t start = walk.HeaderStart();
        const unsigned sizeWidth = level == 2 ? 2 : 4;
        const std::size_t fixed = level == 2 ? 26 : 32;
        std::uint8_t f[32];
        if (!walk.ReadExact(start, f, fixed)) {
            walk.Stop();
            return;
        }
        const std::int64_t headerSize = level == 2 ? Le16(f) : Le32(f + 24);
        const std::uint64_t firstExt = level == 2 ? Le16(f + 24) : Le32(f + 28);
        if (headerSize < static_cast<std::int64_t>(fixed)) {
            walk.Stop();
            return;
        }
        LhaExtendedNames names;
        ReadLhaExtendedHeaders(walk.File(), start + static_cast<std::int64_t>(fixed), firstExt,
                               start + headerSize, sizeWidth, names);
        Common(walk, h, names);
        L.PackedSize = Le32(h + 7);
        L.CRC = Le16(f + 21);
        L.DateTime = UnixTimeToDateTime(Le32(h + 15));
        walk.Report();
        walk.position = start + headerSize + L.PackedSize;
    }
};

}  // namespace

std::unique_ptr<FormatWalker> MakeLhaWalker() {
    return std::make_unique<LhaWalker>();
}

}  // namespace orvello::archive::detail
