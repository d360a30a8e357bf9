#include "engine/effects/distortion/PP_FalseMirror.h"

#include "engine/PostProcessParameter.h"
#include "engine/effects/LoFiStyles.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr LookSpec kLooks[] = {
    {"False Mirror 1", "Distortion", localizedSlider("Distortion", 0.6, 2.0, 1.0),
     localizedSlider("Frequency", 0.5, 1.5, 1.0)},
    {"False Mirror 2", "Distortion", localizedSlider("Distortion", 0.5, 1.4, 1.0), {}},
    {"False Mirror 3", "Distortion", localizedSlider("Distortion", 0.6, 2.0, 1.0),
     localizedSlider("Frequency", 0.5, 1.5, 1.0)},
    {"False Mirror 4", "Distortion", localizedSlider("Distortion", 0.3, 3.0, 1.0), {}},
    {"Rippled Glass 1", "Distortion", localizedSlider("Distortion", 0.3, 4.0, 2.0),
     localizedSlider("Frequency", 0.2, 4.0, 2.0)},
    {"Rippled Glass 2", "Distortion", localizedSlider("Distortion", 0.3, 3.5, 2.2),
     localizedSlider("Frequency", 0.2, 4.0, 3.0)},
    {"Rippled Glass Dotted", "Distortion", localizedSlider("Distortion", 1.5, 4.0, 2.5),
     localizedSlider("Frequency", 2.0, 5.0, 3.0)},
    {"Fish Eye", "Distortion", {}, {}},
};
constexpr LookSpec kPlaceholder{"none", "Distortion"};

// Waves take float trigonometry of an argument computed in double.
double sin_of(double a) {
    return double(sinf(float(a)));
}

double cos_of(double a) {
    return double(cosf(float(a)));
}

} // namespace

int32_t PP_FalseMirror::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_FalseMirror::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_FalseMirror::prepare_for_process() {
    const PostProcessParameter* a = param_1();
    const PostProcessParameter* b = param_2();
    const double p1 = a ? a->value() : 0.0;
    const double p2 = b ? b->value() : 0.0;
    const double w = double(g_width);
    switch (m_type) {
    case 0:
    case 2:
        m_float_param1 = p1 * w / 60.0;
        m_float_param2 = w / (p2 * 30.0);
        break;
    case 1:
        m_float_param1 = p1 * double(float(g_width / 60));
        break;
    case 3:
        m_float_param1 = double(m_width) * p1 / 20.0;
        break;
    case 4:
    case 5:
    case 6:
        m_float_param1 = p1 * (w / 200.0);
        m_float_param2 = w / (p2 * 100.0);
        break;
    default:
        break;
    }
}

double PP_FalseMirror::fold(double v, int32_t size) {
    if (!std::isfinite(v) || size < 1) return 0.0;
    // Mirroring at 0 and at size - 0.5 repeats every 2 size - 1.
    const double period = 2.0 * double(size) - 1.0;
    v = std::fabs(v);
    if (v >= period) v = std::fmod(v, period);
    if (v >= double(size)) v = 2.0 * double(size) - v - 1.0;
    return v;
}

pixel_t PP_FalseMirror::bilinear(double sx, double sy) {
    const int32_t ix = std::clamp(int32_t(std::floor(sx)), 0, g_width - 1);
    const int32_t iy = std::clamp(int32_t(std::floor(sy)), 0, g_height - 1);
    // The cell steps back from the last column and row; a one-pixel side keeps it at 0.
    const int32_t cx = std::max(0, ix + 1 >= g_width ? ix - 1 : ix);
    const int32_t cy = std::max(0, iy + 1 >= g_height ? iy - 1 : iy);
    const int32_t nx = std::min(cx + 1, g_width - 1), ny = std::min(cy + 1, g_height - 1);
    const double fx = sx - double(cx), fy = sy - double(cy);
    const size_t bpp = size_t(g_bpp_dv), w = size_t(g_width);
    const uint8_t* p00 = gp_data + (size_t(cy) * w + size_t(cx)) * bpp;
    const uint8_t* p10 = gp_data + (size_t(cy) * w + size_t(nx)) * bpp;
    const uint8_t* p01 = gp_data + (size_t(ny) * w + size_t(cx)) * bpp;
    const uint8_t* p11 = gp_data + (size_t(ny) * w + size_t(nx)) * bpp;
    const auto channel = [&](int i) {
        const double top = double(p00[i]) * (1.0 - fx) + double(p10[i]) * fx;
        const double bottom = double(p01[i]) * (1.0 - fx) + double(p11[i]) * fx;
        return float((top * (1.0 - fy) + bottom * fy) * (1.0 / 255.0));
    };
    return {channel(1), channel(2), channel(3)};
}

pixel_t PP_FalseMirror::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!gp_data) return {0.0f, 0.0f, 0.0f};
    const double A = m_float_param1, F = m_float_param2;
    const double X = double(x), Y = double(y);
    double sx = X, sy = Y;
    switch (m_type) {
    case 0:
        sx = X + A * sin_of(X / F);
        sy = Y - A * cos_of(X / F);
        break;
    case 1: {
        // Under 30 pixels wide the period would be 0.
        const int32_t period = std::max(1, g_width / 30);
        sy = Y - A * double(sinf(float(y) / float(period)));
        break;
    }
    case 2:
        sx = X + A * double(sinf(float(y) / float(F)));
        break;
    case 3:
        sx = X + A * cos_of((X / double(m_width) - 0.5) * 10.0);
        break;
    case 4:
        sx = X + A * cos_of(Y / F);
        sy = Y - A * sin_of(X / F);
        break;
    case 5:
        sx = X + A * cos_of(X / F);
        sy = Y - A * sin_of(Y / F);
        break;
    case 6:
        sx = X + 2.0 * A * cos_of(X / F) * cos_of(Y / F);
        if (!(sx >= 0.0 && sx < double(m_width))) sx = X;
        return bilinear(sx, sy);
    default:
        return get_source_pixel(x, y);
    }
    return bilinear(fold(sx, m_width), fold(sy, m_height));
}
