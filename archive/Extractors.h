// The extractor for each archive type, for hosts that extract whatever they are given.
#pragma once

#include <memory>

#include "ArcMain.h"

namespace orvello::archive {

// A new extractor that reads archives of `type`; nullptr for a type no extractor reads.
std::unique_ptr<TUnBase> MakeExtractor(TArcType type);

}  // namespace orvello::archive
