#include "engine/effects/painterly/PP_BrushStrokes.h"

#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/paint/oil_paint_filter.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/imageio/NamedImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* kBrushNames[4] = {"brushStroke1.png", "brushStroke2.png", "brushStroke3.png",
                                        "brushStroke4.png"};

} // namespace

namespace {

constexpr SliderSpec kScale = localizedSlider("Scale", 0.4, 2.5, 0.421);
constexpr LookSpec kLooks[] = {
    {"Brush Strokes", "Art", kScale, localizedSlider("Contrast", 1.15, 3.0, 1.631)},
    {"Brush Strokes Vivid", "Art", kScale},
};
constexpr LookSpec kPlaceholder{"None", "None", kScale};

} // namespace

int32_t PP_BrushStrokes::look_count() const {
    return int32_t(std::size(kLooks));
}

const LookSpec* PP_BrushStrokes::look_spec() const {
    return lookOfType(kLooks, m_type, &kPlaceholder);
}

float PP_BrushStrokes::painting_scale(int32_t width, int32_t height, double scale) {
    const float base = float(std::min(width, height)) * 0.7f / 640.0f;
    return float(double(base) * scale);
}

// FNV-1a over the size, the scale and a 64 x 64 grid of pixels: cheap, and two photos that differ
// anywhere visible differ in it.
uint64_t PP_BrushStrokes::strokes_seed(const uint8_t* pixels, int32_t width, int32_t height, float scale) {
    uint64_t hash = 0xcbf29ce484222325u;
    const auto mix = [&hash](uint64_t v) {
        for (int i = 0; i < 8; ++i, v >>= 8)
            hash = (hash ^ (v & 0xff)) * 0x100000001b3u;
    };
    uint32_t scaleBits;
    std::memcpy(&scaleBits, &scale, sizeof scaleBits);
    mix(uint64_t(uint32_t(width)) << 32 | uint32_t(height));
    mix(scaleBits);
    if (!pixels || width <= 0 || height <= 0) return hash;
    constexpr int kGrid = 64;
    for (int j = 0; j < kGrid; ++j) {
        const int64_t y = int64_t(height - 1) * j / (kGrid - 1);
        for (int i = 0; i < kGrid; ++i) {
            const int64_t x = int64_t(width - 1) * i / (kGrid - 1);
            uint32_t px;
            std::memcpy(&px, pixels + (size_t(y) * size_t(width) + size_t(x)) * 4, sizeof px);
            mix(px);
        }
    }
    return hash;
}

void PP_BrushStrokes::prepare_for_process() {
    image_t brushes[4];
    int count = 0;
    // Decoded side by side: a preview waits for them.
    graphics::parallelFor(int(m_brushes.size()), 1, [this](int begin, int end) {
        for (int i = begin; i < end; ++i)
            m_brushes[size_t(i)] = std::make_unique<ImageEditable>(
                ImageEditable::checked(imageio::imageNamedAdditional(kBrushNames[i])), 255);
    });
    for (size_t i = 0; i < m_brushes.size(); ++i) {
        const ImageEditable& brush = *m_brushes[i];
        // A missing picture is left out: an empty first brush would set a grid of one-pixel cells,
        // millions of stamps of the other brushes.
        if (!brush.img_data()) {
            static std::atomic<bool> reported[4];
            if (!reported[i].exchange(true))
                std::fprintf(stderr, "Missing image resource: %s\n", kBrushNames[i]);
            continue;
        }
        brushes[count++] = {brush.img_data(), brush.width(), brush.height(), int32_t(brush.bytesPerRow())};
    }

    process_ended();
    uint8_t* painting = nullptr;
    if (m_preview_mode) {
        mp_tmp_buf.reset(new (std::nothrow) uint8_t[size_t(g_width) * size_t(g_height) * 4]);
        painting = mp_tmp_buf.get();
    } else if (texture_t* out = m_output.take()) {
        painting = out->data;
    }
    if (!painting)
        std::fprintf(stderr, "PP_BrushStrokes: not enough memory to paint %dx%d pixels\n", g_width, g_height);
    const float scale = painting_scale(g_width, g_height, param_1()->value());
    // Painted at full size from the photo itself, so that every render shows the same strokes.
    const uint8_t* photo = sharp_data();
    const Random::Scoped sequence(strokes_seed(photo, g_width, g_height, scale));
    if (painting && oil_paint_filter(photo, painting, g_width, g_height, 4 * g_width, 4 * g_width, brushes,
                                     count, scale)) {
        m_painting = painting;
    } else {
        process_ended();
        preparation_failed();
    }
    m_output.hand_back();

    for (std::unique_ptr<ImageEditable>& brush : m_brushes)
        brush.reset();
    if (m_type == 0) m_contrast = float(param_2()->value());
}

pixel_t PP_BrushStrokes::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (!m_painting) return get_source_pixel(x, y);
    const uint8_t* b = m_painting + (size_t(y) * size_t(g_width) + size_t(x)) * 4;
    constexpr double k = 1.0 / 255.0;
    const pixel_t p{float(b[1] * k), float(b[2] * k), float(b[3] * k)};
    switch (m_type) {
    case 0: {
        const auto contrast = [this](float v) { return (v - 0.5f) * m_contrast + 0.5f; };
        return {contrast(p.r), contrast(p.g), contrast(p.b)};
    }
    case 1: {
        const auto contrast = [](float v) { return (v - 0.5f) * 2.0f + 0.5f; };
        return do_saturation({contrast(p.r), contrast(p.g), contrast(p.b)}, 3.0f);
    }
    default:
        return p;
    }
}

void PP_BrushStrokes::process_ended() {
    m_painting = nullptr;
    mp_tmp_buf.reset();
    m_output.forget();
}
