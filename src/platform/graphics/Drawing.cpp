#include "platform/graphics/Drawing.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace graphics {

namespace {

// Output pixels [first, end) along one axis.
struct Span {
    int first = 0;
    int end = 0;
    int size() const { return end - first; }
};

// Pixels of [0, n) whose centre lies in [start, start + length).
Span coveredSpan(double start, double length, int n) {
    if (!(length > 0) || !std::isfinite(start) || !std::isfinite(length)) return {};
    const double lo = std::clamp(std::ceil(start - 0.5), 0.0, double(n));
    const double hi = std::clamp(std::ceil(start + length - 0.5), 0.0, double(n));
    return {int(lo), int(std::max(lo, hi))};
}

int clampIndex(double i, int n) {
    return int(std::clamp(i, 0.0, double(n - 1)));
}

// Per output pixel along one axis: the source pixels it reads and their weights (summing to 1).
struct Taps {
    Span span;
    int maxTaps = 1;
    std::vector<int> start; // first source index, per output pixel of the span
    std::vector<int> count;
    std::vector<float> weights; // maxTaps per output pixel
    bool identity = true;       // one tap of weight 1, consecutive sources

    const float* weightsOf(int k) const { return weights.data() + size_t(k) * size_t(maxTaps); }
    int sourceBegin() const { return start.front(); }
    int sourceEnd() const { return start.back() + count.back(); }
};

// The image's n source pixels spread over [start, start + length) of an axis of destN pixels.
Taps buildTaps(int n, double start, double length, int destN) {
    Taps t;
    t.span = coveredSpan(start, length, destN);
    const int outs = t.span.size();
    if (outs <= 0) return t;
    const double scale = n / length;      // source pixels per output pixel
    if (!std::isfinite(scale)) return {}; // a rectangle too thin to place anything in
    const bool reducing = scale > 1;
    t.maxTaps = reducing ? int(std::min(std::ceil(scale), double(n))) + 1 : 2;
    t.start.resize(size_t(outs));
    t.count.resize(size_t(outs));
    t.weights.assign(size_t(outs) * size_t(t.maxTaps), 0.0f);
    for (int k = 0; k < outs; ++k) {
        const int o = t.span.first + k;
        float* w = t.weights.data() + size_t(k) * size_t(t.maxTaps);
        int first = 0;
        int taps = 0;
        if (!reducing) {
            const double s = (o + 0.5 - start) * scale - 0.5; // source position, pixel centres at integers
            const double whole = std::floor(s);
            const double f = s - whole;
            first = clampIndex(whole, n);
            const int next = clampIndex(whole + 1, n);
            w[taps++] = 1.0f;
            if (f != 0 && next != first) {
                w[0] = float(1 - f);
                w[taps++] = float(f);
            }
        } else {
            const double lo = std::clamp((o - start) * scale, 0.0, double(n));
            const double hi = std::clamp((o + 1 - start) * scale, 0.0, double(n));
            const double total = hi - lo;
            first = clampIndex(std::floor(lo), n);
            for (int i = first; i < n && i < hi && taps < t.maxTaps; ++i)
                w[taps++] = float((std::min(hi, i + 1.0) - std::max(lo, double(i))) / total);
        }
        t.start[size_t(k)] = first;
        t.count[size_t(k)] = taps;
        if (taps != 1 || w[0] != 1.0f || first != t.start[0] + k) t.identity = false;
    }
    return t;
}

constexpr std::array<float, 256> kByteUnits = [] {
    std::array<float, 256> values{};
    for (int i = 0; i < 256; ++i)
        values[size_t(i)] = float(i) / 255.0f;
    return values;
}();

float unitOf(uint8_t v) {
    return kByteUnits[v];
}
float unitOf(uint16_t v) {
    return float(v) / 65535.0f;
}
float unitOf(float v) {
    return v;
}

// Reads source rows as premultiplied RGBA floats.
class SourceRows {
  public:
    explicit SourceRows(const Image& image) : image_(image) {
        const PixelFormat& f = image.format();
        index_ = {f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B), f.indexOf(Channel::A)};
        premultiply_ = f.hasAlpha() && !f.premultiplied;
    }

    // Columns [x0, x1) of row y into out (4 floats a pixel).
    void load(int y, int x0, int x1, float* out) const {
        switch (image_.format().bitsPerComponent) {
        case 8:
            return loadAs<uint8_t>(y, x0, x1, out);
        case 16:
            return loadAs<uint16_t>(y, x0, x1, out);
        default:
            return loadAs<float>(y, x0, x1, out);
        }
    }

  private:
    template <typename T> void loadAs(int y, int x0, int x1, float* out) const {
        if (premultiply_)
            loadAs<T, true>(y, x0, x1, out);
        else
            loadAs<T, false>(y, x0, x1, out);
    }

    template <typename T, bool Premultiply> void loadAs(int y, int x0, int x1, float* out) const {
        const uint8_t* p = image_.row(y) + size_t(x0) * 4 * sizeof(T);
        const int r = index_[0], g = index_[1], b = index_[2], a = index_[3];
        for (int x = x0; x < x1; ++x, p += 4 * sizeof(T), out += 4) {
            T px[4];
            std::memcpy(px, p, sizeof px); // rows of wide components need not be aligned
            const float alpha = a >= 0 ? unitOf(px[a]) : 1.0f;
            if constexpr (Premultiply) {
                out[0] = unitOf(px[r]) * alpha;
                out[1] = unitOf(px[g]) * alpha;
                out[2] = unitOf(px[b]) * alpha;
            } else {
                out[0] = unitOf(px[r]);
                out[1] = unitOf(px[g]);
                out[2] = unitOf(px[b]);
            }
            out[3] = alpha;
        }
    }

    const Image& image_;
    std::array<int, 4> index_{};
    bool premultiply_ = false;
};

// Writes premultiplied RGBA floats source-over into a context row. The loops copy the layout
// into locals: byte stores could alias the members and force a reload per pixel.
class ContextRows {
  public:
    explicit ContextRows(const PixelFormat& f)
        : layout_{f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B), f.indexOf(Channel::A),
                  f.indexOf(Channel::X)} {}

    void composite(const float* src, int n, uint8_t* dst) const {
        const Layout to = layout_;
        for (int i = 0; i < n; ++i, src += 4, dst += 4)
            compositePixel(to, src, dst);
    }

    // An 8-bit source row at the same scale: opaque pixels are copied byte for byte (the
    // result the float path gives them), the others go through compositePixel.
    void compositeBytes(const uint8_t* src, const PixelFormat& format, int n, uint8_t* dst) const {
        const Layout to = layout_;
        const int r = format.indexOf(Channel::R), g = format.indexOf(Channel::G),
                  b = format.indexOf(Channel::B), a = format.indexOf(Channel::A);
        const bool straight = !format.premultiplied;
        for (int i = 0; i < n; ++i, src += 4, dst += 4) {
            if (a < 0 || src[a] == 255) {
                const uint8_t red = src[r], green = src[g], blue = src[b];
                dst[to.r] = red;
                dst[to.g] = green;
                dst[to.b] = blue;
                if (to.a >= 0) dst[to.a] = 255;
                if (to.x >= 0) dst[to.x] = 255;
                continue;
            }
            const float alpha = unitOf(src[a]);
            const float m = straight ? alpha : 1.0f;
            const float px[4] = {unitOf(src[r]) * m, unitOf(src[g]) * m, unitOf(src[b]) * m, alpha};
            compositePixel(to, px, dst);
        }
    }

  private:
    struct Layout {
        int r, g, b, a, x; // memory index of each channel; a or x is -1
    };

    static void compositePixel(const Layout to, const float* src, uint8_t* dst) {
        const float a = clampTo(src[3], 1.0f);
        float r = clampTo(src[0], a), g = clampTo(src[1], a), b = clampTo(src[2], a);
        float outA = 1.0f;
        if (a < 1.0f) {
            const float keep = 1.0f - a;
            const float dstA = to.a >= 0 ? unitOf(dst[to.a]) : 1.0f;
            r += unitOf(dst[to.r]) * keep;
            g += unitOf(dst[to.g]) * keep;
            b += unitOf(dst[to.b]) * keep;
            outA = a + dstA * keep;
        }
        dst[to.r] = toByte(r);
        dst[to.g] = toByte(g);
        dst[to.b] = toByte(b);
        if (to.a >= 0) dst[to.a] = toByte(outA);
        if (to.x >= 0) dst[to.x] = 255;
    }

    // NaN becomes 0.
    static float clampTo(float v, float hi) { return v > 0.0f ? (v < hi ? v : hi) : 0.0f; }
    static uint8_t toByte(float v) { return uint8_t(clampTo(v, 1.0f) * 255.0f + 0.5f); }

    Layout layout_;
};

void resampleRow(const float* line, int lineBegin, const Taps& tx, float* out) {
    const int outs = tx.span.size();
    for (int k = 0; k < outs; ++k, out += 4) {
        const float* w = tx.weightsOf(k);
        const float* s = line + size_t(tx.start[size_t(k)] - lineBegin) * 4;
        float r = 0, g = 0, b = 0, a = 0;
        for (int t = 0; t < tx.count[size_t(k)]; ++t, s += 4) {
            r += w[t] * s[0];
            g += w[t] * s[1];
            b += w[t] * s[2];
            a += w[t] * s[3];
        }
        out[0] = r;
        out[1] = g;
        out[2] = b;
        out[3] = a;
    }
}

uint8_t* contextPixel(BitmapContext& ctx, int x, int y) {
    return ctx.data() + size_t(y) * ctx.rowBytes() + size_t(x) * 4;
}

} // namespace

void drawImage(BitmapContext& ctx, const Rect& rect, const ImagePtr& image) {
    if (!image || rect.isEmpty()) return;
    const Rect r = rect.standardized();
    // Rows are counted from the top of the buffer.
    const Taps tx = buildTaps(image->width(), r.minX(), r.width(), ctx.width());
    const Taps ty = buildTaps(image->height(), ctx.height() - r.maxY(), r.height(), ctx.height());
    if (tx.span.size() <= 0 || ty.span.size() <= 0) return;

    const SourceRows source(*image);
    const ContextRows target(ctx.format());
    const int cols = tx.span.size();
    const int lineBegin = tx.sourceBegin();
    const size_t lineFloats = size_t(tx.sourceEnd() - lineBegin) * 4;
    const size_t work = (lineFloats / 4 + size_t(cols)) * size_t(ty.maxTaps);
    try {
        parallelRows(ty.span.size(), work, [&](int firstRow, int endRow) {
            std::vector<float> line(lineFloats), across(size_t(cols) * 4), sum(size_t(cols) * 4);
            // One source row resampled across, in `line` itself when no resampling is needed.
            auto sourceRow = [&](int y) -> const float* {
                source.load(y, lineBegin, tx.sourceEnd(), line.data());
                if (tx.identity) return line.data();
                resampleRow(line.data(), lineBegin, tx, across.data());
                return across.data();
            };
            for (int k = firstRow; k < endRow; ++k) {
                const int taps = ty.count[size_t(k)];
                const int y0 = ty.start[size_t(k)];
                uint8_t* out = contextPixel(ctx, tx.span.first, ty.span.first + k);
                if (taps == 1 && tx.identity && image->format().bitsPerComponent == 8) {
                    target.compositeBytes(image->row(y0) + size_t(lineBegin) * 4, image->format(), cols, out);
                    continue;
                }
                const float* result;
                if (taps == 1) {
                    result = sourceRow(y0);
                } else {
                    const float* w = ty.weightsOf(k);
                    std::fill(sum.begin(), sum.end(), 0.0f);
                    for (int t = 0; t < taps; ++t) {
                        const float* row = sourceRow(y0 + t);
                        for (size_t i = 0; i < sum.size(); ++i)
                            sum[i] += w[t] * row[i];
                    }
                    result = sum.data();
                }
                target.composite(result, cols, out);
            }
        });
    } catch (const std::bad_alloc&) {
        // Out of memory for row buffers: the draw stops where it was.
    }
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
