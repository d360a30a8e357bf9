#include "platform/coreimage/TransformImage.h"

#include "platform/coreimage/Sampler.h"

#include "platform/coreimage/ScratchBuffer.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace coreimage {

using graphics::AffineTransform;

namespace {

bool snapped(double v, double tolerance, double& out) {
    const double r = std::round(v);
    if (!(std::fabs(v - r) <= tolerance)) return false;
    out = r;
    return true;
}

size_t offsetOf(const PixelRect& r, int x, int y) {
    return (size_t(y - r.y) * size_t(r.width) + size_t(x - r.x)) * 4;
}

} // namespace

std::optional<AffineTransform> TransformImage::pixelExact(const AffineTransform& t) {
    AffineTransform s;
    // Rotations computed with cos and sin leave terms like 6e-17 where 0 is meant.
    if (!snapped(t.a, 1e-9, s.a) || !snapped(t.b, 1e-9, s.b) || !snapped(t.c, 1e-9, s.c) ||
        !snapped(t.d, 1e-9, s.d) || !snapped(t.tx, 1e-6, s.tx) || !snapped(t.ty, 1e-6, s.ty))
        return std::nullopt;
    const bool straight = s.b == 0 && s.c == 0 && std::fabs(s.a) == 1 && std::fabs(s.d) == 1;
    const bool turned = s.a == 0 && s.d == 0 && std::fabs(s.b) == 1 && std::fabs(s.c) == 1;
    if (!straight && !turned) return std::nullopt;
    return s;
}

TransformImage::TransformImage(ImagePtr input, const AffineTransform& transform, bool exact)
    : Image(transform.apply(input->extent())), input_(std::move(input)), transform_(transform),
      inverse_(transform.inverted()), exact_(exact), covered_(pixelsCovering(extent())) {}

void TransformImage::render(const PixelRect& rect, float* out) const {
    const PixelRect live = rect.intersection(covered_);
    if (live != rect) std::memset(out, 0, rect.area() * 4 * sizeof(float));
    if (live.isEmpty()) return;
    if (exact_)
        copyExact(live, rect, out);
    else
        resample(live, rect, out);
}

void TransformImage::copyExact(const PixelRect& live, const PixelRect& rect, float* out) const {
    const PixelRect source =
        pixelsCovering(inverse_.apply(graphics::Rect(live.x, live.y, live.width, live.height)));
    ScratchBuffer buffer(source.area() * 4);
    input_->render(source, buffer.get());
    // Each destination step in x moves the source pixel by (a, b) of the inverse: 0 or +-1.
    const int dx = int(inverse_.a), dy = int(inverse_.b);
    for (int y = live.y; y < live.maxY(); ++y) {
        const graphics::Point q = inverse_.apply(graphics::Point{live.x + 0.5, y + 0.5});
        int sx = int(std::floor(q.x)), sy = int(std::floor(q.y));
        float* d = out + offsetOf(rect, live.x, y);
        if (dx == 1 && dy == 0) {
            std::memcpy(d, buffer.get() + offsetOf(source, sx, sy), size_t(live.width) * 4 * sizeof(float));
            continue;
        }
        for (int i = 0; i < live.width; ++i, d += 4, sx += dx, sy += dy)
            std::memcpy(d, buffer.get() + offsetOf(source, sx, sy), 4 * sizeof(float));
    }
}

void TransformImage::resample(const PixelRect& live, const PixelRect& rect, float* out) const {
    const PixelRect source =
        pixelsCovering(inverse_.apply(graphics::Rect(live.x, live.y, live.width, live.height)))
            .outset(1)
            .intersection(pixelsCovering(input_->extent()));
    if (source.isEmpty()) {
        if (live == rect) std::memset(out, 0, rect.area() * 4 * sizeof(float));
        return;
    }
    ScratchBuffer buffer(source.area() * 4);
    input_->render(source, buffer.get());
    const Sampler sampler(buffer.get(), source, input_->extent());
    const AffineTransform& m = inverse_;
    for (int y = live.y; y < live.maxY(); ++y) {
        float* d = out + offsetOf(rect, live.x, y);
        const double py = y + 0.5;
        for (int x = live.x; x < live.maxX(); ++x, d += 4) {
            const double px = x + 0.5;
            const Vec4 v = sampler.sample(m.a * px + m.c * py + m.tx, m.b * px + m.d * py + m.ty);
            d[0] = v.x;
            d[1] = v.y;
            d[2] = v.z;
            d[3] = v.w;
        }
    }
}

} // namespace coreimage
