#include "Noise.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cmath>

namespace artwork {

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

float Random::uniform() {
    return float(next() >> 40) * (1.0f / 16777216.0f);
}

namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9e3779b9u ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float lattice(int x, int y, uint32_t seed) {
    return float(hash(x, y, seed) >> 8) * (1.0f / 16777215.0f);
}

int wrap(int i, int period) {
    if (period <= 0) return i;
    const int m = i % period;
    return m < 0 ? m + period : m;
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

float whiteNoise(int x, int y, uint32_t seed) {
    return lattice(x, y, seed ^ 0x5bd1e995u);
}

float valueNoise(float x, float y, uint32_t seed, int period) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float tx = fade(x - fx), ty = fade(y - fy);
    const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    const float a = lattice(x0, y0, seed), b = lattice(x1, y0, seed);
    const float c = lattice(x0, y1, seed), d = lattice(x1, y1, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(float x, float y, const Fractal& f) {
    float sum = 0, norm = 0, amplitude = 1, scale = 1;
    int period = f.period;
    for (int i = 0; i < f.octaves; ++i) {
        sum += amplitude * valueNoise(x * scale, y * scale, f.seed + uint32_t(i) * 7919u, period);
        norm += amplitude;
        amplitude *= f.gain;
        scale *= 2.0f;
        period *= 2;
    }
    return sum / norm;
}

SmoothField::SmoothField(int w, int h, float cell, const Fractal& f)
    : step_(std::max(1, int(cell / float(1 << f.octaves) / 2.0f))), columns_(w / step_ + 2),
      rows_(h / step_ + 2), values_(size_t(columns_) * size_t(rows_)) {
    graphics::parallelRows(rows_, size_t(columns_), [&](int first, int end) {
        for (int j = first; j < end; ++j)
            for (int i = 0; i < columns_; ++i)
                values_[size_t(j) * size_t(columns_) + size_t(i)] =
                    fbm(float(i * step_) / cell, float(j * step_) / cell, f);
    });
}

float SmoothField::at(int x, int y) const {
    const int i = x / step_, j = y / step_;
    const float tx = float(x - i * step_) / float(step_), ty = float(y - j * step_) / float(step_);
    const float* row = values_.data() + size_t(j) * size_t(columns_) + size_t(i);
    const float top = row[0] + (row[1] - row[0]) * tx;
    const float bottom = row[columns_] + (row[columns_ + 1] - row[columns_]) * tx;
    return top + (bottom - top) * ty;
}

Direction direction(float radians) {
    // Taylor series on [-pi, pi], then normalised: close enough to the true angle, and exact
    // float operations only.
    const float pi = 3.14159265f, twoPi = 6.28318531f;
    float a = radians - twoPi * std::floor((radians + pi) / twoPi);
    const float a2 = a * a;
    const float s =
        a *
        (1.0f -
         a2 / 6.0f * (1.0f - a2 / 20.0f * (1.0f - a2 / 42.0f * (1.0f - a2 / 72.0f * (1.0f - a2 / 110.0f)))));
    const float c =
        1.0f - a2 / 2.0f *
                   (1.0f - a2 / 12.0f *
                               (1.0f - a2 / 30.0f *
                                           (1.0f - a2 / 56.0f * (1.0f - a2 / 90.0f * (1.0f - a2 / 132.0f)))));
    const float length = std::sqrt(s * s + c * c);
    return {c / length, s / length};
}

} // namespace artwork
