#include "engine/effects/painterly/PP_ArtQuad.h"

#include "engine/BlendFunctions.h"
#include "engine/Neighbourhood.h"
#include "engine/effects/SmallEffects.h"

#include <cmath>

namespace {

enum Frame { kNoFrame, kWhite, kGrey, kBlack };

struct Look {
    pixel_t quarters[4]; // Q1 top left, Q2 top right, Q3 bottom right, Q4 the rest
    Frame frame;
};

constexpr pixel_t q(int r, int g, int b) {
    return {float(r) / 256.0f, float(g) / 256.0f, float(b) / 256.0f};
}

constexpr Look kLooks[10] = {
    {{q(141, 64, 190), q(64, 147, 190), q(190, 131, 64), q(96, 131, 45)}, kNoFrame},
    {{q(141, 64, 190), q(64, 147, 190), q(190, 131, 64), q(96, 131, 45)}, kWhite},
    {{q(198, 60, 57), q(162, 57, 198), q(66, 198, 57), q(42, 141, 121)}, kGrey},
    {{q(129, 224, 56), q(56, 143, 224), q(224, 129, 56), q(180, 130, 233)}, kNoFrame},
    {{q(255, 210, 52), q(178, 193, 254), q(52, 255, 196), q(255, 52, 98)}, kWhite},
    {{q(255, 210, 52), q(178, 193, 254), q(52, 255, 196), q(255, 52, 98)}, kBlack},
    {{q(126, 234, 9), q(9, 141, 234), q(234, 114, 9), q(168, 126, 211)}, kWhite},
    {{q(23, 252, 61), q(247, 95, 225), q(252, 214, 66), q(241, 21, 65)}, kWhite},
    {{q(8, 250, 22), q(230, 7, 24), q(241, 41, 201), q(252, 186, 25)}, kGrey},
    {{q(8, 210, 250), q(216, 225, 0), q(241, 101, 41), q(67, 252, 25)}, kGrey},
};

pixel_t frameColour(Frame f) {
    const float v = f == kWhite ? 1.0f : f == kGrey ? 0.5f : 0.0f;
    return make_pixel(v, v, v);
}

// (R + G + B) x 1/255 x 1/3, all in single precision; 0 outside the image.
float grey(int32_t x, int32_t y) {
    const uint8_t* data = PostProcess::gp_data;
    if (!data || x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p = data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * 4;
    return float(int(p[1]) + int(p[2]) + int(p[3])) * (1.0f / 255.0f) * (1.0f / 3.0f);
}

pixel_t greyPixel(float c) {
    return make_pixel(c, c, c);
}

// Grey pushed away from the middle twice as far.
float doubled(float g) {
    return (g - 0.5f) + (g - 0.5f) + 0.5f;
}

} // namespace

namespace {

constexpr SliderSpec kWidth = literalSlider("Width", 5.0, 30.0, 10.0);

constexpr LookSpec kDeclared[] = {
    {"Art Quad 1", "Art Quads", kWidth}, {"Art Quad 2", "Art Quads", kWidth},
    {"Art Quad 3", "Art Quads", kWidth}, {"Art Quad 4", "Art Quads", kWidth},
    {"Art Quad 5", "Art Quads", kWidth}, {"Art Quad 6", "Art Quads", kWidth},
    {"Art Quad 7", "Art Quads", kWidth}, {"Art Quad 8", "Art Quads", kWidth},
    {"Art Quad 9", "Art Quads", kWidth}, {"Art Quad 10", "Art Quads", kWidth},
};
constexpr LookSpec kPlaceholder{"none", "Art Quads", kWidth};
static_assert(std::size(kDeclared) == std::size(kLooks));

} // namespace

int32_t PP_ArtQuad::look_count() const {
    return int32_t(std::size(kDeclared));
}

const LookSpec* PP_ArtQuad::look_spec() const {
    return lookOfType(kDeclared, m_type, &kPlaceholder);
}

void PP_ArtQuad::prepare_for_process() {
    m_border = small_effects::truncated(param_1()->value());
}

pixel_t PP_ArtQuad::process_pixel_x(int32_t x, int32_t y, int32_t pass) {
    (void)pass;
    if (m_type < 0 || m_type > 9) return make_pixel(0.0f, 0.0f, 0.0f);
    const Look& look = kLooks[m_type];
    const int32_t w = m_width, h = m_height, b = m_border;
    const int32_t midX = w / 2, midY = h / 2, half = b / 2;
    if (look.frame != kNoFrame) {
        const bool onFrame = x <= b || x >= w - b || y <= b || y >= h - b ||
                             (midX - half <= x && x <= midX + half) || (midY - half <= y && y <= midY + half);
        if (onFrame) return frameColour(look.frame);
    }
    int32_t sx = 2 * x, sy = 2 * y;
    if (sx > w) sx -= w;
    if (sy > h) sy -= h;
    const int quarter = x < midX && y < midY ? 0 : x > midX && y < midY ? 1 : x > midX && y > midY ? 2 : 3;
    const pixel_t Q = look.quarters[quarter];
    if ((m_type == 2 && quarter % 2 == 0) || (m_type == 4 && quarter % 2 == 1)) sx = w - sx;

    switch (m_type) {
    case 0:
        return blend_luminocity(Q, get_source_pixel(sx, sy));
    case 1:
        return blend_vivid_light(Q, get_source_pixel(sx, sy));
    case 2:
        return blend_vivid_light(greyPixel(doubled(grey(sx, sy))), Q);
    case 3:
        return blend_darken(greyPixel(doubled(grey(sx, sy))), Q);
    case 4: {
        const float c = std::trunc(((grey(sx, sy) - 0.5f) * 1.5f + 0.5f) * 5.0f) / 5.0f;
        return make_pixel(c * Q.r, c * Q.g, c * Q.b);
    }
    case 5: {
        const float v = 1.0f - do_edge_detection(sx, sy, false, 2.0f, 1.0f, 1.0f);
        const pixel_t s = do_saturation(greyPixel(v), 2.5f);
        return make_pixel(s.r * Q.r, s.g * Q.g, s.b * Q.b);
    }
    case 6: {
        const float v = 1.0f - grey(sx, sy);
        return blend_hard_light(greyPixel((v - 0.5f) * 3.0f + 0.5f), Q);
    }
    case 7:
        return blend_darken(Q, get_source_pixel(sx, sy));
    case 8:
        return blend_difference(greyPixel(doubled(grey(sx, sy))), Q);
    default:
        return blend_lighten(greyPixel((grey(sx, sy) - 0.5f) * 3.0f + 0.5f), Q);
    }
}
