#include "Unsqueeze.h"

#include "ArcTypes.h"

namespace orvello::archive {

int UnsqueezeDecoder::ReadTree() {
    nodes_ = in_.Get(16);
    if (in_.Overrun()) return errReadFile;
    if (nodes_ > kMaxNodes) return errInvalidDecodeTree;
    for (unsigned i = 0; i < nodes_; ++i) {
        for (auto& link : tree_[i]) {
            link = static_cast<std::int16_t>(in_.Get(16));
            // A node index inside the tree, or a leaf from 0 to the end code.
            if (link >= static_cast<int>(nodes_) || link < -static_cast<int>(kEndCode + 1))
                return errInvalidDecodeTree;
        }
    }
    return in_.Overrun() ? errReadFile : kOk;
}

int UnsqueezeDecoder::Read(std::uint8_t* out, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (error_ != kOk) return error_;
    if (!started_) {
        started_ = true;
        if ((error_ = ReadTree()) != kOk) return error_;
        done_ = nodes_ == 0;  // an empty tree holds only the end code
    }
    while (produced < capacity && !done_) {
        unsigned node = 0;
        int link;
        unsigned steps = 0;
        for (;;) {
            in_.Need(1);
            link = tree_[node][in_.Peek(1)];
            in_.Drop(1);
            if (link < 0) break;
            // A path longer than the tree has nodes goes round a loop.
            if (++steps > nodes_) {
                error_ = errInvalidDecodeTree;
                return produced == 0 ? error_ : kOk;
            }
            node = static_cast<unsigned>(link);
        }
        // Past the data (a stream without the end code) the bits are padding: the stream ends.
        if (in_.Overrun()) {
            done_ = true;
            break;
        }
        const unsigned value = static_cast<unsigned>(-(link + 1));
        if (value == kEndCode) {
            done_ = true;
            break;
        }
        out[produced++] = static_cast<std::uint8_t>(value);
    }
    return kOk;
}

}  // namespace orvello::archive
