#include "Paint.h"

namespace artwork {

void addWear(Plane& coverage, const Wear& wear, uint64_t seed) {
    const int w = coverage.width(), h = coverage.height();
    Random random(seed);
    auto keep = [&](float strength) {
        return [&coverage, strength](int x, int y, float c) {
            float& v = coverage.at(x, y);
            v = std::max(v, c * strength);
        };
    };
    for (int i = 0; i < wear.specks; ++i) {
        const float radius = wear.speckRadius * random.range(0.5f, 1.5f);
        const float strength = random.range(0.6f, 1.0f);
        drawDisc(w, h, random.range(0, w), random.range(0, h), radius, [&](int x, int y, float d) {
            float& v = coverage.at(x, y);
            v = std::max(v, strength * (1.0f - smoothstep(0.6f, 1.0f, d)));
        });
    }
    for (int i = 0; i < wear.hairs; ++i) {
        const float x = random.range(0, w), y = random.range(0, h), angle = random.range(0, 6.2831853f);
        const float length = wear.hairLength * random.range(0.4f, 1.2f);
        Stroke s = strokeFrom(x, y, angle, length);
        s.width = random.range(0.8f, 1.6f), s.bend = length * random.range(-0.3f, 0.3f), s.taper = 0.1f;
        drawStroke(w, h, s, false, keep(random.range(0.5f, 0.9f)));
    }
    // A long scratch close beside a side and running along it reads as a fault of the photo's
    // edge once the picture is stretched over it: such a scratch is drawn again elsewhere.
    const float mx = 0.05f * float(w), my = 0.05f * float(h);
    const auto alongASide = [&](const Stroke& s) {
        return (s.x0 < mx && s.x1 < mx) || (s.x0 > float(w) - mx && s.x1 > float(w) - mx) ||
               (s.y0 < my && s.y1 < my) || (s.y0 > float(h) - my && s.y1 > float(h) - my);
    };
    for (int i = 0; i < wear.scratches; ++i) {
        float length = 0;
        Stroke s;
        for (int attempt = 0; attempt < 16 && (attempt == 0 || alongASide(s)); ++attempt) {
            const float x = random.range(0, w), y = random.range(0, h), angle = random.range(0, 6.2831853f);
            length = float(std::max(w, h)) * random.range(0.1f, 0.5f);
            s = strokeFrom(x, y, angle, length);
        }
        s.width = wear.scratchWidth * random.range(0.6f, 1.4f), s.bend = length * random.range(-0.05f, 0.05f);
        s.taper = 0.3f;
        drawStroke(w, h, s, false, keep(random.range(0.3f, 0.7f)));
    }
}

} // namespace artwork
