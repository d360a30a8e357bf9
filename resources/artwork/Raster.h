#pragma once
// The pictures the generator draws: float values, nominally 0..1, rows top first. A Plane holds
// one value a pixel (masks, ink, grey fields), a Raster an RGB colour. They become 8-bit opaque
// images only when written, so intermediate sums may leave 0..1.
#include "platform/graphics/Image.h"
#include "platform/graphics/ParallelRows.h"

#include <vector>

namespace artwork {

struct Rgb {
    float r = 0, g = 0, b = 0;
    friend Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
    friend Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
    friend Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
    friend Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
};

inline Rgb grey(float v) {
    return {v, v, v};
}
inline Rgb rgb255(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

template <class T> class Grid {
  public:
    Grid(int width, int height, T value = T{})
        : width_(width), height_(height), values_(size_t(width) * size_t(height), value) {}

    int width() const { return width_; }
    int height() const { return height_; }
    T& at(int x, int y) { return values_[size_t(y) * size_t(width_) + size_t(x)]; }
    const T& at(int x, int y) const { return values_[size_t(y) * size_t(width_) + size_t(x)]; }

    // Sets every pixel to fn(x, y) over several threads; fn must depend on its arguments alone,
    // so the result never depends on how rows are shared out.
    template <class Fn> void fill(Fn fn) {
        graphics::parallelRows(height_, size_t(width_), [&](int first, int end) {
            for (int y = first; y < end; ++y)
                for (int x = 0; x < width_; ++x)
                    at(x, y) = fn(x, y);
        });
    }

    // Half the size, each pixel the mean of a 2 x 2 block: the "_small" variants.
    Grid halved() const {
        Grid out(width_ / 2, height_ / 2);
        out.fill([this](int x, int y) {
            const T sum =
                at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
            return sum * 0.25f;
        });
        return out;
    }

  private:
    int width_, height_;
    std::vector<T> values_;
};

using Plane = Grid<float>;
using Raster = Grid<Rgb>;

// An opaque 8-bit RGBX image of the raster, each channel clamped to 0..1 and rounded.
graphics::ImagePtr toImage(const Raster& raster);

} // namespace artwork
