#pragma once
// Repaints an ARGB image (byte 0 alpha, bytes 1-3 red, green, blue) with brush strokes: a box-blurred
// underpainting, then a base layer of small strokes over the whole canvas and a detail layer of larger
// ones, each stroke a solid colour from the unblurred source stamped through a shrunken brush copy.
// Stroke choice and jitter come from this thread's `Random`, three draws per stroke (brush, x jitter,
// y jitter), so a seeded generator gives a fixed painting. Destination byte 0 is never written.
#include <cstdint>

// One brush: 4-byte pixels whose byte 1 is the coverage (0 paints fully, 255 not at all).
struct image_t {
    const uint8_t* data;
    int32_t width;
    int32_t height;
    int32_t row_bytes;
};

// src and dst are width x height pixels with their own row bytes and must not overlap; the brushes are
// only read and not kept. scale sizes the strokes (copies are brush size x 0.45 .. 0.3 x scale) and the
// underpainting (radius trunc(10 x scale)). Without brushes only the underpainting is made. False,
// with dst incomplete, for no picture, when memory runs out (reported on standard error), for
// brushes too large at that scale, or when the work was cancelled (graphics::workCancelled).
[[nodiscard]] bool oil_paint_filter(const uint8_t* src, uint8_t* dst, int width, int height,
                                    int src_row_bytes, int dst_row_bytes, const image_t* brushes,
                                    int brush_count, float scale);
