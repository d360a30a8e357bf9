#include "engine/effects/blur/PP_GaussianBlur.h"

#include "engine/PostProcessParameter.h"
#include "kernels/blur/GaussianBlur.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Truncated toward zero, then 0 becomes 1 and anything above 100 becomes 100; huge and NaN values
// are caught before the conversion.
int32_t clampRadius(double value) {
    if (!(value >= 1.0)) return 1;
    if (value >= 100.0) return 100;
    return int32_t(value);
}

} // namespace

PP_GaussianBlur::~PP_GaussianBlur() {
    tex_free(mp_tex);
}

namespace {

constexpr SliderSpec kAmount = localizedSlider("Amount", 1.0, 25.0, 12.0);
constexpr SliderSpec kRadius = localizedSlider("Radius", 0.01, 1.0, 0.01);
constexpr LookSpec kLooks[] = {
    {"Blur", "Blur", kAmount},
    {"Radial Blur", "Blur", kAmount, kRadius},
    {"Tilt-Shift", "Blur", kAmount, kRadius},
};
constexpr LookSpec kPlaceholder{"none", "Blur", kAmount, kRadius};

} // namespace

int32_t PP_GaussianBlur::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_GaussianBlur::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

void PP_GaussianBlur::prepare_for_process() {
    tex_free(mp_tex);
    mp_tex = nullptr;
    const double radius = param_2() ? param_2()->value() : 0.0;
    // A sharp zone reaching the image edge would leave no distance to grow over (a division by zero).
    if (m_type == 1) {
        const int64_t side = std::max(m_width, m_height);
        _radiusFromCenter = uint64_t(std::max(0.0, std::trunc(radius * double(side) * 0.5)));
        _blurWidth = uint64_t(std::max<int64_t>(side / 2 - int64_t(_radiusFromCenter), 1));
    } else if (m_type == 2) {
        _radiusFromCenter = uint64_t(std::max(0.0, std::trunc(radius * double(m_height) * 0.5)));
        _blurWidth = uint64_t(std::max<int64_t>(m_height / 2 - int64_t(_radiusFromCenter), 1));
    }
    m_exponent = radius + 1.0;
    m_center = newEffectCenter();
    mp_tex = tex_create_empty(m_width, m_height, 4);
    if (!mp_tex) {
        preparation_failed();
        return;
    }
    const int32_t w = m_preview_mode ? preview_w : m_width;
    _currentRadius = uint64_t(clampRadius(float(double(w) * param_1()->value() / 1000.0)));
    // One radius everywhere: both passes of the pixel loop, made at once.
    if (m_type == 0 && !GaussianBlur::sharedGaussianBlur()->gaussianBlurBothPasses(
                           gp_data, mp_tex, int32_t(_currentRadius), step_x, step_y))
        preparation_failed();
}

int32_t PP_GaussianBlur::radiusAt(int32_t x, int32_t y) const {
    int64_t d;
    if (m_type == 1) {
        const float dy = float(m_center.y - double(y));
        const float dx = float(m_center.x - double(x));
        d = int64_t(std::sqrt(double(dy * dy + dx * dx)));
    } else {
        d = std::abs(int64_t(std::trunc(m_center.y - double(y))));
    }
    if (d <= int64_t(_radiusFromCenter)) return 0;
    const double t = double(d - int64_t(_radiusFromCenter)) / double(_blurWidth);
    if (m_type == 1) return clampRadius(float(_currentRadius) * powf(float(t), float(m_exponent)));
    return clampRadius(double(_currentRadius) * t * t);
}

pixel_t PP_GaussianBlur::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    if (!mp_tex || m_type < 0 || m_type > 2) return {0.0f, 0.0f, 0.0f};
    uint8_t* texel = mp_tex->data + (size_t(y) * size_t(mp_tex->width) + size_t(x)) * 4;
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    if (m_type == 0) {
        if (pass == 0) return {0.0f, 0.0f, 0.0f};
        return {GaussianBlur::secondPassChannel(texel[1]), GaussianBlur::secondPassChannel(texel[2]),
                GaussianBlur::secondPassChannel(texel[3])};
    }
    const int32_t r = radiusAt(x, y);
    if (pass == 0) {
        if (r == 0) {
            const uint8_t* s = gp_data + (size_t(y) * size_t(m_width) + size_t(x)) * 4;
            std::copy(s + 1, s + 4, texel + 1);
        } else {
            blur->gaussianBlurFirstPassForData(gp_data, mp_tex, r, step_x, x, y);
        }
        return {0.0f, 0.0f, 0.0f};
    }
    if (r == 0) return {float(texel[1] / 255.0), float(texel[2] / 255.0), float(texel[3] / 255.0)};
    const GaussianBlurColor c = blur->gaussianBlurSecondPassForTexture(mp_tex, r, step_x, x, y);
    return {c.red, c.green, c.blue};
}

void PP_GaussianBlur::process_ended() {
    tex_free(mp_tex);
    mp_tex = nullptr;
}
