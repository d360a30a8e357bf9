#include "engine/effects/adjustments/PP_SuperFilter.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/BlackBodyWhiteBalance.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/denoise/denoise.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/Clamp.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/services/KXSLocalization.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>

namespace {

struct AdjustmentSpec {
    const char* key;
    double min, max, def;
};

// Indexed by PP_SuperFilter::Adjustment. The gamma bounds are single-precision values widened.
constexpr AdjustmentSpec kAdjustments[PP_SuperFilter::kAdjustmentCount] = {
    {"R", 0.0, 2.0, 1.0},
    {"G", 0.0, 2.0, 1.0},
    {"B", 0.0, 2.0, 1.0},
    {"Contrast", 0.5, 1.5, 1.0},
    {"Saturation", 0.0, 2.0, 1.0},
    {"Hue", -0.5, 0.5, 0.0},
    {"Color Temperature", 4.0, 9.6, 6.8},
    {"Shadow Amount", 0.0, 1.0, 0.0},
    {"Shadow Tonal Width", 15.0, 255.0, 15.0},
    {"Highlight Amount", 0.0, 1.0, 0.0},
    {"Highlight Tonal Width", 15.0, 255.0, 200.0},
    {"Histogram Low Bound", 0.0, 255.0, 0.0},
    {"Histogram High Bound", 0.0, 255.0, 255.0},
    {"Brightness", 0.0, 1.0, 0.5},
    {"Amount", 1.0, 7.0, 1.0},
    {"Radius", 1.0, 5.0, 1.0},
    {"Amount", 0.0, 1.1, 0.0},
    {"Radius", 1.0, 5.0, 1.0},
    {"Exposure", 0.0, 1.0, 0.5},
    {"Histogram Gamma", double(0.05f), double(0.95f), 0.5},
};

constexpr int kGammaColumns = 768;
using GammaTable = std::array<std::array<uint8_t, kGammaColumns>, 256>;

// Row v is the input level, column j raises it to 256 / j (column 0: to infinity).
const GammaTable& g_gamma_table() {
    static const GammaTable table = [] {
        GammaTable t{};
        for (int j = 0; j < kGammaColumns; ++j) {
            const float exponent =
                j == 0 ? std::numeric_limits<float>::infinity() : float(1.0 / (double(j) * 0.00390625));
            for (int v = 0; v < 256; ++v) {
                const double scaled = std::trunc(double(powf(float(v) / 255.0f, exponent)) * 255.0 + 0.5);
                t[size_t(v)][size_t(j)] = uint8_t(std::min(255.0, scaled));
            }
        }
        return t;
    }();
    return table;
}

using graphics::clamp01;

// A box-blur radius from a fractional one: at least 1, else truncated.
inline int blurRadius(double r) {
    return r < 1.0 ? 1 : int(std::min(r, double(std::numeric_limits<int>::max())));
}

std::unique_ptr<uint8_t[]> newPlane(size_t n) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[n]);
}

// The YCbCr split the exposure and brightness stages share.
struct Ycc {
    float y, cb, cr;
};

inline Ycc toYcc(pixel_t p) {
    return {0.299f * p.r + 0.587f * p.g + 0.114f * p.b, -0.1687f * p.r - 0.3313f * p.g + 0.5f * p.b,
            0.5f * p.r - 0.4187f * p.g - 0.0813f * p.b};
}

inline pixel_t fromYcc(float y, float cb, float cr) {
    return {y + 1.402f * cr, y - 0.34414f * cb - 0.71414f * cr, y + 1.772f * cb};
}

} // namespace

PP_SuperFilter::PP_SuperFilter() {
    std::fill(std::begin(previousValues), std::end(previousValues), -1.0f);
    for (int i = 0; i < kAdjustmentCount; ++i)
        currentValues[i] = defaultValues[i] = float(kAdjustments[i].def);
}

PP_SuperFilter::~PP_SuperFilter() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void PP_SuperFilter::init(const foundation::Value& object, int32_t index) {
    PostProcess::init(object, index);
    g_gamma_table();
    std::fill(std::begin(previousValues), std::end(previousValues), -1.0f);
    canceled.store(false);
    foundation::NotificationCenter& center = foundation::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    center.addObserver(this, "processingAreCanceled", nullptr,
                       [this](const foundation::Notification&) { processingWasCanceled(); });
    center.addObserver(this, "processingCancelingAreFinished", nullptr,
                       [this](const foundation::Notification&) { cancelingWasFinished(); });
}

std::vector<std::shared_ptr<PostProcessParameter>>& PP_SuperFilter::params() {
    if (m_params.empty())
        for (const AdjustmentSpec& a : kAdjustments)
            m_params.push_back(std::make_shared<PostProcessParameter>(
                services::KXSLocalization::localizedStringForKey(a.key, ""), a.min, a.max, a.def));
    return m_params;
}

void PP_SuperFilter::clearCashes() {
    std::lock_guard guard(lock());
    mp_highpass.reset();
    mp_shadows.reset();
    mp_highlights.reset();
    mp_tex_denoise_processed.reset();
}

bool PP_SuperFilter::progress_callback(float fraction) {
    // In single precision: 0.29 gives 29 here, where double arithmetic would give 28.
    report_changed_percent(int(fraction * 100.0f));
    return !foundation::Thread::current().isCancelled();
}

int PP_SuperFilter::progress_callback(float fraction, void* context) {
    return static_cast<PP_SuperFilter*>(context)->progress_callback(fraction) ? 1 : 0;
}

// ---- Preparation ----

void PP_SuperFilter::prepare_for_process() {
    const std::vector<std::shared_ptr<PostProcessParameter>>& list = params();
    for (size_t i = 0; i < kAdjustmentCount; ++i) {
        const PostProcessParameter* p = i < list.size() ? list[i].get() : nullptr;
        currentValues[i] = float(p ? p->value() : kAdjustments[i].def);
        defaultValues[i] = float(p ? p->default_value() : kAdjustments[i].def);
    }
    const auto differs = [this](int i) { return currentValues[i] != defaultValues[i]; };

    // Rows outside the table (values the slider cannot reach) take its nearest row.
    const double row = double(currentValues[kTemperature]) * 10.0 - 40.0;
    const int r = row > 0.0 ? int(std::min(row, double(kBlackBodyRows - 1))) : 0;
    const pixel_t wb = blackBodyWhiteBalance[r];
    const float inv[3] = {1.0f / wb.r, 1.0f / wb.g, 1.0f / wb.b};
    const float m = std::min(std::min(inv[0], inv[1]), inv[2]);
    for (int c = 0; c < 3; ++c)
        m_rgb_mult[c] = inv[c] / m;
    m_float_param1 = 1.0;

    buildLevelsTable(currentValues[kLevelsLow], currentValues[kLevelsHigh]);
    // Their planes are made whether or not a stage reads them; memory that ran out for one fails the run.
    if (!prepareDenoise() || !prepareMasks()) preparation_failed();

    Stages& s = m_stages;
    s.denoise = currentValues[kDenoiseAmount] > 0.0f;
    s.levels = differs(kLevelsLow) || differs(kLevelsHigh) || differs(kLevelsGamma);
    s.temperature = std::round(currentValues[kTemperature]) != std::round(defaultValues[kTemperature]);
    s.saturation = differs(kSaturation);
    s.hue = differs(kHue);
    s.exposure = differs(kExposure);
    s.brightness = differs(kBrightness);
    s.contrast = differs(kContrast);
    s.shadows = differs(kShadowAmount) || differs(kShadowTonalWidth);
    s.highlights = differs(kHighlightAmount) || differs(kHighlightTonalWidth);
    s.sharpen = differs(kSharpenRadius) || differs(kSharpenAmount);
    s.gamma = differs(kRed) || differs(kGreen) || differs(kBlue);

    const float column = std::round(2.0f * currentValues[kLevelsGamma] * 255.0f);
    s.gamma_column = column > 0.0f ? int(std::min(column, float(kGammaColumns - 1))) : 0;
    for (int c = 0; c < 3; ++c) {
        const float v = currentValues[kRed + c];
        s.black[c] = !(v > 0.0f);
        s.exponent[c] = s.black[c] ? 0.0f : 1.0f / v;
    }
}

void PP_SuperFilter::buildLevelsTable(float low, float high) {
    // Bounds outside 0..255 (the slider's range) would index outside the table.
    low = low > 0.0f ? std::min(low, 255.0f) : 0.0f;
    high = high > 0.0f ? std::min(high, 255.0f) : 0.0f;
    for (float i = 0.0f; i < low; i += 1.0f)
        transform_table[int(i)] = 0;
    const int i0 = int(low);
    if (high > float(i0)) {
        const float step = 256.0f / (high - low);
        float a = 0.0f;
        for (int k = 0;; ++k) {
            const double level = std::trunc(double(a) + 0.5);
            transform_table[i0 + k] = uint8_t(level > 255.0 ? 255.0 : (level > 0.0 ? level : 0.0));
            a += step;
            if (!(high > float(i0 + k + 1))) break;
        }
    }
    for (int i = int(high); i < 256; ++i)
        transform_table[i] = 255;
}

bool PP_SuperFilter::prepareDenoise() {
    const float amount = currentValues[kDenoiseAmount];
    // At strength 0 the kernel has nothing to do: the picture stays as it is.
    if (!(amount > 0.0f) || !gp_data) return true;
    const int32_t tw = m_preview_mode ? preview_w : m_width;
    const int32_t th = m_preview_mode ? preview_h : m_height;
    const texture_t* kept = mp_tex_denoise_processed.get();
    if (m_preview_mode && kept && m_denoise_amount == amount && kept->width == tw && kept->height == th)
        return true;

    mp_tex_denoise_processed.reset();
    // Each run reports from its own start: a percentage left by another run is no reason to stay quiet.
    m_prev_precent = -1;
    TexturePtr out(tex_create_empty(tw, th, 4));
    if (!out) return false;
    const bool done = denoise(gp_data, m_width, m_height, 4 * m_width, out->data, tw, th, 4 * tw,
                              &PP_SuperFilter::progress_callback, this, 1.5f, amount);
    // A stopped pass is only partly done: never keep it. Stopped by the cancel handshake, the stage
    // falls back to the source; a cancelled run ends as cancelled whatever this answers.
    if (canceled.load() || foundation::Thread::current().isCancelled()) return true;
    if (!done) return false;
    mp_tex_denoise_processed = std::move(out);
    m_denoise_amount = amount;
    return true;
}

bool PP_SuperFilter::prepareMasks() {
    const int32_t w = m_width, h = m_height;
    if (!gp_data || w <= 0 || h <= 0) return true;
    const bool keepHighpass =
        mp_highpass.fits(w, h) &&
        (currentValues[kSharpenRadius] == defaultValues[kSharpenRadius] ||
         (m_preview_mode && currentValues[kSharpenRadius] == previousValues[kSharpenRadius]));
    const bool keepShadows = m_preview_mode && mp_shadows.fits(w, h);
    const bool keepHighlights = m_preview_mode && mp_highlights.fits(w, h);
    if (keepHighpass && keepShadows && keepHighlights) return true;

    const size_t n = size_t(w) * size_t(h);
    std::unique_ptr<uint8_t[]> luma = newPlane(n);
    std::unique_ptr<uint8_t[]> work = newPlane(n);
    if (!luma || !work) return false;
    const uint8_t* src = gp_data;
    graphics::parallelRows(h, size_t(w), [&](int first, int end) {
        for (size_t i = size_t(first) * size_t(w); i < size_t(end) * size_t(w); ++i) {
            const uint8_t* p = src + i * 4;
            luma[i] = uint8_t(0.299 * p[1] + 0.587 * p[2] + 0.114 * p[3]);
        }
    });

    // Fills work from the luma, then blurs it into a new plane.
    // The new plane is made before the old one goes, so a rebuilt plane never has the old address.
    const auto build = [&](BytePlane& plane, int radius, uint8_t (*value)(uint8_t)) {
        std::unique_ptr<uint8_t[]> data = newPlane(n);
        if (!data) {
            plane.reset();
            return false;
        }
        graphics::parallelRows(h, size_t(w), [&](int first, int end) {
            for (size_t i = size_t(first) * size_t(w); i < size_t(end) * size_t(w); ++i)
                work[i] = value(luma[i]);
        });
        // A blur cut short by a cancel must not be kept for the next preview.
        if (!fast_blur_mono(work.get(), data.get(), w, h, w, w, radius, radius)) {
            plane.reset();
            return false;
        }
        plane = {std::move(data), w, h};
        return true;
    };

    if (!keepHighpass) {
        const float width = float(m_preview_mode ? preview_w : m_width);
        if (!build(mp_highpass, blurRadius(currentValues[kSharpenRadius] * width / 3000.0f),
                   [](uint8_t l) { return l; }))
            return false;
        uint8_t* hp = mp_highpass.data.get();
        if (hp)
            graphics::parallelRows(h, size_t(w), [&](int first, int end) {
                for (size_t i = size_t(first) * size_t(w); i < size_t(end) * size_t(w); ++i) {
                    const int d = int(luma[i]) - int(hp[i]) + 128;
                    hp[i] = uint8_t(d < 0 ? 0 : (d > 255 ? 255 : d));
                }
            });
    }
    if (!keepShadows && !build(mp_shadows, blurRadius(double(w) * 30.0 * 0.0009765625),
                               [](uint8_t l) { return uint8_t(std::max(128, 255 - int(l))); }))
        return false;
    return keepHighlights ||
           build(mp_highlights, blurRadius(double(w) * 0.0009765625 * (0.03125 * double(w))),
                 [](uint8_t l) { return uint8_t(l < 127 ? 0 : (int(l) * 255 - 32385) / 128); });
}

void PP_SuperFilter::process_ended() {
    std::copy(std::begin(currentValues), std::end(currentValues), std::begin(previousValues));
    // A full-size run replaces the picture the noise reduction was made from.
    if (!m_preview_mode) mp_tex_denoise_processed.reset();
}

// ---- Per pixel ----

int PP_SuperFilter::planeAt(const BytePlane& plane, int32_t x, int32_t y) const {
    if (!plane.fits(m_width, m_height) || x < 0 || y < 0 || x >= m_width || y >= m_height) return -1;
    return plane.data[size_t(y) * size_t(m_width) + size_t(x)];
}

pixel_t PP_SuperFilter::processDenoiseAtY(int32_t y, int32_t x) const {
    const texture_t* t = mp_tex_denoise_processed.get();
    // Without a finished noise reduction (the run is being cancelled) the source stands in.
    if (!t || x < 0 || y < 0 || x >= m_width || y >= m_height) return get_source_pixel(x, y);
    const int64_t tx = int64_t(x) * t->width / m_width;
    const int64_t ty = int64_t(y) * t->height / m_height;
    const uint8_t* p = t->data + (size_t(ty) * size_t(t->width) + size_t(tx)) * 4;
    return {float(p[1]) / 255.0f, float(p[2]) / 255.0f, float(p[3]) / 255.0f};
}

pixel_t PP_SuperFilter::processHistogramAtY(int32_t y, int32_t x, pixel_t p) const {
    (void)y;
    (void)x;
    const auto level = [](float c) {
        const float q = c * 255.0f;
        return q > 0.0f ? (q < 255.0f ? q : 255.0f) : 0.0f;
    };
    const float q[3] = {level(p.r), level(p.g), level(p.b)};
    const float luma = 0.3f * q[0] + 0.59f * q[1] + 0.11f * q[2] + 0.5f;
    const float ratio = float(transform_table[std::min(int(luma), 255)]) / luma;
    const auto& gamma = g_gamma_table();
    float out[3];
    for (int c = 0; c < 3; ++c) {
        const float v = q[c] * ratio;
        const int n = v < 0.0f ? 0 : (v > 255.0f ? 255 : int(v));
        out[c] = float(gamma[size_t(n)][size_t(m_stages.gamma_column)]) / 255.0f;
    }
    return {out[0], out[1], out[2]};
}

pixel_t PP_SuperFilter::processExposureAtY(int32_t y, int32_t x, float amount, pixel_t p) const {
    (void)y;
    (void)x;
    const Ycc e = toYcc(p);
    const pixel_t o = fromYcc(clamp01((amount + 0.5f) * e.y), e.cb, e.cr);
    return {clamp01(o.r), clamp01(o.g), clamp01(o.b)};
}

pixel_t PP_SuperFilter::processShadowsAtY(int32_t y, int32_t x, pixel_t p) const {
    const int mask = planeAt(mp_shadows, x, y);
    if (mask < 0) return p;
    const float s = float(mask) / 255.0f;
    float d = (s - 0.5f) * (currentValues[kShadowAmount] + 0.5f) + 0.5f;
    d = 0.5f > d ? 0.5f : d;
    d = d < 1.0f ? d : 1.0f;
    const auto one = [d](float c) {
        // Below 0 the root has no value; 0 gives the same final byte without a NaN.
        const double v = c > 0.0f ? double(c) : 0.0;
        const double out = 2.0 * v * (1.0 - double(d)) + std::sqrt(v) * (2.0 * double(d) - 1.0);
        return float(out < 0.0 ? 0.0 : (out > 1.0 ? 1.0 : out));
    };
    return {one(p.r), one(p.g), one(p.b)};
}

pixel_t PP_SuperFilter::processHighlightsAtY(int32_t y, int32_t x, pixel_t p) const {
    const int mask = planeAt(mp_highlights, x, y);
    if (mask < 0) return p;
    const float h = float(mask) / 255.0f;
    const float a = currentValues[kHighlightAmount];
    const auto one = [h, a](float c) { return (c * c * c * h + (1.0f - h) * c - c) * a + c; };
    return {one(p.r), one(p.g), one(p.b)};
}

pixel_t PP_SuperFilter::processSharpenAtY(int32_t y, int32_t x, pixel_t p) const {
    const int detail = planeAt(mp_highpass, x, y);
    if (detail < 0) return p;
    const float t = (float(detail) / 255.0f - 0.5f) * currentValues[kSharpenAmount] / float(step_x) + 0.5f;
    const auto one = [t](float c) { return c < 0.5f ? 2.0f * c * t : 1.0f - 2.0f * (1.0f - c) * (1.0f - t); };
    return {one(p.r), one(p.g), one(p.b)};
}

pixel_t PP_SuperFilter::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    const Stages& s = m_stages;
    pixel_t p = s.denoise ? processDenoiseAtY(y, x) : get_source_pixel(x, y);
    if (s.levels) p = processHistogramAtY(y, x, p);
    if (s.temperature) {
        const double w = m_float_param1;
        const auto one = [w](float c, float mult) { return float(double(c) + w * double(c * mult - c)); };
        p = {one(p.r, m_rgb_mult[0]), one(p.g, m_rgb_mult[1]), one(p.b, m_rgb_mult[2])};
    }
    if (s.saturation) p = do_saturation(p, currentValues[kSaturation]);
    if (s.hue) {
        hsl_t c = RGBToHSL(p);
        c.h = c.h + currentValues[kHue];
        p = HSLToRGB(c);
    }
    if (s.exposure) p = processExposureAtY(y, x, currentValues[kExposure], p);
    if (s.brightness) {
        const float b = currentValues[kBrightness];
        const Ycc e = toYcc(p);
        const float l = 4.0f * b * e.y * (1.0f - e.y) + e.y * (2.0f * e.y - 1.0f);
        p = fromYcc(l, e.cb, e.cr);
    }
    if (s.contrast) {
        const float k = currentValues[kContrast];
        p = {(p.r - 0.5f) * k + 0.5f, (p.g - 0.5f) * k + 0.5f, (p.b - 0.5f) * k + 0.5f};
    }
    if (s.shadows) p = processShadowsAtY(y, x, p);
    if (s.highlights) p = processHighlightsAtY(y, x, p);
    if (s.sharpen) p = processSharpenAtY(y, x, p);
    if (s.gamma) {
        // Earlier stages do not clamp: a channel below 0 is black here, where an even power
        // would otherwise lift it into grey.
        const auto one = [&s](int c, float v) {
            if (s.black[c]) return 0.0f;
            const float q = powf(v > 0.0f ? v : 0.0f, s.exponent[c]);
            return 1.0f < q ? 1.0f : q;
        };
        p = {one(0, p.r), one(1, p.g), one(2, p.b)};
    }
    return p;
}
