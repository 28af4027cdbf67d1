// What an extraction reported through its events, for the extractors' tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "RecordingHost.h"
#include "archive/ArcMain.h"

namespace orvello::testing {

// Puts the current folder back after a test that moves it.
class KeepFolder {
  public:
    KeepFolder() : saved_(std::filesystem::current_path()) {}
    ~KeepFolder() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }

  private:
    std::filesystem::path saved_;
};

struct Events {
    std::vector<std::pair<int, std::string>> errors;  // code, FN
    std::vector<std::pair<std::string, bool>> ends;   // FN, CRC_PASS
    std::vector<bool> written;                        // MemberWritten during each OnEnd
    std::vector<std::int32_t> recNums;
    std::vector<std::uint8_t> progress;
    int activate = 0;
    int deactivate = 0;
    RecordingHost host;

    bool Has(int code) const {
        for (const auto& e : errors)
            if (e.first == code) return true;
        return false;
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& e : errors)
            n += e.first == code;
        return n;
    }
};

inline void Hook(archive::TUnBase& z, Events& ev) {
    z.Host = &ev.host;
    z.OnError = [&](archive::TZipCommon&, const std::string& fn, const std::string&, int code) {
        ev.errors.emplace_back(code, fn);
    };
    z.OnEnd = [&](archive::TZipCommon&, const std::string& fn, bool pass) {
        ev.ends.emplace_back(fn, pass);
        ev.written.push_back(z.MemberWritten());
    };
    z.OnBegin = [&](archive::TZipCommon&, const std::string&, std::int32_t rec, bool&) {
        ev.recNums.push_back(rec);
    };
    z.OnProgress = [&](archive::TZipCommon&, const std::string&, std::uint8_t p) {
        ev.progress.push_back(p);
    };
    z.OnActivate = [&](archive::TZipCommon&) { ++ev.activate; };
    z.OnDeactivate = [&](archive::TZipCommon&) { ++ev.deactivate; };
}

inline Events ExtractTo(archive::TUnBase& z, const std::string& archive, const std::string& dir) {
    Events ev;
    Hook(z, ev);
    z.SetArchiveFile(archive);
    z.SetExtractDir(dir);
    z.Extract();
    return ev;
}

}  // namespace orvello::testing
