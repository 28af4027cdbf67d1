#include "Extractors.h"

#include "UnARC.h"
#include "UnARJ.h"
#include "UnLHA.h"
#include "UnZIP.h"
#include "UnZOO.h"

namespace orvello::archive {

std::unique_ptr<TUnBase> MakeExtractor(TArcType type) {
    using A = TArcType;
    switch (type) {
        case A::atZIP:
        case A::atZipExe:
        case A::atZip250:
        case A::atZip250Exe:
            return std::make_unique<TUnZIP>();
        case A::atLHA:
        case A::atLhaExe:
        case A::atLZH:
        case A::atLzhExe:
            return std::make_unique<TUnLHA>();
        case A::atARJ:
        case A::atArjExe:
            return std::make_unique<TUnARJ>();
        case A::atARC:
        case A::atArcExe:
            return std::make_unique<TUnARC>();
        case A::atZOO:
            return std::make_unique<TUnZOO>();
        default:
            return nullptr;
    }
}

}  // namespace orvello::archive
