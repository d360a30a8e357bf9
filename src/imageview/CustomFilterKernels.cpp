#include "imageview/CustomFilterKernels.h"

#include "platform/coreimage/KernelRegistry.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace CustomFilterKernels {

void registerKernels() {
    static std::once_flag once;
    std::call_once(once, [] {
        coreimage::KernelRegistry::registerKernel("RadialBrush", &radialBrushRow);
        coreimage::KernelRegistry::registerKernel("ComposeTwoMasks", &composeTwoMasksRow);
        coreimage::KernelRegistry::registerKernel("EraseFilter", &eraseFilterRow);
        coreimage::KernelRegistry::registerKernel("SetAlpha", &setAlphaRow);
    });
}

void radialBrushRow(const coreimage::KernelRow& row) {
    const coreimage::Vec4 centre = row.values[0], c0 = row.values[1], c1 = row.values[2];
    const float r0 = row.values[3].x, r1 = row.values[4].x, opacity = row.values[5].x;
    const float py = float(row.y) + 0.5f - centre.y;
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, d += 4) {
        const float px = float(row.x + i) + 0.5f - centre.x;
        const float distance = std::sqrt(px * px + py * py);
        float t;
        if (r1 > r0)
            t = std::clamp((distance - r0) / (r1 - r0), 0.0f, 1.0f);
        else
            t = distance <= r0 ? 0.0f : 1.0f;
        t = t * t * (3.0f - 2.0f * t);
        d[0] = (c0.x + (c1.x - c0.x) * t) * opacity;
        d[1] = (c0.y + (c1.y - c0.y) * t) * opacity;
        d[2] = (c0.z + (c1.z - c0.z) * t) * opacity;
        d[3] = (c0.w + (c1.w - c0.w) * t) * opacity;
    }
}

void composeTwoMasksRow(const coreimage::KernelRow& row) {
    const float* a = row.samplers[0].at(row.x, row.y);
    const float* b = row.samplers[1].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, a += 4, b += 4, d += 4) {
        d[0] = std::max(a[0], b[0]);
        d[1] = std::max(a[1], b[1]);
        d[2] = std::max(a[2], b[2]);
        d[3] = 1.0f;
    }
}

void eraseFilterRow(const coreimage::KernelRow& row) {
    const float* a = row.samplers[0].at(row.x, row.y);
    const float* b = row.samplers[1].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, a += 4, b += 4, d += 4) {
        const float keep = 1.0f - a[3];
        d[0] = b[0] * keep;
        d[1] = b[1] * keep;
        d[2] = b[2] * keep;
        d[3] = 1.0f;
    }
}

void setAlphaRow(const coreimage::KernelRow& row) {
    const float p = row.values[0].x;
    const float* s = row.samplers[0].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, s += 4, d += 4) {
        const float alpha = s[3] + p * (1.0f - s[3]);
        const float scale = s[3] > 0.0f ? alpha / s[3] : 0.0f;
        d[0] = s[0] * scale;
        d[1] = s[1] * scale;
        d[2] = s[2] * scale;
        d[3] = alpha;
    }
}

} // namespace CustomFilterKernels
