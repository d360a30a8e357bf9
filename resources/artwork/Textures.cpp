// Textures of the texture-blend effect. Each comes landscape and portrait ("_v"), each at full
// and preview ("_small") size; the effect stretches them over the picture, so features are laid
// out in proportions of the picture, not in pixels.
#include "Artwork.h"
#include "Paint.h"

#include <cmath>
#include <functional>

namespace artwork {

namespace {

using Render = std::function<Raster(int w, int h)>;

void writeTexture(const Write& write, const std::string& base, const Render& render, int w = 2048,
                  int h = 1536) {
    const Raster landscape = render(w, h);
    write(Folder::Main, base + ".jpg", landscape);
    write(Folder::Main, base + "_small.jpg", landscape.halved());
    const Raster portrait = render(h, w);
    write(Folder::Main, base + "_v.jpg", portrait);
    write(Folder::Main, base + "_small_v.jpg", portrait.halved());
}

// Broad noise whose cells are a fraction of the shorter side, so both orientations look alike.
SmoothField field(int w, int h, float cellsAcross, const Fractal& f) {
    return SmoothField(w, h, float(std::min(w, h)) / cellsAcross, f);
}

Rgb hue(float h) {
    auto channel = [h](float offset) {
        const float t = std::fabs(std::fmod(h * 6.0f + offset, 6.0f) - 3.0f) - 1.0f;
        return clamp01(t);
    };
    return {channel(0.0f), channel(4.0f), channel(2.0f)};
}

// Overlaid at ×1.44: a smooth cross-processed cast, cyan-blue in one corner, yellow-green in the
// other, all near mid-grey so nothing clips.
Raster crossProcess(int w, int h) {
    const Rgb shadow{0.42f, 0.50f, 0.58f}, highlight{0.58f, 0.60f, 0.42f};
    const SmoothField warp = field(w, h, 2.5f, {.seed = 501});
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float t = 0.5f * (float(x) / float(w) + float(y) / float(h)) + 0.25f * (warp.at(x, y) - 0.5f);
        return mix(shadow, highlight, smoothstep(0.1f, 0.9f, t));
    });
    return out;
}

// Soft diagonal rainbow bands around mid-grey (0.3 to 0.7).
Raster rainbow(int w, int h) {
    const SmoothField warp = field(w, h, 2.0f, {.seed = 511});
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float t =
            0.65f * float(x) / float(w) + 0.35f * float(y) / float(h) + 0.15f * (warp.at(x, y) - 0.5f);
        return grey(0.5f) + (hue(t * 0.95f) - grey(0.5f)) * 0.4f;
    });
    return out;
}

// Plain-woven beige canvas: threads over and under, uneven in thickness and tone, worn and
// stained toward the edges.
Raster canvas(int w, int h) {
    const Rgb base{0.95f, 0.89f, 0.77f}, stain{0.78f, 0.66f, 0.5f};
    const float period = 6.0f;
    const SmoothField blotches = field(w, h, 3.0f, {.seed = 525});
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float fx = float(x) + 1.2f * (valueNoise(float(x) / 23.0f, float(y) / 23.0f, 521) - 0.5f);
        const float fy = float(y) + 1.2f * (valueNoise(float(x) / 23.0f, float(y) / 23.0f, 522) - 0.5f);
        const int i = int(std::floor(fx / period)), j = int(std::floor(fy / period));
        const float u = fx / period - float(i), v = fy / period - float(j);
        const bool warpOver = ((i + j) & 1) == 0;
        // Thread thickness and tone vary along each thread (slubs).
        const float warpTone = valueNoise(float(i) * 0.9f, fy / 60.0f, 523);
        const float weftTone = valueNoise(fx / 60.0f, float(j) * 0.9f, 524);
        const float across = warpOver ? u : v, along = warpOver ? v : u;
        const float tone = warpOver ? warpTone : weftTone;
        const float hump =
            std::sqrt(4.0f * across * (1.0f - across)) * (0.8f + 0.8f * along * (1.0f - along));
        const float weave = hump * (0.85f + 0.3f * tone);
        Rgb c = base * (0.86f + 0.12f * weave);
        const float blotch = blotches.at(x, y);
        c = mix(c, c * stain, 0.5f * smoothstep(0.58f, 0.85f, blotch));
        const float worn =
            smoothstep(0.6f, 1.35f, edgeDistance(float(x), float(y), w, h, 4) + 0.3f * (blotch - 0.5f));
        return mix(c, c * stain * 0.85f, worn);
    });
    return out;
}

// A CRT screen: horizontal scanlines, a dark rounded bezel, a faint green-blue cast.
Raster oldTv(int w, int h) {
    static constexpr float kScanline[4] = {1, 0, -1, 0}; // one cosine period over four rows
    const Rgb tint{0.85f, 0.95f, 0.9f};
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float line = 0.875f + 0.125f * kScanline[y % 4];
        const float d = edgeDistance(float(x), float(y), w, h, 8);
        const float glass = 1.0f - smoothstep(0.88f, 0.92f, d);
        const float falloff =
            1.0f - 0.35f * smoothstep(0.3f, 0.95f, edgeDistance(float(x), float(y), w, h, 4));
        const float snow = 0.04f * (whiteNoise(x, y, 531) - 0.5f);
        return mix(grey(0.06f), tint * (line * falloff + snow), glass);
    });
    return out;
}

// Ignored by its blend modes: neutral grey, kept small.
Raster neutral(int w, int h) {
    return Raster(w, h, grey(0.5f));
}

// Mid-grey with soft coloured bokeh and light spots, the whole a little darker in the corners.
Raster sunlightSpots(int w, int h) {
    Raster out(w, h, grey(0.5f));
    const Rgb colours[] = {
        {0.95f, 0.86f, 0.45f}, {0.95f, 0.66f, 0.35f}, {0.93f, 0.62f, 0.76f}, {0.5f, 0.86f, 0.94f}};
    const float unit = float(std::min(w, h));
    Random random(541);
    auto spot = [&](float radius, float opacity, float inner) {
        const Rgb colour = colours[random.below(4)];
        drawDisc(w, h, random.range(0, w), random.range(0, h), radius, [&](int x, int y, float d) {
            const float rim = 0.94f + 0.06f * smoothstep(0.5f, 0.92f, d);
            Rgb& c = out.at(x, y);
            c = mix(c, colour * rim, opacity * (1.0f - smoothstep(inner, 1.0f, d)));
        });
    };
    for (int i = 0; i < 14; ++i)
        spot(unit * random.range(0.15f, 0.35f), random.range(0.3f, 0.5f), 0.0f);
    for (int i = 0; i < 60; ++i)
        spot(unit * random.range(0.02f, 0.09f), random.range(0.7f, 0.95f), 0.75f);
    Raster shaded(w, h);
    shaded.fill([&](int x, int y) {
        return out.at(x, y) * (1.0f - 0.3f * smoothstep(0.6f, 1.4f, edgeDistance(float(x), float(y), w, h)));
    });
    return shaded;
}

// Faded warm photo paper (×1.3 keeps the brightness), darker toward the edges, with faint
// scratches and hairs, and white dust that the effect lets through untouched.
Raster vintage(int w, int h) {
    const Rgb paper{0.80f, 0.72f, 0.58f};
    Plane dark(w, h, 0.0f), white(w, h, 0.0f);
    addWear(dark,
            {.specks = 60,
             .speckRadius = 1.5f,
             .hairs = 25,
             .hairLength = 50,
             .scratches = 14,
             .scratchWidth = 1.2f},
            551);
    addWear(white, {.specks = 220, .speckRadius = 2.2f, .hairs = 6, .hairLength = 40}, 552);
    const SmoothField mottling = field(w, h, 4.0f, {.seed = 553});
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float mottle = mottling.at(x, y);
        const float edge = smoothstep(0.45f, 1.4f, edgeDistance(float(x), float(y), w, h));
        Rgb c = paper * ((1.0f + 0.06f * (mottle - 0.5f)) * (1.0f - 0.35f * edge));
        c = c * (1.0f - 0.3f * dark.at(x, y));
        return mix(c, grey(1.0f), smoothstep(0.0f, 0.6f, white.at(x, y)));
    });
    return out;
}

} // namespace

void writeBlendTextures(const Write& write) {
    writeTexture(write, "Crosspro-3", crossProcess);
    writeTexture(write, "pf_render_palette1", rainbow);
    writeTexture(write, "pf_ancient_canvas1", canvas);
    writeTexture(write, "pf_oldtv1", oldTv);
    writeTexture(write, "Crosspro-5", neutral, 64, 48);
    writeTexture(write, "pf_color_sunlight_spots", sunlightSpots);
    writeTexture(write, "pf_vintage_2", vintage);
}

} // namespace artwork
