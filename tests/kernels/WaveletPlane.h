#pragma once
// A float plane of the wavelet kernels' row layout, with the comparisons their tests make.
#include "kernels/denoise/wavelets/wavelet_alloc.h"

#include <algorithm>
#include <cmath>
#include <random>

struct Plane {
    int w, h;
    float** rows;
    Plane(int w, int h) : w(w), h(h), rows(allocate_2d_float(h, w, 1)) {}
    ~Plane() { free_2d_float(rows); }
    Plane(const Plane&) = delete;
    Plane& operator=(const Plane&) = delete;
    void fill_random(unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> d(0.0f, 255.0f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rows[y][x] = d(rng);
    }
    double max_difference(const Plane& o) const {
        double m = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                m = std::max(m, double(std::fabs(rows[y][x] - o.rows[y][x])));
        return m;
    }
    double energy() const {
        double e = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                e += double(rows[y][x]) * rows[y][x];
        return e;
    }
    void copy_from(const Plane& o) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rows[y][x] = o.rows[y][x];
    }
};
