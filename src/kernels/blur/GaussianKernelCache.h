#pragma once
// A gaussian kernel table kept for the largest radius asked so far. GaussianBlur holds one; effects
// that blur with their own table hold their own, with the same growth rule.

#include <cstddef>

class GaussianKernelCache {
  public:
    GaussianKernelCache() = default;
    ~GaussianKernelCache();
    GaussianKernelCache(const GaussianKernelCache&) = delete;
    GaussianKernelCache& operator=(const GaussianKernelCache&) = delete;

    // The 2r + 1 weights for radius r. A radius above the cached one rebuilds the table for
    // max(r, 30), which moves every row: pointers from earlier calls are then stale. Radius 0 is
    // the one-tap identity {1}. Null only when memory runs out.
    const float* gaussianMatrixForRadius(size_t r);

    size_t maxRadius() const { return _maxRadius; }

  private:
    float* _kernelMatrix = nullptr;
    size_t _maxRadius = 0;
};
