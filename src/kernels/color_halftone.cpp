#include "kernels/color_halftone.h"

#include <algorithm>
#include <cmath>

namespace {

// Screen angles in radians, in channel order red, green, blue.
constexpr float kScreenAngles[3] = {0.2617994f, 1.3089969f, 0.0f};

// Calls sample(X, Y, px, py) for the in-image pixels of the square window of side d whose
// corner lies r before the dot centre; px, py is the sample position, X, Y its pixel.
template <class Sample>
void for_window(int cx, int cy, float r, float d, int width, int height, Sample&& sample) {
    for (int j = 0; j < d; ++j) {
        const float py = float(cy + j) - r;
        const int Y = int(py);
        if (Y < 0 || Y >= height) continue;
        for (int i = 0; i < d; ++i) {
            const float px = float(cx + i) - r;
            const int X = int(px);
            if (X < 0 || X >= width) continue;
            sample(X, Y, px, py);
        }
    }
}

// One channel's screen: offset selects the pixel byte (1 red, 2 green, 3 blue).
void screen_channel(const uint8_t* src, uint8_t* dst, int width, int height, float r, int offset) {
    const float d = 2 * r;
    const float pitch = 0.75f * d;
    const float extent = std::sqrt(float(int64_t(width) * width + int64_t(height) * height));
    const float angle = kScreenAngles[offset - 1];
    const float cos_a = std::cos(angle), sin_a = std::sin(angle);
    const float far_x = float(width) + r, far_y = float(height) + r;

    // Lattice positions advance by repeated addition, as the dot placement depends on it.
    for (float v = -extent; v < extent; v += pitch) {
        for (float u = -extent; u < extent; u += pitch) {
            const int cx = int(u * cos_a - v * sin_a);
            const int cy = int(u * sin_a + v * cos_a);
            if (!(-r <= float(cx) && float(cx) < far_x && -r <= float(cy) && float(cy) < far_y))
                continue;

            uint64_t sum = 0, n = 0;
            for_window(cx, cy, r, d, width, height, [&](int X, int Y, float, float) {
                sum += src[(size_t(Y) * size_t(width) + size_t(X)) * 4 + size_t(offset)];
                ++n;
            });
            if (n == 0) continue;
            const uint64_t avg = sum / n;
            const float radius = (255.0f - 0.5f * float(avg)) / 255.0f;

            for_window(cx, cy, r, d, width, height, [&](int X, int Y, float px, float py) {
                const float ex = float(cx) - px, ey = float(cy) - py;
                const float dist = std::sqrt(ex * ex + ey * ey) / r;
                if (!(dist <= radius)) return;
                // A rim two pixels wide fades the ink in; deeper inside it is full.
                const float t = (radius - dist) * r;
                const float f = t <= 2.0f ? 1.0f - 0.5f * t : 0.0f;
                uint8_t& b = dst[(size_t(Y) * size_t(width) + size_t(X)) * 4 + size_t(offset)];
                // The other two channels would come back unchanged from the same round trip,
                // so only this channel's byte is written.
                b = uint8_t(float(b) * 0.003921569f * f * 255.0f);
            });
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
    for (int offset = 1; offset <= 3; ++offset) screen_channel(src, dst, width, height, r, offset);
}
