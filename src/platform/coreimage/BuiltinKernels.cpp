#include "platform/coreimage/BuiltinKernels.h"

#include "platform/graphics/Clamp.h"

namespace coreimage {

namespace {

using graphics::clamp01;

float dot(const Vec4& v, const float c[4]) {
    return v.x * c[0] + v.y * c[1] + v.z * c[2] + v.w * c[3];
}

} // namespace

void colorMatrixRow(const KernelRow& row) {
    const Vec4 &r = row.values[0], &g = row.values[1], &b = row.values[2], &a = row.values[3],
               &bias = row.values[4];
    const float* s = row.samplers[0].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, s += 4, d += 4) {
        const float inverse = s[3] > 0.0f ? 1.0f / s[3] : 0.0f;
        const float c[4] = {s[0] * inverse, s[1] * inverse, s[2] * inverse, s[3]};
        const float alpha = clamp01(dot(a, c) + bias.w);
        d[0] = clamp01(dot(r, c) + bias.x) * alpha;
        d[1] = clamp01(dot(g, c) + bias.y) * alpha;
        d[2] = clamp01(dot(b, c) + bias.z) * alpha;
        d[3] = alpha;
    }
}

void colorInvertRow(const KernelRow& row) {
    const float* s = row.samplers[0].at(row.x, row.y);
    float* d = row.out;
    // Premultiplied, (1 - c) a is a - ca.
    for (int i = 0; i < row.count; ++i, s += 4, d += 4) {
        d[0] = s[3] - s[0];
        d[1] = s[3] - s[1];
        d[2] = s[3] - s[2];
        d[3] = s[3];
    }
}

void blendWithMaskRow(const KernelRow& row) {
    const float* f = row.samplers[0].at(row.x, row.y);
    const float* b = row.samplers[1].at(row.x, row.y);
    const float* m = row.samplers[2].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, f += 4, b += 4, m += 4, d += 4) {
        const float w = m[1], rest = 1.0f - m[1];
        for (int k = 0; k < 4; ++k)
            d[k] = f[k] * w + b[k] * rest;
    }
}

void sourceInRow(const KernelRow& row) {
    const float* s = row.samplers[0].at(row.x, row.y);
    const float* t = row.samplers[1].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, s += 4, t += 4, d += 4)
        for (int k = 0; k < 4; ++k)
            d[k] = s[k] * t[3];
}

void sourceOverRow(const KernelRow& row) {
    const float* s = row.samplers[0].at(row.x, row.y);
    const float* t = row.samplers[1].at(row.x, row.y);
    float* d = row.out;
    for (int i = 0; i < row.count; ++i, s += 4, t += 4, d += 4) {
        const float rest = 1.0f - s[3];
        for (int k = 0; k < 4; ++k)
            d[k] = s[k] + t[k] * rest;
    }
}

} // namespace coreimage
