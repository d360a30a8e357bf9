#include "editor/HistogramTables.h"

#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

uint64_t HistogramTables::capForSize(int width, int height) {
    // 64-bit: the 32-bit product overflows past about 430 megapixels.
    return uint64_t(int64_t(width) * int64_t(height) * 5 / 256);
}

void HistogramTables::count(const uint8_t* xrgb, int width, int height, size_t rowBytes, int rOffset,
                            int gOffset, int bOffset) {
    luminance.fill(0);
    red.fill(0);
    green.fill(0);
    blue.fill(0);
    if (!xrgb || width <= 0 || height <= 0) return;
    const uint64_t cap = capForSize(width, height);
    std::mutex merge;
    graphics::parallelRows(height, size_t(width), [&](int firstRow, int endRow) {
        // A capped count is the smaller of the true count and the cap, whatever the order of pixels,
        // so bands count freely and are capped once merged.
        Table l{}, r{}, g{}, b{};
        for (int y = firstRow; y < endRow; ++y) {
            const uint8_t* p = xrgb + size_t(y) * rowBytes;
            for (int x = 0; x < width; ++x, p += 4) {
                const uint8_t R = p[rOffset], G = p[gOffset], B = p[bOffset];
                const float lum = 0.3f * float(R) + 0.59f * float(G) + 0.11f * float(B);
                ++l[std::min(255, int(lum))];
                ++r[R];
                ++g[G];
                ++b[B];
            }
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int i = 0; i < 256; ++i) {
            luminance[i] += l[i];
            red[i] += r[i];
            green[i] += g[i];
            blue[i] += b[i];
        }
    });
    for (Table* table : {&luminance, &red, &green, &blue})
        for (uint64_t& bin : *table)
            bin = std::min(bin, cap);
}

bool HistogramTables::build(const graphics::ImagePtr& image) {
    *this = HistogramTables();
    if (!image || image->width() <= 0 || image->height() <= 0) return false;
    const graphics::PixelFormat& format = image->format();
    if (format.bitsPerComponent == 8 && (!format.hasAlpha() || format.premultiplied)) {
        // Drawing these into the X,R,G,B buffer would copy the same colour bytes: count them in place.
        count(image->data(), image->width(), image->height(), image->rowBytes(),
              format.indexOf(graphics::Channel::R), format.indexOf(graphics::Channel::G),
              format.indexOf(graphics::Channel::B));
        return true;
    }
    std::unique_ptr<graphics::BitmapContext> context =
        CreateARGBBitmapContext(size_t(image->width()), size_t(image->height()));
    if (!context) return false;
    uint8_t* pixels = context->data();
    graphics::drawImage(*context, graphics::Rect{0, 0, double(image->width()), double(image->height())},
                        image);
    count(pixels, context->width(), context->height(), context->rowBytes());
    context.reset();
    std::free(pixels);
    return true;
}
