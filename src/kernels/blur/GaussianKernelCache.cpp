#include "kernels/blur/GaussianKernelCache.h"

#include "kernels/blur/gaussian_blur.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

GaussianKernelCache::~GaussianKernelCache() {
    std::free(_kernelMatrix);
}

const float* GaussianKernelCache::gaussianMatrixForRadius(size_t r) {
    static const float identity[1] = {1.0f};
    if (r == 0) return identity;
    if (r > _maxRadius) {
        const size_t wanted = std::max<size_t>(r, 30);
        float* table = wanted <= UINT_MAX ? ::gaussianMatrixForRadius(unsigned(wanted)) : nullptr;
        if (!table) {
            std::fprintf(stderr, "gaussian table: no table for radius %zu\n", r);
            return nullptr;
        }
        std::free(_kernelMatrix);
        _kernelMatrix = table;
        _maxRadius = wanted;
    }
    return _kernelMatrix + (r - 1) * (2 * _maxRadius + 1);
}
