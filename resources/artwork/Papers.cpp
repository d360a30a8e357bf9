// Papers of the sketch effects: seamless hatching tiles in graphite and colour pencil, the
// colour pencil's tone curve, dark charcoal paper and aged paper.
#include "Artwork.h"
#include "Paint.h"

#include <cmath>
#include <vector>

namespace artwork {

namespace {

constexpr int kTile = 1024;

// One direction of hatching: groups of roughly parallel strokes, as a hand lays them.
struct Hatching {
    float angle; // degrees, 0 along x, 90 along y (down)
    int groups;
    int strokesPerGroup; // at most; each group has half to all of it
    float spacing;       // between neighbouring strokes of a group, pixels
    float minLength, maxLength;
    float minWidth, maxWidth;
    float minInk, maxInk; // share of light a stroke takes at full pressure
    uint64_t seed;
};

// Paper tooth: the grain pencil skips over. Seamless on the tile.
float tooth(int x, int y) {
    return fbm(float(x) / 4.0f, float(y) / 4.0f,
               {.seed = 11, .octaves = 3, .gain = 0.6f, .period = kTile / 4});
}

// Light passed by the strokes of the given directions: 1 on bare paper, less under strokes;
// crossing strokes darken each other. waxy > 0 lets the tooth break strokes more.
Plane hatch(const std::vector<Hatching>& sets, float waxy) {
    Plane light(kTile, kTile, 1.0f);
    for (const Hatching& set : sets) {
        Random random(set.seed);
        // Each group in its own cell of a grid over the tile, at a random place inside it: placed
        // anywhere, groups pile up into dark clumps, which the tile repeats as a lattice.
        int cells = 1;
        while (cells * cells < set.groups)
            ++cells;
        const float cell = float(kTile) / float(cells);
        for (int g = 0; g < set.groups; ++g) {
            const int at = int(int64_t(g) * cells * cells / set.groups);
            const float cx = (float(at % cells) + random.range(0.0f, 1.0f)) * cell;
            const float cy = (float(at / cells) + random.range(0.0f, 1.0f)) * cell;
            const float angle = (set.angle + random.range(-7.0f, 7.0f)) * 0.017453292f;
            const Direction d = direction(angle);
            const float ux = d.x, uy = d.y;
            const int count = set.strokesPerGroup / 2 + random.below(set.strokesPerGroup / 2 + 1);
            const float length = random.range(set.minLength, set.maxLength);
            const float ink = random.range(set.minInk, set.maxInk);
            for (int i = 0; i < count; ++i) {
                const float offset =
                    (float(i) - 0.5f * float(count)) * set.spacing + random.range(-1.5f, 1.5f);
                const float along = random.range(-0.15f, 0.15f) * length;
                const float l = length * random.range(0.75f, 1.1f);
                const float sx = cx - uy * offset + ux * along, sy = cy + ux * offset + uy * along;
                Stroke s;
                s.x0 = sx - ux * l * 0.5f, s.y0 = sy - uy * l * 0.5f;
                s.x1 = sx + ux * l * 0.5f, s.y1 = sy + uy * l * 0.5f;
                s.width = random.range(set.minWidth, set.maxWidth);
                s.bend = l * random.range(-0.03f, 0.03f);
                s.taper = random.range(0.1f, 0.3f);
                const float strength = ink * random.range(0.85f, 1.1f);
                drawStroke(kTile, kTile, s, true, [&](int x, int y, float coverage) {
                    const float grain = (1.0f - waxy) + waxy * smoothstep(0.3f, 0.7f, tooth(x, y));
                    light.at(x, y) *= 1.0f - clamp01(strength * coverage * grain);
                });
            }
        }
    }
    // Where strokes still cross many times the graphite shines instead of going black.
    constexpr float kSheen = 0.15f;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            light.at(x, y) = kSheen + (1.0f - kSheen) * light.at(x, y);
    return light;
}

// White paper (never below 253) under the strokes, grey stored as RGB.
Raster onPaper(const Plane& light) {
    Raster out(kTile, kTile);
    out.fill([&](int x, int y) { return grey((1.0f - 0.008f * tooth(x, y)) * light.at(x, y)); });
    return out;
}

void writeHatching(const Write& write) {
    // Graphite: strokes of about 60 to 180 grey. The medium tone is a subset of the dense one,
    // so neighbouring tone bands share their strokes and join without a seam.
    const Hatching oblique{-50, 150, 10, 7.5f, 110, 260, 1.6f, 2.6f, 0.35f, 0.7f, 101};
    const Hatching crossing{40, 220, 10, 7.5f, 110, 260, 1.6f, 2.6f, 0.35f, 0.7f, 102};
    const Hatching flat{-8, 120, 8, 8.0f, 90, 200, 1.4f, 2.2f, 0.3f, 0.55f, 103};
    const Hatching upright{78, 70, 6, 11.0f, 100, 240, 1.0f, 1.6f, 0.3f, 0.55f, 104};
    write(Folder::Shared, "Scpaper-crs_2x.jpg", onPaper(hatch({oblique, crossing, flat}, 0.35f)));
    write(Folder::Shared, "Scpaper-obl_2x.jpg", onPaper(hatch({oblique}, 0.35f)));
    write(Folder::Shared, "Scpaper-vert2_2x.jpg", onPaper(hatch({upright}, 0.35f)));

    // Colour pencil: light waxy strokes (about 180 to 245), running down the tile because the
    // effect lays the tile on its side.
    const Hatching down{90, 140, 9, 8.0f, 120, 280, 2.2f, 3.4f, 0.12f, 0.3f, 201};
    const Hatching slant{45, 150, 9, 8.0f, 110, 240, 2.0f, 3.0f, 0.12f, 0.28f, 202};
    const Hatching across{-45, 150, 9, 8.0f, 110, 240, 2.0f, 3.0f, 0.12f, 0.28f, 203};
    const Hatching sparse{92, 80, 6, 11.0f, 120, 280, 1.8f, 2.8f, 0.1f, 0.22f, 204};
    write(Folder::Shared, "Scpaper-crs1_2x.jpg", onPaper(hatch({down, slant, across}, 0.6f)));
    write(Folder::Shared, "Scpaper-obl1_2x.jpg", onPaper(hatch({slant}, 0.6f)));
    write(Folder::Shared, "Scpaper-vert21_2x.jpg", onPaper(hatch({sparse}, 0.6f)));
}

// Red at column n is the brightness the colour pencil gives luminance n: a gentle lift that
// makes pastel colours.
void writeGradient(const Write& write) {
    Raster ramp(256, 8);
    ramp.fill([](int x, int) {
        const float root = std::sqrt(float(x) / 255.0f);
        return grey(root * std::sqrt(root)); // (x / 255)^0.75
    });
    write(Folder::Shared, "gradient.png", ramp);
}

// Near-black charcoal paper with lighter grain, smudges and short charcoal streaks. The effect
// adds it to the picture's tone, so it stays dark: bare paper under 30, streaks up to about 110.
void writeCharcoal(const Write& write) {
    const int w = 2048, h = 1536;
    Plane streaks(w, h, 0.0f);
    Random random(301);
    for (int i = 0; i < 260; ++i) {
        const float angle = random.range(-80.0f, -20.0f) * 0.017453292f, length = random.range(40, 220);
        Stroke s = strokeFrom(random.range(0, w), random.range(0, h), angle, length);
        s.width = random.range(5.0f, 16.0f), s.bend = length * random.range(-0.1f, 0.1f), s.taper = 0.4f;
        const float strength = random.range(0.15f, 0.3f);
        drawStroke(w, h, s, false, [&](int x, int y, float coverage) {
            float& v = streaks.at(x, y);
            v = screen(v, strength * coverage);
        });
    }
    const SmoothField smudges(w, h, 260.0f, {.seed = 302, .octaves = 4});
    Raster out(w, h);
    out.fill([&](int x, int y) {
        const float smudge = smudges.at(x, y);
        const float grain = fbm(float(x) / 2.5f, float(y) / 2.5f, {.seed = 303, .octaves = 2});
        float v = 0.025f + 0.06f * smudge + 0.12f * smoothstep(0.62f, 0.8f, smudge);
        v += 0.1f * smoothstep(0.62f, 0.85f, grain);
        // Charcoal catches on the paper's tooth: streaks break up along the grain.
        v = screen(v, streaks.at(x, y) * smoothstep(0.3f, 0.7f, grain));
        return grey(v);
    });
    write(Folder::Shared, "Scetch_black.jpg", out);
}

// Aged paper, multiplied under the pencil: cream in the middle, browned and burnt toward the
// ragged edges, with blotches, foxing and fibres. Square and without hard features, since the
// effect lays it on its side.
void writeOldPaper(const Write& write) {
    const int size = 2048;
    Plane fibres(size, size, 0.0f);
    Random random(401);
    for (int i = 0; i < 9000; ++i) {
        const float angle = random.range(0, 6.2831853f), length = random.range(8, 40);
        Stroke s = strokeFrom(random.range(0, size), random.range(0, size), angle, length);
        s.width = random.range(0.6f, 1.3f), s.bend = length * random.range(-0.3f, 0.3f);
        const float tone = random.range(-1.0f, 1.0f);
        drawStroke(size, size, s, false,
                   [&](int x, int y, float coverage) { fibres.at(x, y) += tone * coverage; });
    }
    Plane foxing(size, size, 0.0f);
    for (int i = 0; i < 90; ++i) {
        const float strength = random.range(0.2f, 0.6f);
        drawDisc(size, size, random.range(0, size), random.range(0, size), random.range(3, 18),
                 [&](int x, int y, float d) {
                     float& v = foxing.at(x, y);
                     v = std::max(v, strength * (1.0f - smoothstep(0.2f, 1.0f, d)));
                 });
    }
    const Rgb centre = rgb255(235, 215, 170), edge = rgb255(150, 120, 80), stain = rgb255(170, 130, 80);
    const SmoothField ragged(size, size, 90.0f, {.seed = 402}),
        blotches(size, size, 220.0f, {.seed = 403, .octaves = 4});
    Raster out(size, size);
    out.fill([&](int x, int y) {
        const float burn = smoothstep(
            0.55f, 1.15f, edgeDistance(float(x), float(y), size, size, 4) + 0.35f * (ragged.at(x, y) - 0.5f));
        Rgb c = mix(centre, edge, burn);
        const float blotch = blotches.at(x, y);
        c = mix(c, c * stain * 1.4f, 0.35f * smoothstep(0.55f, 0.8f, blotch));
        c = mix(c, c * stain, foxing.at(x, y));
        const float grain =
            -0.03f * std::clamp(fibres.at(x, y), -1.0f, 1.0f) + 0.02f * (whiteNoise(x, y, 404) - 0.5f);
        return c * (1.0f + grain);
    });
    write(Folder::Shared, "pf_old_paper.jpg", out);
}

} // namespace

void writeSketchPapers(const Write& write) {
    writeHatching(write);
    writeGradient(write);
    writeCharcoal(write);
    writeOldPaper(write);
}

} // namespace artwork
