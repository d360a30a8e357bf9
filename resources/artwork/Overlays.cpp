// Overlays of the grunge, lo-fi and camera effects. Each comes at full size and "_small" for
// previews; the effects stretch them over the picture and lay them on their side for portrait
// pictures, so they are landscape and hold nothing that needs a direction.
#include "Artwork.h"
#include "Paint.h"

#include <cmath>
#include <functional>
#include <vector>

namespace artwork {

namespace {

constexpr int kWidth = 4096, kHeight = 2730;
// Sizes in pixels below are for kWidth and scale with it.
constexpr float kScale = float(kWidth) / 4096.0f;

void writeOverlay(const Write& write, const std::string& name, const Raster& full) {
    write(Folder::Main, name + ".jpg", full);
    write(Folder::Main, name + "_small.jpg", full.halved());
}

// Fine noise, computed at every pixel.
float noise(int x, int y, float cell, uint32_t seed, int octaves) {
    return fbm(float(x) / (cell * kScale), float(y) / (cell * kScale), {.seed = seed, .octaves = octaves});
}
// Broad noise (cells of a few hundred pixels), interpolated.
SmoothField broad(float cell, uint32_t seed, int octaves = 5) {
    return SmoothField(kWidth, kHeight, cell * kScale, {.seed = seed, .octaves = octaves});
}

float corner(int x, int y, int p = 2) {
    return edgeDistance(float(x), float(y), kWidth, kHeight, p);
}

// 0..1 once around (dx, dy), growing with the angle: a cheap stand-in for the angle itself.
float turn(float dx, float dy) {
    const float quarter = dy >= 0 ? (dx >= 0 ? dy / (dx + dy) : 1 - dx / (dy - dx))
                                  : (dx < 0 ? 2 - dy / (-dx - dy) : 3 + dx / (dx - dy));
    return 0.25f * quarter;
}

// Light marks and dark marks of an old print, as two coverage planes.
struct Marks {
    Plane light{kWidth, kHeight, 0.0f}, dark{kWidth, kHeight, 0.0f};
};
Marks marks(const Wear& light, const Wear& dark, uint64_t seed) {
    Marks m;
    addWear(m.light, light, seed);
    addWear(m.dark, dark, seed + 1);
    return m;
}

// Multiplied: light grey sunburst rays from above the frame, with stains, grime, darkened
// edges, scratches and dust.
Raster grungeRays() {
    const float cx = 0.3f * kWidth, cy = -0.1f * kHeight;
    const Marks wear = marks({},
                             {.specks = 900,
                              .speckRadius = 2.5f,
                              .hairs = 60,
                              .hairLength = 90,
                              .scratches = 40,
                              .scratchWidth = 1.6f},
                             601);
    const SmoothField stains = broad(700, 603);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float dx = float(x) - cx, dy = float(y) - cy;
        const float ray = smoothstep(
            0.4f, 0.7f, fbm(turn(dx, dy) * 64.0f, 0.5f, {.seed = 602, .octaves = 3, .period = 64}));
        const float reach = smoothstep(0.05f, 0.5f, std::sqrt(dx * dx + dy * dy) / float(kWidth));
        float v = 1.0f - 0.14f * ray * reach;
        const float stain = stains.at(x, y);
        v *= 1.0f - 0.22f * smoothstep(0.58f, 0.8f, stain);
        v *= 0.94f + 0.06f * noise(x, y, 12, 604, 4);
        v *= 1.0f - 0.3f * smoothstep(0.8f, 1.4f, corner(x, y) + 0.3f * (stain - 0.5f));
        v *= 1.0f - 0.45f * wear.dark.at(x, y);
        return Rgb{v, v * 0.985f, v * 0.96f};
    });
    return out;
}

// Overlaid around mid-grey: warm light leaks from one edge, darker corners, dust and scratches.
Raster retroOne() {
    const Marks wear =
        marks({.specks = 300, .speckRadius = 2.0f, .scratches = 20},
              {.specks = 300, .speckRadius = 2.0f, .hairs = 30, .hairLength = 70, .scratches = 10}, 611);
    const Rgb orange{0.92f, 0.55f, 0.25f}, yellow{0.95f, 0.85f, 0.5f};
    const SmoothField edge = broad(500, 612, 4);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float u = float(x) / kWidth, v = float(y) / kHeight;
        const float n = edge.at(x, y);
        const float leak = (1.0f - smoothstep(0.0f, 0.45f, u + 0.25f * (n - 0.5f))) *
                           (0.55f + 0.45f * valueNoise(v * 4.0f, 0.5f, 613));
        Rgb c = grey(0.5f + 0.04f * (noise(x, y, 9, 614, 3) - 0.5f));
        c = mix(c, orange, 0.65f * leak);
        c = mix(c, yellow, 0.6f * smoothstep(0.55f, 1.0f, leak));
        c = c * (1.0f - 0.45f * smoothstep(0.7f, 1.4f, corner(x, y)));
        c = mix(c, grey(0.8f), 0.6f * wear.light.at(x, y));
        return mix(c, grey(0.2f), 0.6f * wear.dark.at(x, y));
    });
    return out;
}

// Screened: black with a soft fade lifting the edges and corners, cream on some sides and cool
// on others, as an instant print ages, and a few light specks.
Raster instantFade() {
    const Marks wear = marks({.specks = 120, .speckRadius = 2.0f, .scratches = 4}, {}, 621);
    const Rgb cream{1.0f, 0.93f, 0.78f}, cool{0.78f, 0.88f, 1.0f};
    const SmoothField uneven = broad(600, 622, 4), tint = broad(1400, 623, 3);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float fade =
            0.04f + 0.34f * smoothstep(0.45f, 1.2f, corner(x, y, 4) + 0.4f * (uneven.at(x, y) - 0.5f));
        const Rgb cast = mix(cream, cool, smoothstep(0.35f, 0.65f, tint.at(x, y)));
        return screen(cast * fade, grey(0.45f * wear.light.at(x, y)));
    });
    return out;
}

// Screened: black with an orange-to-magenta light leak pouring in from one corner, a weaker
// flare on the far side, and a few light scratches.
Raster retroThree() {
    const Marks wear =
        marks({.specks = 60, .speckRadius = 1.8f, .scratches = 10, .scratchWidth = 1.4f}, {}, 631);
    const Rgb orange{1.0f, 0.55f, 0.12f}, magenta{0.8f, 0.12f, 0.55f};
    const SmoothField edge = broad(450, 632, 4);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float n = edge.at(x, y);
        const float u = float(x) / kWidth, v = float(y) / kHeight;
        const float r = std::sqrt((1.05f - u) * (1.05f - u) + 0.45f * (v + 0.05f) * (v + 0.05f));
        const float open = 1.0f - smoothstep(0.0f, 0.8f, r + 0.25f * (n - 0.5f));
        const float leak = open * std::sqrt(open);
        const float side = 1.0f - smoothstep(0.0f, 0.35f, u + 0.2f * (n - 0.5f));
        const float flare = 0.35f * side * side * smoothstep(0.2f, 1.0f, v);
        Rgb c = mix(orange, magenta, smoothstep(0.1f, 0.65f, r)) * (0.95f * leak);
        c = screen(c, magenta * flare);
        return screen(c, grey(0.5f * wear.light.at(x, y)));
    });
    return out;
}

// Signed distance to a straight crease through (px, py) with normal (nx, ny).
struct Crease {
    float px, py, nx, ny, depth;
};

// Multiplied: light, warm off-white poster paper with fold creases, stains and darkened torn
// edges.
Raster posterPaper() {
    std::vector<Crease> creases;
    Random random(641);
    creases.push_back({0.5f * kWidth, 0, 1, 0, 1.0f});
    creases.push_back({0, 0.5f * kHeight, 0, 1, 0.8f});
    for (int i = 0; i < 3; ++i) {
        const Direction n = direction(random.range(0, 3.1415927f));
        creases.push_back(
            {random.range(0, kWidth), random.range(0, kHeight), n.x, n.y, random.range(0.3f, 0.6f)});
    }
    const Marks wear =
        marks({}, {.specks = 250, .speckRadius = 2.0f, .hairs = 20, .hairLength = 60, .scratches = 12}, 642);
    const Rgb paper{0.97f, 0.95f, 0.91f}, stain{0.94f, 0.9f, 0.82f};
    const SmoothField blotches = broad(550, 644), ragged = broad(60, 645);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        float shade = 0;
        for (const Crease& c : creases) {
            const float s = (float(x) - c.px) * c.nx + (float(y) - c.py) * c.ny;
            // One side of the fold shaded, the other caught by the light, a dark line on the ridge.
            const float slope = 1.0f - smoothstep(0.0f, 160.0f * kScale, std::fabs(s));
            shade += c.depth *
                     (-0.05f * slope * (s < 0 ? 1.0f : -0.4f) - 0.08f * smoothstep(2.0f, 0.0f, std::fabs(s)));
        }
        Rgb c = paper * (1.0f + shade + 0.03f * (noise(x, y, 6, 643, 3) - 0.5f));
        c = mix(c, c * stain, 0.7f * smoothstep(0.6f, 0.82f, blotches.at(x, y)));
        const float torn = smoothstep(0.88f, 1.06f, corner(x, y, 8) + 0.12f * (ragged.at(x, y) - 0.5f));
        c = c * (1.0f - 0.18f * torn);
        return c * (1.0f - 0.3f * wear.dark.at(x, y));
    });
    return out;
}

// Multiplied: a light plaster wall, lit from one side, with pores and branching cracks.
Raster wall() {
    Plane cracks(kWidth, kHeight, 1.0f);
    Random random(651);
    for (int i = 0; i < 14; ++i) {
        float x = random.range(0, kWidth), y = random.range(0, kHeight),
              heading = random.range(0, 6.2831853f);
        const int segments = 20 + random.below(50);
        float width = random.range(1.5f, 3.0f) * kScale;
        for (int k = 0; k < segments; ++k) {
            heading += random.range(-0.5f, 0.5f);
            const float step = random.range(12, 40) * kScale;
            Stroke s = strokeFrom(x, y, heading, step);
            s.width = width, s.bend = random.range(-2, 2), s.taper = 0.02f;
            drawStroke(kWidth, kHeight, s, false,
                       [&](int px, int py, float c) { cracks.at(px, py) *= 1.0f - 0.55f * c; });
            x = s.x1, y = s.y1;
            width = std::max(0.8f, width * 0.985f);
        }
    }
    const SmoothField patches = broad(900, 653, 3);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float height = noise(x, y, 70, 652, 5);
        const float lit = (height - noise(x - 3, y - 3, 70, 652, 5)) * 6.0f;
        float v = 0.9f + 0.08f * (patches.at(x, y) - 0.5f) + lit;
        v -= 0.28f * smoothstep(0.72f, 0.85f, noise(x, y, 3, 654, 2));
        v *= 0.97f + 0.03f * whiteNoise(x, y, 655);
        return grey(std::min(v, 1.0f) * cracks.at(x, y));
    });
    return out;
}

// Hard light and overlay: a textured warm mid-tone with a darker vignette, scratches and dust.
Raster retroTwo() {
    const Marks wear =
        marks({.specks = 250, .speckRadius = 2.0f, .scratches = 25},
              {.specks = 250, .speckRadius = 2.0f, .hairs = 30, .hairLength = 70, .scratches = 15}, 661);
    const Rgb tone{0.56f, 0.5f, 0.42f};
    const SmoothField mottling = broad(250, 662);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float mottle = mottling.at(x, y);
        Rgb c = tone * (1.0f + 0.14f * (mottle - 0.5f) + 0.06f * (noise(x, y, 5, 663, 2) - 0.5f));
        c = c * (1.0f - 0.35f * smoothstep(0.6f, 1.4f, corner(x, y)));
        c = mix(c, grey(0.72f), 0.7f * wear.light.at(x, y));
        return mix(c, grey(0.15f), 0.7f * wear.dark.at(x, y));
    });
    return out;
}

// Screened: black with a red-orange glow from one corner and a fainter one opposite.
Raster redGlow() {
    const Rgb red{0.9f, 0.1f, 0.04f}, orange{1.0f, 0.5f, 0.1f};
    const SmoothField edge = broad(500, 671, 4);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float u = float(x) / kWidth, v = float(y) / kHeight;
        const float n = edge.at(x, y);
        const float near =
            1.0f - smoothstep(0.0f, 0.95f, std::sqrt(u * u + (1.0f - v) * (1.0f - v)) + 0.25f * (n - 0.5f));
        const float opposite =
            1.0f - smoothstep(0.0f, 0.6f, std::sqrt((1 - u) * (1 - u) + v * v) + 0.2f * (n - 0.5f));
        const float glow = near * near, far = 0.35f * opposite * opposite;
        return mix(red, orange, smoothstep(0.4f, 0.9f, glow)) * glow + red * far;
    });
    return out;
}

// Lomo vignette, sampled smoothly at its own size: light centre, dark corners, the same above
// and below, a slight warm cast.
Raster lomo() {
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float v = mix(0.78f, 0.12f, smoothstep(0.25f, 1.35f, corner(x, y)));
        return Rgb{v, v * 0.98f, v * 0.93f};
    });
    return out;
}

// Multiplied with green and blue exchanged, so grey only: a bright centre closing into dark,
// grimy, scratched edges.
Raster horror() {
    const Marks wear = marks({},
                             {.specks = 400,
                              .speckRadius = 2.5f,
                              .hairs = 50,
                              .hairLength = 90,
                              .scratches = 40,
                              .scratchWidth = 1.5f},
                             681);
    const SmoothField ragged = broad(350, 682), stains = broad(600, 684), grime = broad(120, 683);
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float edge = smoothstep(0.35f, 1.3f, corner(x, y) + 0.4f * (ragged.at(x, y) - 0.5f));
        float v = 1.0f - 0.8f * edge * (0.7f + 0.6f * grime.at(x, y));
        v *= 1.0f - 0.25f * smoothstep(0.6f, 0.8f, stains.at(x, y));
        v *= 0.95f + 0.05f * noise(x, y, 6, 685, 2);
        return grey(v * (1.0f - 0.55f * wear.dark.at(x, y)));
    });
    return out;
}

// Old camera vignette: ×3 at the default brightness, so the centre sits near two thirds and the
// corners fall to about 0.2.
Raster oldCameraVignette() {
    Raster out(kWidth, kHeight);
    out.fill([&](int x, int y) {
        const float v = mix(0.655f, 0.2f, smoothstep(0.2f, 1.414f, corner(x, y)));
        return Rgb{v * 1.01f, v, v * 0.96f};
    });
    return out;
}

} // namespace

void writeOverlays(const Write& write) {
    writeOverlay(write, "grunge_rays", grungeRays());
    writeOverlay(write, "retro_1_overlayer", retroOne());
    writeOverlay(write, "paloroid_overlayer", instantFade());
    writeOverlay(write, "retro_3_overlayer", retroThree());
    writeOverlay(write, "red_poster_paper", posterPaper());
    writeOverlay(write, "wall_texture", wall());
    writeOverlay(write, "retro_2_overlayer", retroTwo());
    writeOverlay(write, "red", redGlow());
    writeOverlay(write, "lomo_overlayer", lomo());
    writeOverlay(write, "horror", horror());
    writeOverlay(write, "Vignette2", oldCameraVignette());
}

} // namespace artwork
