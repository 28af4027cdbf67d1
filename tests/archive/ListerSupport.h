// Runs the lister and records what it reported.
#pragma once

#include <string>
#include <vector>

#include "archive/ArcLister.h"

namespace orvello::testing {

struct Listed {
    std::string name;
    std::int64_t size = 0, packed = 0;
    std::uint32_t crc = 0;
    unsigned method = 0;
    std::string methodName, comment, archiveComment;
    double dateTime = 0;
    std::int64_t offset = 0;
    int filenum = 0;
};

struct Listing {
    bool ok = false;
    std::vector<Listed> members;
    std::vector<int> errors;  // codes passed to OnError, in order
    std::vector<std::string>
        events;       // "activate", "begin", "read", "end", "totals N", "deactivate"
    int totals = -1;  // NumFiles of OnTotals, -1 when it did not fire
};

// Lists `lister`'s archive (ArchiveFile already set) with every event recorded.
inline Listing RunLister(archive::TArcLister& lister) {
    using namespace archive;
    Listing out;
    lister.OnActivate = [&](TZipCommon&) { out.events.push_back("activate"); };
    lister.OnDeactivate = [&](TZipCommon&) { out.events.push_back("deactivate"); };
    lister.OnReadBegin = [&](TZipCommon&) { out.events.push_back("begin"); };
    lister.OnReadEnd = [&](TZipCommon&) { out.events.push_back("end"); };
    lister.OnRead = [&](TZipCommon& s, std::int64_t offset, std::int32_t filenum) {
        auto& l = static_cast<TArcLister&>(s);
        out.events.push_back("read");
        out.members.push_back({l.FileName, l.UnpackedSize, l.PackedSize, l.CRC, l.MethodCode,
                               l.MethodName, l.FileComment, l.ArchiveComment, l.DateTime, offset,
                               filenum});
    };
    lister.OnTotals = [&](TZipCommon&, std::int32_t n) {
        out.events.push_back("totals " + std::to_string(n));
        out.totals = n;
    };
    lister.OnError = [&](TZipCommon&, const std::string&, const std::string&, int code) {
        out.errors.push_back(code);
    };
    out.ok = lister.Activate();
    return out;
}

inline Listing ListFile(const std::string& path, const std::string& spec = "*.*",
                        std::int32_t window = 0) {
    archive::TArcLister lister;
    lister.SetZipCmntBufSize(window);
    lister.SetFileSpec(spec);
    lister.SetArchiveFile(path);
    return RunLister(lister);
}

// Lists bytes held in memory under the archive's own name (the TAR test needs it).
inline Listing ListMemory(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    archive::MemoryFileSystem files;
    files.Add(name, bytes);
    archive::TArcLister lister;
    lister.Files = &files;
    lister.SetZipCmntBufSize(64);
    lister.SetArchiveFile(name);
    return RunLister(lister);
}

}  // namespace orvello::testing
