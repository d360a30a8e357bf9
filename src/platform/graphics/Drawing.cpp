#include "platform/graphics/Drawing.h"

#include "platform/graphics/ContextRows.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/graphics/ScaledImage.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace graphics {

namespace {

uint8_t* contextPixel(BitmapContext& ctx, int x, int y) {
    return ctx.data() + size_t(y) * ctx.rowBytes() + size_t(x) * 4;
}

} // namespace

bool drawImage(BitmapContext& ctx, const Rect& rect, const ImagePtr& image) {
    try {
        const ScaledImage scaled(image, rect, ctx.width(), ctx.height(), ctx.format());
        if (scaled.empty()) return true;
        const int first = scaled.firstRow();
        parallelRows(scaled.endRow() - first, scaled.rowWork(), [&](int firstRow, int endRow) {
            ScaledImage::Scratch scratch = scaled.scratch();
            for (int y = first + firstRow; y < first + endRow; ++y)
                scaled.drawRow(y, scratch, contextPixel(ctx, scaled.firstColumn(), y));
        });
    } catch (const std::bad_alloc&) {
        // Out of memory for its tables or row buffers: the draw stops where it was.
        return false;
    }
    return true;
}

void fillRect(BitmapContext& ctx, const Rect& rect, const Color& color) {
    if (rect.isEmpty()) return;
    const Rect r = rect.standardized();
    const Span xs = coveredSpan(r.minX(), r.width(), ctx.width());
    const Span ys = coveredSpan(ctx.height() - r.maxY(), r.height(), ctx.height());
    if (xs.size() <= 0 || ys.size() <= 0) return;
    const float a = float(std::clamp(color.alpha, 0.0, 1.0));
    const std::array<float, 4> premultiplied = {float(std::clamp(color.red, 0.0, 1.0)) * a,
                                                float(std::clamp(color.green, 0.0, 1.0)) * a,
                                                float(std::clamp(color.blue, 0.0, 1.0)) * a, a};
    std::vector<float> row;
    for (int i = 0; i < xs.size(); ++i)
        row.insert(row.end(), premultiplied.begin(), premultiplied.end());
    const ContextRows target(ctx.format());
    parallelRows(ys.size(), size_t(xs.size()), [&](int firstRow, int endRow) {
        for (int k = firstRow; k < endRow; ++k)
            target.composite(row.data(), xs.size(), contextPixel(ctx, xs.first, ys.first + k));
    });
}

ImagePtr createImage(const BitmapContext& ctx) {
    return Image::copy(ctx.data(), ctx.width(), ctx.height(), ctx.rowBytes(), ctx.format());
}

} // namespace graphics
