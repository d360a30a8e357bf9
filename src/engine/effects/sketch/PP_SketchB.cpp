#include "engine/effects/sketch/PP_SketchB.h"

#include "engine/ImageEditable.h"
#include "engine/PostProcessParameter.h"
#include "platform/imageio/NamedImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

PP_SketchB::PP_SketchB() = default;
PP_SketchB::~PP_SketchB() = default;

void PP_SketchB::prepare_for_process() {
    if (!sketch::load_all({{&m_scrapes1, "Scpaper-crs1_2x.jpg"},
                           {&m_scrapes2, "Scpaper-obl1_2x.jpg"},
                           {&m_scrapes3, "Scpaper-vert21_2x.jpg"}}))
        preparation_failed();
    m_gradient = std::make_unique<ImageEditable>(
        ImageEditable::checked(imageio::imageNamedAdditional("gradient.png")));
    const uint8_t* bytes = m_gradient->img_data();
    if (bytes && int64_t(m_gradient->width()) * m_gradient->height() >= 256) {
        for (int n = 0; n < 256; ++n)
            m_gradient_lut[n] = bytes[size_t(n) * 4];
    } else {
        // Pixels past the end would be read; the identity leaves the colours as they are.
        static std::atomic<bool> reported{false};
        if (!reported.exchange(true))
            std::fprintf(stderr, "gradient.png is missing or has fewer than 256 pixels; colours kept\n");
        for (int n = 0; n < 256; ++n)
            m_gradient_lut[n] = uint8_t(n);
    }
    m_radius = sketch::radius(getEdgesScale(), param_1()->value());
    m_contrast = param_2()->get_inverted_value();
}

void PP_SketchB::process_ended() {
    m_scrapes1.reset();
    m_scrapes2.reset();
    m_scrapes3.reset();
    m_gradient.reset();
}

pixel_t PP_SketchB::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    constexpr float K = 0.78431374f; // 200/255
    const sketch::Source s = sketch::source(x, y);
    const float e = sketch::edge(x, y, m_radius, s.sum);
    // Vertical position first: the strokes lie transposed.
    const uint32_t t =
        tex_get_pixel_bilinear_rgba(sketch::stroke(s.lum, m_scrapes1, m_scrapes2, m_scrapes3),
                                    float(y) * 2.5f / float(m_height), float(x) * 2.5f / float(m_width));
    pixel_t c = s.c;
    const int32_t n = std::min(int32_t(s.lum * 255.0f), 255);
    if (n > 0) {
        const float f = float(m_gradient_lut[n]) / float(n);
        c = {std::clamp(c.r * f, 0.0f, 1.0f), std::clamp(c.g * f, 0.0f, 1.0f),
             std::clamp(c.b * f, 0.0f, 1.0f)};
    }
    const auto pencil = [&](uint32_t byte, float colour) {
        const float h = std::clamp((K - float(byte) / 255.0f) * m_contrast + K, 0.0f, 1.0f);
        return (1.0f - h + h * colour) * e;
    };
    return {pencil(t & 0xFF, c.r), pencil((t >> 8) & 0xFF, c.g), pencil((t >> 16) & 0xFF, c.b)};
}
