#include "platform/coreimage/ScratchBuffer.h"

namespace coreimage {

namespace {
thread_local std::vector<std::vector<float>> pool;
} // namespace

ScratchBuffer::ScratchBuffer(size_t floats) {
    if (!pool.empty()) {
        storage_ = std::move(pool.back());
        pool.pop_back();
    }
    // Buffers only grow, so a reused one is usually large enough already.
    if (storage_.size() < floats) storage_.resize(floats);
}

ScratchBuffer::~ScratchBuffer() {
    if (storage_.empty()) return; // moved from
    pool.push_back(std::move(storage_));
}

} // namespace coreimage
