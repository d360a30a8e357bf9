#pragma once
// The one clamp of a colour component to [0, 1]. NaN becomes 0, so that no NaN reaches a byte
// conversion (undefined there) or spreads into the other channels of a pixel.

namespace graphics {

inline float clamp01(float v) {
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

} // namespace graphics
