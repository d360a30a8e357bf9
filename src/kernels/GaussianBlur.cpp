#include "kernels/GaussianBlur.h"

#include <algorithm>

GaussianBlur* GaussianBlur::sharedGaussianBlur() {
    static GaussianBlur shared;
    return &shared;
}

GaussianBlur::GaussianBlur() {
    _cache.gaussianMatrixForRadius(kMaxRadius);
}

const float* GaussianBlur::gaussianMatrixForRadius(size_t r) {
    return _cache.gaussianMatrixForRadius(r);
}

void GaussianBlur::gaussianBlurFirstPassForData(const uint8_t* data, texture_t* texture, int32_t radius,
                                                int32_t stepX, int32_t X, int32_t Y) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    const float* k = gaussianMatrixForRadius(size_t(r));
    const int64_t w = texture->width, h = texture->height;
    // Past the bottom the row stepX above the end, kept inside the image for steps taller than it.
    const int64_t below_end = std::max<int64_t>(h - stepX, 0);
    float red = 0, green = 0, blue = 0;
    for (int32_t j = 0; j <= 2 * r; ++j) {
        int64_t row = int64_t(Y) + int64_t(j - r) * stepX;
        if (row < 0)
            row = 0;
        else if (row >= h)
            row = below_end;
        const uint8_t* p = data + (row * w + X) * 4;
        red += p[1] * k[j];
        green += p[2] * k[j];
        blue += p[3] * k[j];
    }
    uint8_t* t = texture->data + (int64_t(Y) * w + X) * 4;
    t[1] = uint8_t(int(red));
    t[2] = uint8_t(int(green));
    t[3] = uint8_t(int(blue));
}

GaussianBlurColor GaussianBlur::gaussianBlurSecondPassForTexture(const texture_t* texture, int32_t radius,
                                                                 int32_t stepX, int32_t X, int32_t Y) {
    const int32_t r = std::clamp(radius, 1, kMaxRadius);
    const float* k = gaussianMatrixForRadius(size_t(r));
    const int64_t w = texture->width;
    const int64_t step = std::max(stepX, 1);
    // The last column the first pass wrote: texels between grid columns were never written.
    const int64_t last_visited = (w - 1) / step * step;
    const uint8_t* line = texture->data + int64_t(Y) * w * 4;
    float red = 0, green = 0, blue = 0;
    for (int32_t j = 0; j <= 2 * r; ++j) {
        int64_t col = int64_t(X) + int64_t(j - r) * stepX;
        if (col < 0)
            col = 0;
        else if (col >= w)
            col = last_visited;
        const uint8_t* p = line + col * 4;
        red += p[1] * k[j];
        green += p[2] * k[j];
        blue += p[3] * k[j];
    }
    const auto channel = [](float sum) { return float((int(sum) & 0xFF) / 255.0); };
    return {channel(red), channel(green), channel(blue)};
}
