#include "platform/graphics/ScaledImage.h"

#include "platform/graphics/ContextRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace graphics {

namespace {

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

// The sum of `taps` resampled pixels weighted by w, the i-th at at(i).
template <typename At> void sumPixel(const float* w, int taps, At&& at, float* out) {
    float r = 0, g = 0, b = 0, a = 0;
    for (int t = 0; t < taps; ++t) {
        const float* p = at(t);
        r += w[t] * p[0];
        g += w[t] * p[1];
        b += w[t] * p[2];
        a += w[t] * p[3];
    }
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

// One output pixel from `count` consecutive source pixels at s.
void resamplePixel(const float* s, const float* w, int count, float* out) {
    sumPixel(
        w, count, [s](int t) { return s + size_t(t) * 4; }, out);
}

void resampleRow(const float* line, int lineBegin, const Taps& tx, float* out) {
    const int outs = tx.span.size();
    for (int k = 0; k < outs; ++k, out += 4)
        resamplePixel(line + size_t(tx.start[size_t(k)] - lineBegin) * 4, tx.weightsOf(k),
                      tx.count[size_t(k)], out);
}

} // namespace

struct ScaledImage::Plan {
    Plan(const ImagePtr& picture, const Rect& rect, int height, int width, const PixelFormat& format)
        : image(picture), source(*picture), target(format),
          // Rows are counted from the top of the buffer.
          tx(buildTaps(picture->width(), rect.minX(), rect.width(), width)),
          ty(buildTaps(picture->height(), height - rect.maxY(), rect.height(), height)) {}

    bool bytesAtScale(int taps) const {
        return taps == 1 && tx.identity && image->format().bitsPerComponent == 8;
    }

    ImagePtr image;
    SourceRows source;
    ContextRows target;
    Taps tx, ty;
};

ScaledImage::ScaledImage(const ImagePtr& image, const Rect& rect, int width, int height,
                         const PixelFormat& format) {
    if (!image || rect.isEmpty()) return;
    auto plan = std::make_unique<Plan>(image, rect.standardized(), height, width, format);
    if (plan->tx.span.size() > 0 && plan->ty.span.size() > 0) plan_ = std::move(plan);
}

ScaledImage::~ScaledImage() = default;

bool ScaledImage::empty() const {
    return !plan_;
}
int ScaledImage::firstColumn() const {
    return plan_ ? plan_->tx.span.first : 0;
}
int ScaledImage::endColumn() const {
    return plan_ ? plan_->tx.span.end : 0;
}
int ScaledImage::firstRow() const {
    return plan_ ? plan_->ty.span.first : 0;
}
int ScaledImage::endRow() const {
    return plan_ ? plan_->ty.span.end : 0;
}

size_t ScaledImage::rowWork() const {
    if (!plan_) return 0;
    const Taps& tx = plan_->tx;
    return (size_t(tx.sourceEnd() - tx.sourceBegin()) + size_t(tx.span.size())) * size_t(plan_->ty.maxTaps);
}

ScaledImage::Scratch ScaledImage::scratch() const {
    Scratch s;
    if (!plan_) return s;
    const Taps &tx = plan_->tx, &ty = plan_->ty;
    const size_t lineFloats = size_t(tx.sourceEnd() - tx.sourceBegin()) * 4;
    const size_t rowFloats = std::max(lineFloats, size_t(tx.span.size()) * 4);
    s.line.resize(lineFloats);
    s.sum.resize(size_t(tx.span.size()) * 4);
    for (std::vector<float>& r : s.rows)
        r.resize(rowFloats);
    s.column.resize(size_t(ty.sourceEnd() - ty.sourceBegin()) * 4);
    s.pixels.resize(size_t(tx.maxTaps) * 4);
    return s;
}

// Source row y resampled across, from the scratch's last two when it is one of them.
const float* ScaledImage::sourceRow(int y, Scratch& s) const {
    for (int i = 0; i < 2; ++i)
        if (s.rowIndex[i] == y) return s.rows[i].data();
    const int slot = s.rowIndex[0] < s.rowIndex[1] ? 0 : 1; // the older, as rows are drawn in order
    const Taps& tx = plan_->tx;
    float* out = s.rows[slot].data();
    if (tx.identity) {
        plan_->source.load(y, tx.sourceBegin(), tx.sourceEnd(), out);
    } else {
        plan_->source.load(y, tx.sourceBegin(), tx.sourceEnd(), s.line.data());
        resampleRow(s.line.data(), tx.sourceBegin(), tx, out);
    }
    s.rowIndex[slot] = y;
    return out;
}

void ScaledImage::drawRow(int y, Scratch& s, uint8_t* out) const {
    if (!plan_ || y < plan_->ty.span.first || y >= plan_->ty.span.end) return;
    const Plan& p = *plan_;
    const int k = y - p.ty.span.first;
    const int cols = p.tx.span.size();
    const int taps = p.ty.count[size_t(k)];
    const int y0 = p.ty.start[size_t(k)];
    if (p.bytesAtScale(taps)) {
        p.target.compositeBytes(p.image->row(y0) + size_t(p.tx.sourceBegin()) * 4, p.image->format(), cols,
                                out);
        return;
    }
    const float* result;
    if (taps == 1) {
        result = sourceRow(y0, s);
    } else {
        const float* w = p.ty.weightsOf(k);
        std::fill(s.sum.begin(), s.sum.end(), 0.0f);
        for (int t = 0; t < taps; ++t) {
            const float* row = sourceRow(y0 + t, s);
            for (size_t i = 0; i < s.sum.size(); ++i)
                s.sum[i] += w[t] * row[i];
        }
        result = s.sum.data();
    }
    p.target.composite(result, cols, out);
}

// Source row y resampled across at drawn column `column` (counted from the first drawn one).
void ScaledImage::sourcePixel(int y, int column, Scratch& s, float* out) const {
    const Taps& tx = plan_->tx;
    const int first = tx.start[size_t(column)], count = tx.count[size_t(column)];
    if (tx.identity) {
        plan_->source.load(y, first, first + 1, out);
    } else {
        plan_->source.load(y, first, first + count, s.pixels.data());
        resamplePixel(s.pixels.data(), tx.weightsOf(column), count, out);
    }
}

void ScaledImage::drawPixel(int x, int y, Scratch& s, uint8_t* out) const {
    if (!plan_ || x < plan_->tx.span.first || x >= plan_->tx.span.end || y < plan_->ty.span.first ||
        y >= plan_->ty.span.end)
        return;
    const Plan& p = *plan_;
    const int c = x - p.tx.span.first, k = y - p.ty.span.first;
    const int taps = p.ty.count[size_t(k)];
    const int y0 = p.ty.start[size_t(k)];
    if (p.bytesAtScale(taps)) {
        p.target.compositeBytes(p.image->row(y0) + size_t(p.tx.start[size_t(c)]) * 4, p.image->format(), 1,
                                out);
        return;
    }
    float px[4];
    if (taps == 1) {
        sourcePixel(y0, c, s, px);
        p.target.composite(px, 1, out);
        return;
    }
    float sum[4];
    sumPixel(
        p.ty.weightsOf(k), taps,
        [&](int t) {
            sourcePixel(y0 + t, c, s, px);
            return px;
        },
        sum);
    p.target.composite(sum, 1, out);
}

void ScaledImage::drawColumn(int x, Scratch& s, uint8_t* out, size_t stride) const {
    if (!plan_ || x < plan_->tx.span.first || x >= plan_->tx.span.end) return;
    const Plan& p = *plan_;
    const Taps &tx = p.tx, &ty = p.ty;
    const int c = x - tx.span.first;
    const int first = tx.start[size_t(c)];
    const int begin = ty.sourceBegin();
    // The column resampled across from every source row the drawing reads, as drawRow's rows hold it.
    if (s.columnIndex != x) {
        for (int y = begin; y < ty.sourceEnd(); ++y)
            sourcePixel(y, c, s, s.column.data() + size_t(y - begin) * 4);
        s.columnIndex = x;
    }
    const auto columnAt = [&](int y) { return s.column.data() + size_t(y - begin) * 4; };
    for (int k = 0; k < ty.span.size(); ++k, out += stride) {
        const int taps = ty.count[size_t(k)];
        const int y0 = ty.start[size_t(k)];
        if (p.bytesAtScale(taps)) {
            p.target.compositeBytes(p.image->row(y0) + size_t(first) * 4, p.image->format(), 1, out);
            continue;
        }
        if (taps == 1) {
            p.target.composite(columnAt(y0), 1, out);
            continue;
        }
        float px[4];
        sumPixel(
            ty.weightsOf(k), taps, [&](int t) { return columnAt(y0 + t); }, px);
        p.target.composite(px, 1, out);
    }
}

} // namespace graphics
