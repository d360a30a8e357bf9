#pragma once
// Where one pointer event of a brush stroke stamps dabs, in working pixels: evenly along the
// dominant axis of the segment from the last stamped point, then at the new point. Pure logic.
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

#include <optional>
#include <vector>

struct DabWalk {
    // The brush's inner (fully opaque) and outer radius in working pixels for a brush diameter in
    // view points, view points per working pixel, pen pressure and softness 0 (hard) to 100.
    struct Radii {
        double inner = 0;
        double outer = 0;
    };
    static Radii radii(double brushSize, double scale, double pressure, double softness);

    // One step along the dominant axis: 1 below an outer radius of 5, else floor(radius) / 5.
    static int step(double outerRadius);

    // The walk from `from` (none at a stroke's first event) to `to` with the outer radius.
    static DabWalk walk(std::optional<graphics::Point> from, graphics::Point to, double outerRadius);

    std::vector<graphics::Point> dabs; // centres in stamping order, the last one at `to`
    // What the dabs cover, origin floored and size ceiled; null when nothing is drawn.
    graphics::Rect redrawArea = graphics::Rect::null();
    // The movement was shorter than a step: nothing drawn, and the stroke goes on from `from`.
    bool deferred = false;
};
