#pragma once
// What the six sketch looks (PP_SketchA .. PP_SketchF) share: their stroke and paper textures,
// the choice of stroke by brightness, the edge term from a local blur, and the pencil and charcoal
// tones two looks each build on. Per-pixel parts are inline and read only.
#include "engine/Neighbourhood.h"
#include "engine/Pixel.h"
#include "kernels/Texture.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

class PostProcessParameter;

namespace sketch {

// Shared and read only: the decoded pictures stay in a small cache between runs.
using Texture = std::shared_ptr<const texture_t>;

inline constexpr float kDark = 0.23529412f;  // 60/255: below it the darkest strokes
inline constexpr float kMid = 0.5882353f;    // 150/255: from it up the lightest strokes
inline constexpr float kPaper = 0.98039216f; // 250/255

// The bundle's picture as a texture. One that is missing, undecodable or smaller than 2 x 2 gives
// 2 x 2 white texels instead (reported once per name), which leaves strokes and paper neutral.
// Null when not even those could be allocated. Decoded pictures are kept by name, the least
// recently used dropped beyond kCacheBytes.
Texture load(const std::string& name);
inline constexpr size_t kCacheBytes = size_t(64) << 20;
// Drops the kept pictures (a run holding one keeps it until it ends).
void release_cache();
// Bytes the kept pictures take.
size_t cache_bytes();
// load() into each slot, the pictures decoded side by side. False when a slot stayed null: the
// look's preparation then fails.
[[nodiscard]] bool load_all(std::initializer_list<std::pair<Texture*, const char*>> slots);

// The source pixel with its channel sum and mean.
struct Source {
    pixel_t c;
    float sum;
    float lum;
};

inline Source source(int32_t x, int32_t y) {
    const pixel_t c = PostProcess::get_source_pixel(x, y);
    const float sum = c.r + c.g + c.b;
    return {c, sum, sum / 3.0f};
}

inline const texture_t* stroke(float lum, const Texture& dark, const Texture& mid, const Texture& light) {
    if (lum < kDark) return dark.get();
    if (lum < kMid) return mid.get();
    return light.get();
}

// The blur radius: the integer part of edgesScale x factor, at least 1.
inline float radius(float edgesScale, double factor) {
    const int32_t k = int32_t(double(edgesScale) * factor);
    return k > 0 ? float(k) : 1.0f;
}

// 1 where the pixel is not darker than the mean of its neighbours at radius, less where it is.
inline float edge(int32_t x, int32_t y, float radius, float sum) {
    const pixel_t b = do_blur(x, y, radius);
    const float d = (sum - (b.r + b.g + b.b)) * 4.0f * 0.33333334f;
    const float e = d > 0.0f ? 1.0f : d + 1.0f;
    return e < 0.0f ? 0.0f : (e > 1.0f ? 1.0f : e);
}

// The grey pencil value of PP_SketchA and PP_SketchF: the red of the stroke sample at (u, v)
// raised in contrast around the paper white, times the mean of brightness and edge.
inline float pencil(const Source& s, int32_t x, int32_t y, float u, float v, const Texture& dark,
                    const Texture& mid, const Texture& light, double contrast, float radius) {
    const uint32_t t = tex_get_pixel_bilinear_rgba(stroke(s.lum, dark, mid, light), u, v);
    const float h = float(t & 0xFF) / 255.0f;
    float hatch = float(double(h - kPaper) * contrast + double(kPaper));
    hatch = hatch < 0.0f ? 0.0f : (hatch > 1.0f ? 1.0f : hatch);
    return hatch * (s.lum + edge(x, y, radius, s.sum)) * 0.5f;
}

// The charcoal values of PP_SketchD and PP_SketchE before their final limits: the texture sample
// at (x / W, y / H) plus a tone from the brightness cut to eight levels, plus brightness.
inline pixel_t charcoal(const Source& s, const texture_t* tex, int32_t x, int32_t y, int32_t w, int32_t h,
                        double contrast, double brightness) {
    const int32_t q = int32_t(s.lum * 255.0f) & 0xE0;
    const double level = double(q) / 255.0 - 0.5;
    float tone = float(level * contrast * 0.25 + 0.5);
    tone = tone < 0.0f ? 0.0f : (tone > 1.0f ? 1.0f : tone);
    const uint32_t t = tex_get_pixel_bilinear_rgba(tex, float(x) / float(w), float(y) / float(h));
    const auto value = [&](uint32_t byte) { return float(double(float(byte) / 255.0f + tone) + brightness); };
    return {value(t & 0xFF), value((t >> 8) & 0xFF), value((t >> 16) & 0xFF)};
}

} // namespace sketch
