#include "kernels/Texture.h"

#include <cstdlib>

texture_t* tex_create_empty(int width, int height, int /*bytes_per_pixel*/) {
    auto* tex = static_cast<texture_t*>(std::malloc(sizeof(texture_t)));
    const size_t w = width > 0 ? size_t(width) : 0;
    const size_t h = height > 0 ? size_t(height) : 0;
    // malloc(0) may answer null; keep a valid pointer so callers can free uniformly.
    const size_t bytes = w * h * 4;
    tex->data = static_cast<uint8_t*>(std::malloc(bytes > 0 ? bytes : 1));
    tex->width = int32_t(w);
    tex->height = int32_t(h);
    tex->bytes_per_pixel = 4;
    return tex;
}

void tex_free(texture_t* tex) {
    if (!tex) return;
    std::free(tex->data);
    std::free(tex);
}
