// What reading one member header gives, for every format's reader.
#pragma once

#include <string>
#include <utility>

#include "ArcTypes.h"
#include "Decoder.h"

namespace orvello::archive {

enum class HeaderStatus {
    kHeader,   // a member's header
    kEnd,      // the archive ends here
    kDamaged,  // the header or the data it describes is damaged; `error` says how
};

template <typename Header>
struct HeaderRead {
    HeaderStatus status = HeaderStatus::kEnd;
    int error = kOk;
    Header header;
    // For damage: the member's name when it was read before the damage, else empty.
    std::string named;
    // For damage behind the header (its data is cut): the header itself was read whole.
    bool headerWhole = false;

    bool IsHeader() const { return status == HeaderStatus::kHeader; }
    bool Listable() const { return status == HeaderStatus::kHeader || headerWhole; }

    static HeaderRead End() { return {}; }
    static HeaderRead Damaged(int code, std::string name = {}) {
        HeaderRead r;
        r.status = HeaderStatus::kDamaged;
        r.error = code;
        r.named = std::move(name);
        return r;
    }
};

}  // namespace orvello::archive
