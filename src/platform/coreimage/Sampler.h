#pragma once
// What a kernel reads an image argument through: the image's pixels rendered over the region
// the kernel needs (the destination row grown by the kernel's margin), as premultiplied float
// RGBA in y-up working coordinates.
#include "platform/coreimage/PixelRect.h"
#include "platform/graphics/Rect.h"

#include <cmath>
#include <cstddef>

namespace coreimage {

// Four floats: a vector's components, or a premultiplied colour's r, g, b, a.
struct Vec4 {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 0;
};

class Sampler {
  public:
    Sampler(const float* pixels, const PixelRect& region, const graphics::Rect& extent)
        : pixels_(pixels), region_(region), extent_(extent) {}

    // The image's extent (its domain of definition).
    const graphics::Rect& extent() const { return extent_; }
    // The pixels rendered; outside them the sampler reads transparent.
    const PixelRect& region() const { return region_; }

    // The four floats of pixel (x, y), which must lie inside region().
    const float* at(int x, int y) const {
        return pixels_ + (size_t(y - region_.y) * size_t(region_.width) + size_t(x - region_.x)) * 4;
    }
    Vec4 pixel(int x, int y) const {
        if (x < region_.x || y < region_.y || x >= region_.maxX() || y >= region_.maxY()) return {};
        const float* p = at(x, y);
        return {p[0], p[1], p[2], p[3]};
    }
    // Linear sampling at a point; pixel centres lie at whole numbers plus one half.
    Vec4 sample(double x, double y) const {
        const double fx = x - 0.5, fy = y - 0.5;
        const double x0 = std::floor(fx), y0 = std::floor(fy);
        // Also turns NaN and far-away points into transparent before any integer conversion.
        if (!(x0 >= region_.x - 1 && x0 < region_.maxX() && y0 >= region_.y - 1 && y0 < region_.maxY()))
            return {};
        const float tx = float(fx - x0), ty = float(fy - y0);
        const int ix = int(x0), iy = int(y0);
        const Vec4 p00 = pixel(ix, iy), p10 = pixel(ix + 1, iy), p01 = pixel(ix, iy + 1),
                   p11 = pixel(ix + 1, iy + 1);
        const float w00 = (1 - tx) * (1 - ty), w10 = tx * (1 - ty), w01 = (1 - tx) * ty, w11 = tx * ty;
        return {p00.x * w00 + p10.x * w10 + p01.x * w01 + p11.x * w11,
                p00.y * w00 + p10.y * w10 + p01.y * w01 + p11.y * w11,
                p00.z * w00 + p10.z * w10 + p01.z * w01 + p11.z * w11,
                p00.w * w00 + p10.w * w10 + p01.w * w01 + p11.w * w11};
    }

  private:
    const float* pixels_;
    PixelRect region_;
    graphics::Rect extent_;
};

} // namespace coreimage
