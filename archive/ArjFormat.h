// Facts of the ARJ format that the lister and the extractor share: the header frame, the hosts
// that store Unix times, and the names of further volumes.
#pragma once

#include <string>

namespace orvello::archive {

inline constexpr unsigned kArjMaxBasicHeader = 2600;
inline constexpr unsigned kArjFlagGarbled = 1;  // password-protected
inline constexpr unsigned kArjFlagVolume = 4;   // the member continues in the next volume
inline constexpr unsigned kArjFileTypeDirectory = 3;
// Labels hold no data: the disk's volume label, and the entry that opens each chapter of an
// archive made with chapters (arj ac).
inline constexpr unsigned kArjFileTypeVolumeLabel = 4;
inline constexpr unsigned kArjFileTypeChapterLabel = 5;
inline constexpr int kArjMaxVolumes = 999;

// Hosts whose ARJ stores the modification time as a Unix time instead of a DOS date-time.
inline bool ArjUnixTimeHost(unsigned host) {
    return host == 2 /* UNIX */ || host == 8 /* NeXT */;
}

// The n-th further volume of `archive` (n from 1): NAME.ARJ -> NAME.A01 ... NAME.A99,
// NAME.100 ... NAME.999, in the archive's own folder; the letter follows the case of the
// archive's extension.
std::string ArjVolumeName(const std::string& archive, int n);

}  // namespace orvello::archive
