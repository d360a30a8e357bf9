// Brush stamps of the brush-strokes effect: one black stroke on white each, dense in the body,
// breaking into bristle streaks toward the dry end. The effect never turns a stamp, so the four
// run in four directions.
#include "Artwork.h"
#include "Paint.h"

#include <cmath>

namespace artwork {

namespace {

struct Brush {
    const char* file;
    int width, height;
    float angle;             // degrees; 0 runs left to right, 90 top to bottom
    float length, thickness; // of the stroke, pixels
    uint32_t seed;
};

Raster stamp(const Brush& b) {
    const Direction d = direction(b.angle * 0.017453292f);
    const float ux = d.x, uy = d.y;
    const float cx = 0.5f * float(b.width), cy = 0.5f * float(b.height);
    Raster out(b.width, b.height);
    out.fill([&](int x, int y) {
        const float px = float(x) + 0.5f - cx, py = float(y) + 0.5f - cy;
        const float t = (px * ux + py * uy) / b.length + 0.5f; // 0 at the loaded end, 1 at the dry end
        // -1..1 across the stroke, which bows a little as a hand's stroke does.
        const float across =
            (py * ux - px * uy - 0.06f * b.thickness * 4.0f * t * (1.0f - t)) / (0.5f * b.thickness);
        // Bristles: thin lines along the stroke, each with its own tone and its own end.
        const float bristle = valueNoise(across * 30.0f, t * 1.5f, b.seed);
        const float end = 0.68f + 0.3f * valueNoise(across * 16.0f, 0.5f, b.seed + 1);
        // A rounded head, edges that waver, bristles that run dry one by one.
        const float head =
            t < 0.12f ? std::sqrt(std::max(0.0f, 1.0f - (0.12f - t) * (0.12f - t) / 0.0144f)) : 1.0f;
        const float edge =
            head * (0.86f + 0.14f * valueNoise(t * 7.0f, across > 0 ? 1.5f : 7.5f, b.seed + 2));
        const float pixel = 2.0f / b.thickness;
        float coverage = clamp01((edge - std::fabs(across)) / pixel) * clamp01((end - t) * b.length * 0.5f) *
                         clamp01(t * b.length * 0.5f);
        const float dryness =
            std::max(smoothstep(0.45f, 0.95f, t), smoothstep(0.65f, 1.0f, std::fabs(across)));
        coverage *= 1.0f - dryness * (1.0f - smoothstep(0.25f, 0.6f, bristle));
        return grey(1.0f - coverage);
    });
    return out;
}

} // namespace

void writeBrushes(const Write& write) {
    // The first stamp sets the effect's grid, and its stroke is more than half as high as wide
    // so the base layer leaves no gaps.
    const Brush brushes[] = {
        {"brushStroke1.png", 224, 150, 0, 200, 116, 701},
        {"brushStroke2.png", 150, 224, 90, 200, 108, 702},
        {"brushStroke3.png", 256, 256, 45, 220, 96, 703},
        {"brushStroke4.png", 256, 256, -45, 220, 96, 704},
    };
    for (const Brush& b : brushes)
        write(Folder::Shared, b.file, stamp(b));
}

} // namespace artwork
