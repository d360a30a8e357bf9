#include "engine/Neighbourhood.h"

#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/Rect.h"

#include <algorithm>
#include <cstdlib>

namespace {

using PP = PostProcess;

bool inside(int64_t x, int64_t y) {
    return PP::gp_data && x >= 0 && y >= 0 && x < PP::g_width && y < PP::g_height;
}

// The working-image pixel at (x, y) with both coordinates clamped into it; the image must exist.
pixel_t clamped_pixel(int64_t x, int64_t y) {
    return PP::get_source_pixel(int32_t(std::clamp<int64_t>(x, 0, PP::g_width - 1)),
                                int32_t(std::clamp<int64_t>(y, 0, PP::g_height - 1)));
}

// Process-wide like the counters; rebuilt by every levels stretch.
uint8_t g_levels_table[256];

} // namespace

float do_test_edge_detection(int32_t x, int32_t y, bool randomized, float scale, float min, float max) {
    using namespace neighbourhood_detail;
    int32_t sx[8], sy[8];
    edge_positions(x, y, randomized, scale, min, max, sx, sy);
    float grey[8];
    for (int k = 0; k < 8; ++k) {
        grey[k] = 0.0f;
        if (!inside(sx[k], sy[k])) continue;
        const uint8_t* p =
            PP::gp_data + (size_t(sy[k]) * size_t(PP::g_width) + size_t(sx[k])) * size_t(PP::g_bpp_dv);
        const float sum = float(double(int32_t(p[1]) + p[2] + p[3]) * (1.0 / 255.0));
        grey[k] = float(double(sum) * (1.0 / 3.0));
    }
    enum { NW, N, NE, W, E, SW, S, SE };
    const float gx = (grey[NE] + 5.0f * grey[E] + grey[SE]) - (grey[NW] + 5.0f * grey[W] + grey[SW]);
    const float gy = (grey[SW] + 5.0f * grey[S] + grey[SE]) - (grey[NW] + 5.0f * grey[N] + grey[NE]);
    const float v = std::sqrt(gx * gx + gy * gy);
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

pixel_t do_sharpen(int32_t x, int32_t y) {
    const pixel_t c = PP::get_source_pixel(x, y);
    pixel_t sum{8.0f * c.r, 8.0f * c.g, 8.0f * c.b};
    for (const auto& o : neighbourhood_detail::kOffsets) {
        const pixel_t n = PP::get_source_pixel(x + int32_t(o[0]), y + int32_t(o[1]));
        sum.r -= n.r;
        sum.g -= n.g;
        sum.b -= n.b;
    }
    return {sum.r * 0.125f, sum.g * 0.125f, sum.b * 0.125f};
}

pixel_t get_blur_pixel(int32_t x, int32_t y) {
    const pixel_t c = PP::get_source_pixel(x, y);
    const pixel_t l = PP::get_source_pixel(x - 1, y);
    const pixel_t r = PP::get_source_pixel(x + 1, y);
    const pixel_t a = PP::get_source_pixel(x, y - 1);
    const pixel_t b = PP::get_source_pixel(x, y + 1);
    return {(c.r + l.r + r.r + a.r + b.r) / 5.0f, (c.g + l.g + r.g + a.g + b.g) / 5.0f,
            (c.b + l.b + r.b + a.b + b.b) / 5.0f};
}

pixel_t get_flat(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool take_max) {
    const float start = take_max ? 0.0f : 1.0f;
    pixel_t out{start, start, start};
    if (!PP::gp_data) return out;
    for (int64_t x = std::min(x0, x1); x < std::max(x0, x1); ++x)
        for (int64_t y = std::min(y0, y1); y < std::max(y0, y1); ++y) {
            const pixel_t p = clamped_pixel(x, y);
            if (take_max) {
                out = {std::max(out.r, p.r), std::max(out.g, p.g), std::max(out.b, p.b)};
            } else {
                out = {std::min(out.r, p.r), std::min(out.g, p.g), std::min(out.b, p.b)};
            }
        }
    return out;
}

void get_region_info(float out[6], int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    float sum[3] = {0, 0, 0}, squares[3] = {0, 0, 0};
    int64_t count = 0;
    for (int64_t x = std::min(x0, x1); x < std::max(x0, x1); ++x)
        for (int64_t y = std::min(y0, y1); y < std::max(y0, y1); ++y) {
            ++count;
            if (!inside(x, y)) continue;
            const pixel_t p = PP::get_source_pixel(int32_t(x), int32_t(y));
            const float c[3] = {p.r, p.g, p.b};
            for (int i = 0; i < 3; ++i) {
                sum[i] += c[i];
                squares[i] += c[i] * c[i];
            }
        }
    if (count == 0) {
        std::fill(out, out + 6, 0.0f);
        return;
    }
    const float n = float(count);
    for (int i = 0; i < 3; ++i) {
        out[i] = sum[i] / n;
        out[3 + i] = (squares[i] * n - sum[i] * sum[i]) / n;
    }
}

pixel_t do_kuwahara(int32_t x, int32_t y) {
    float regions[4][6];
    get_region_info(regions[0], x - 3, y - 3, x, y);
    get_region_info(regions[1], x - 3, y + 3, x, y);
    get_region_info(regions[2], x + 3, y + 3, x, y);
    get_region_info(regions[3], x + 3, y - 3, x, y);
    float out[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        float best = 1000000000.0f;
        for (const auto& region : regions)
            if (region[3 + c] < best) {
                best = region[3 + c];
                out[c] = region[c];
            }
    }
    return {out[0], out[1], out[2]};
}

foundation::Bytes CopyImagePixels(const graphics::ImagePtr& image) {
    if (!image) return {};
    const uint8_t* data = image->data();
    return foundation::Bytes(data, data + image->rowBytes() * size_t(image->height()));
}

// ---- Histogram ----

void PostProcess::build_histogram_table(const graphics::ImagePtr& image) {
    std::fill(std::begin(g_histogram_table), std::end(g_histogram_table), 0);
    if (!image) return;
    const int32_t w = image->width(), h = image->height();
    std::unique_ptr<graphics::BitmapContext> ctx = CreateARGBBitmapContext(size_t(w), size_t(h));
    if (!ctx) return;
    graphics::drawImage(*ctx, graphics::Rect(0, 0, w, h), image);
    uint8_t* data = ctx->data();
    for (int32_t x = 0; x < w; ++x)
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* p = data + (size_t(y) * size_t(w) + size_t(x)) * 4;
            const double luminance = 0.3 * p[1] + 0.59 * p[2] + 0.11 * p[3];
            ++g_histogram_table[std::min(255, int(std::round(luminance)))];
        }
    ctx.reset();
    std::free(data);
}

int32_t PostProcess::get_histogramm_auto_low() {
    for (int32_t i = 0; i < 256; ++i)
        if (g_histogram_table[i] > uint64_t(MIN_THRESHOLD)) return i;
    return 0;
}

int32_t PostProcess::get_histogramm_auto_high() {
    for (int32_t i = 255; i >= 0; --i)
        if (g_histogram_table[i] > uint64_t(MIN_THRESHOLD)) return i;
    return 0;
}

void PostProcess::adjust_image_histogramm(uint8_t* bytes, uint64_t width, uint64_t height,
                                          int32_t histogramm_low, int32_t histogramm_high) {
    // The table has 256 entries: bounds past it would write outside, an empty range divide by 0.
    const int32_t low = std::clamp(histogramm_low, 0, 256);
    const int32_t high = std::clamp(histogramm_high, 0, 256);
    if (!bytes || low >= high) return;

    std::fill(g_levels_table, g_levels_table + low, 0);
    const float step = 256.0f / float(high - low);
    float v = 0.0f;
    for (int32_t k = 0; k < high - low; ++k) {
        g_levels_table[low + k] = uint8_t(std::min(255.0f, v + 0.5f));
        v += step;
    }
    std::fill(g_levels_table + high, g_levels_table + 256, 255);

    const uint64_t pixels = width * height;
    for (uint64_t i = 0; i < pixels; ++i) {
        uint8_t* p = bytes + i * 4;
        const float y = float(0.11 * p[3] + (0.59 * p[2] + 0.3 * p[1]) + 0.5);
        const float ratio = float(g_levels_table[int(y)]) / y;
        for (int c = 1; c <= 3; ++c)
            p[c] = uint8_t(std::min(255.0f, std::max(0.0f, float(p[c]) * ratio)));
    }
}
