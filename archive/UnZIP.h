// The ZIP extractor: writes the members of a ZIP archive (plain or self-extracting) that match
// FileSpec, with every classic method and the traditional password scheme.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ArcMain.h"
#include "ZipHeaders.h"

namespace orvello::archive {

class TUnZIP : public TUnBase {
  public:
    TUnZIP() = default;

    // Candidate passwords, tried in order; one accepted through OnGetPassword is put first.
    std::vector<std::string> Passwords;
    TOnGetPassword OnGetPassword;

    // The number of members begun in the current (or last) Extract call, from 1.
    std::int32_t RecNum() const { return recNum_; }

  protected:
    void DoExtract() override;

  private:
    struct Span {
        std::int64_t begin, end;
    };

    // Returns false when the walk must end (a member that needed a password got none).
    bool ProcessMember(ArcFile& file, const ZipCentralEntry& e);
    // Finds a password for an encrypted member, leaving the keys for its data in `keys`.
    // The central entry's values are tried for the password that opened an earlier member,
    // the local header's for the others.
    bool FindPassword(const ZipCentralEntry& e, const ZipLocalHeader& l,
                      const std::uint8_t (&header)[12], class ZipKeys& keys);
    // Refuses a selected member that cannot be read here (encryption or method): one error,
    // no file, OnEnd with CRC_PASS false.
    void Refuse(int code);
    // "ARCHIVE (entry N)": how a central entry without a usable name is named in reports.
    std::string EntryLabel(int entry) const;
    // Claims the archive bytes a member occupies; false when they overlap what an earlier
    // member or the central directory occupies.
    bool Claim(Span s);

    std::int32_t recNum_ = 0;
    std::string password_;  // the current password, kept from member to member within a call
    std::map<std::int64_t, std::int64_t> claimed_;  // claimed spans: start -> end
};

}  // namespace orvello::archive
