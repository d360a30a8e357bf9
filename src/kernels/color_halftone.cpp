#include "kernels/color_halftone.h"

#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Screen angles in radians, in channel order red, green, blue.
constexpr float kScreenAngles[3] = {0.2617994f, 1.3089969f, 0.0f};

// One axis of a dot's sampling window: the in-image pixels of the samples c + k - r for
// k = 0, 1, ... below d, in order, each with its squared distance from the centre c. The
// same pixel may come twice (positions in -1..1 both truncate to 0), and then counts twice.
struct WindowAxis {
    std::vector<int> pixel;
    std::vector<float> sq;
    int n = 0;

    explicit WindowAxis(int cells) : pixel(size_t(cells)), sq(size_t(cells)) {}

    void place(int c, float r, int cells, int size) {
        n = 0;
        for (int k = 0; k < cells; ++k) {
            const float pos = float(c + k) - r;
            const int p = int(pos);
            if (p < 0 || p >= size) continue;
            const float e = float(c) - pos;
            pixel[size_t(n)] = p;
            sq[size_t(n)] = e * e;
            ++n;
        }
    }
};

// One channel's screen: offset selects the pixel byte (1 red, 2 green, 3 blue).
void screen_channel(const uint8_t* src, uint8_t* dst, int width, int height, float r, int offset) {
    const float d = 2 * r;
    const float pitch = 0.75f * d;
    const float extent = std::sqrt(float(int64_t(width) * width + int64_t(height) * height));
    const float angle = kScreenAngles[offset - 1];
    const float cos_a = std::cos(angle), sin_a = std::sin(angle);
    const float far_x = float(width) + r, far_y = float(height) + r;
    int cells = 0; // window samples per axis: k = 0, 1, ... while k < d
    while (float(cells) < d) ++cells;
    WindowAxis cols(cells), rows(cells);
    const size_t row_bytes = size_t(width) * 4;

    // Lattice positions advance by repeated addition, as the dot placement depends on it.
    for (float v = -extent; v < extent; v += pitch) {
        for (float u = -extent; u < extent; u += pitch) {
            const int cx = int(u * cos_a - v * sin_a);
            const int cy = int(u * sin_a + v * cos_a);
            if (!(-r <= float(cx) && float(cx) < far_x && -r <= float(cy) && float(cy) < far_y))
                continue;
            cols.place(cx, r, cells, width);
            rows.place(cy, r, cells, height);
            if (cols.n == 0 || rows.n == 0) continue;

            const uint8_t* channel = src + offset;
            uint64_t sum = 0;
            for (int j = 0; j < rows.n; ++j) {
                const uint8_t* line = channel + size_t(rows.pixel[size_t(j)]) * row_bytes;
                for (int i = 0; i < cols.n; ++i) sum += line[size_t(cols.pixel[size_t(i)]) * 4];
            }
            const uint64_t avg = sum / (uint64_t(rows.n) * uint64_t(cols.n));
            const float radius = (255.0f - 0.5f * float(avg)) / 255.0f;
            // Samples whose squared distance exceeds this lie outside the dot however the root
            // and the division round (each is within 2^-24 of exact), so they skip both.
            const float reach = radius * r;
            const float beyond = reach * reach * 1.0001f;

            for (int j = 0; j < rows.n; ++j) {
                uint8_t* line = dst + offset + size_t(rows.pixel[size_t(j)]) * row_bytes;
                const float ey2 = rows.sq[size_t(j)];
                for (int i = 0; i < cols.n; ++i) {
                    const float s = cols.sq[size_t(i)] + ey2;
                    if (s > beyond) continue;
                    const float dist = std::sqrt(s) / r;
                    if (!(dist <= radius)) continue;
                    // A rim two pixels wide fades the ink in; deeper inside it is full.
                    const float t = (radius - dist) * r;
                    const float f = t <= 2.0f ? 1.0f - 0.5f * t : 0.0f;
                    uint8_t& b = line[size_t(cols.pixel[size_t(i)]) * 4];
                    // The other two channels would come back unchanged from the same round
                    // trip through floats, so only this channel's byte is written.
                    b = uint8_t(float(b) * 0.003921569f * f * 255.0f);
                }
            }
        }
    }
}

} // namespace

void color_halftone(const uint8_t* src, uint8_t* dst, int width, int height, float size) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    const size_t count = size_t(width) * size_t(height);
    for (size_t k = 0; k < count; ++k) {
        dst[k * 4 + 1] = 255;
        dst[k * 4 + 2] = 255;
        dst[k * 4 + 3] = 255;
    }
    const float r = std::max(1.0f, size);
    // Each channel reads and writes only its own byte, so the three screens run side by side;
    // within a screen, overlapping dots must print in lattice order.
    graphics::parallelFor(3, 1, [&](int begin, int end) {
        for (int c = begin; c < end; ++c) screen_channel(src, dst, width, height, r, c + 1);
    });
}
