#pragma once
// Float buffers for evaluating tiles. Each thread keeps the buffers it has used and hands them
// out again, so rendering tile after tile does not go through the allocator (whose returning
// of freed memory to the system made every tile fault its pages in anew).
#include <cstddef>
#include <vector>

namespace coreimage {

class ScratchBuffer {
  public:
    explicit ScratchBuffer(size_t floats);
    ~ScratchBuffer();
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;
    ScratchBuffer(ScratchBuffer&& other) noexcept = default;

    float* get() { return storage_.data(); }

  private:
    std::vector<float> storage_;
};

} // namespace coreimage
