#pragma once
// An overlay picture from the bundle (paper grain, scratches, light leaks, vignettes, brushes)
// held as 8-bit bytes at the size an effect works at, for per-pixel sampling.
//
// Buffer: width x height pixels of 4 bytes, rows of bytesPerRow() = 4 x width bytes, top row
// first. Byte 0 red, 1 green, 2 blue, 3 skipped: the `_rgba` order of the texture kernels, not
// the working image's X,R,G,B. Byte 3 is 255 wherever the picture was drawn.
//
// A nil picture gives an empty (0 x 0) texture, or with a requested size a texture of that size
// whose bytes are all 1 (colour 1/255, as if nothing were drawn). Every sampler answers
// (0, 0, 0) (alpha 0) outside the texture and on an empty one, and never reads outside the
// buffer. Samplers are inline and allocation-free; any number of threads may sample at once.
//
// Memory that runs out while a picture is decoded or a texture made throws std::bad_alloc, which
// fails the run: a look never draws without a picture it has for lack of memory.
//
// The effect that makes a texture owns it and drops it when it no longer needs it.
#include "engine/Pixel.h"
#include "kernels/Texture.h"
#include "platform/graphics/Image.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

class ImageEditable {
  public:
    // The named picture ("<name>.jpg", else "<name>.png", main bundle then shared bundle) stretched
    // to (w, h) when w > h and the picture is wider than high, else to (h, w): effects sample it
    // transposed when its orientation differs from the photo's. A missing picture is reported
    // once per name on standard error and gives the all-1 texture at (h, w).
    static std::unique_ptr<ImageEditable> setup_overlay(const std::string& name, int32_t w, int32_t h);
    // setup_overlay in two steps, for effects that draw the stretched picture a piece at a time:
    // the picture at its own size (null, reported the same way, when missing), then the size it
    // is stretched to for a (w, h) request.
    static graphics::ImagePtr overlay_picture(const std::string& name);
    static std::pair<int32_t, int32_t> overlay_size(const graphics::ImagePtr& picture, int32_t w, int32_t h);
    // The same picture at its own pixel size; a missing one (reported the same way) gives 0 x 0.
    static std::unique_ptr<ImageEditable> setup_overlay_e(const std::string& name);
    // A picture just loaded through imageio on this thread, passed on; throws std::bad_alloc when
    // it is null because memory ran out rather than because the file is missing.
    static graphics::ImagePtr checked(graphics::ImagePtr loaded);

    ImageEditable() = default;
    // The image at its own pixel size, composited over bytes of background: where it is
    // transparent the texture is black by default.
    explicit ImageEditable(const graphics::ImagePtr& image, uint8_t background = 0);
    // The image stretched to width x height, aspect ratio not kept, over bytes that start at 1.
    ImageEditable(const graphics::ImagePtr& image, int32_t width, int32_t height);
    ImageEditable(const ImageEditable&) = delete;
    ImageEditable& operator=(const ImageEditable&) = delete;

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    static constexpr size_t bytesPerPixel() { return 4; }
    static constexpr size_t bitsPerComponent() { return 8; }
    size_t bytesPerRow() const { return size_t(m_width) * 4; }
    // The buffer described above; null when the texture is empty.
    const uint8_t* img_data() const { return m_img_data.get(); }

    // Bytes 0..2 of texel (x, y) times 1/255.
    pixel_t get_pixel_x(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {0.0f, 0.0f, 0.0f};
        const uint8_t* p = texel(x, y);
        constexpr float k = 1.0f / 255.0f;
        return {float(p[0]) * k, float(p[1]) * k, float(p[2]) * k};
    }
    // Byte 3 of texel (x, y) times 1/255.
    float get_alpha_x(int32_t x, int32_t y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0.0f;
        return float(texel(x, y)[3]) * 0.003921569f;
    }

    // Bilinear sample at normalised (u, v), each clamped to 0..1. In the last column or row the
    // last two texels are extrapolated (weight up to 2), so results may leave 0..1; a side of a
    // single texel uses that texel.
    pixel_t get_pixel_u(float u, float v) const {
        if (m_width <= 0 || m_height <= 0) return {0.0f, 0.0f, 0.0f};
        const tex_detail::axis_t x = tex_detail::axis(tex_detail::clamp01(u), m_width);
        const tex_detail::axis_t y = tex_detail::axis(tex_detail::clamp01(v), m_height);
        const float tx = x.a, ty = y.a;
        const uint8_t* t00 = texel(x.i0, y.i0);
        const uint8_t* t10 = texel(x.i1, y.i0);
        const uint8_t* t01 = texel(x.i0, y.i1);
        const uint8_t* t11 = texel(x.i1, y.i1);
        float c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = ((float(t00[i]) * (1.0f - tx) + float(t10[i]) * tx) * (1.0f - ty) +
                    (float(t01[i]) * (1.0f - tx) + float(t11[i]) * tx) * ty) *
                   (1.0f / 255.0f);
        return {c[0], c[1], c[2]};
    }

    // Position (x, y) of a w x h picture sampled bilinearly over the whole texture.
    pixel_t get_pixel_relative_e_x(int32_t x, int32_t y, int32_t w, int32_t h) const {
        return get_pixel_u(float(x) / float(w), float(y) / float(h));
    }
    // Position (x, y) of a w x h picture mapped to the texel trunc(x / w x width),
    // trunc(y / h x height).
    pixel_t get_pixel_relative_x(int32_t x, int32_t y, int32_t w, int32_t h) const {
        int32_t tx, ty;
        if (!relative(x, w, m_width, tx) || !relative(y, h, m_height, ty)) return {0.0f, 0.0f, 0.0f};
        return get_pixel_x(tx, ty);
    }
    float get_alpha_relative_x(int32_t x, int32_t y, int32_t w, int32_t h) const {
        int32_t tx, ty;
        if (!relative(x, w, m_width, tx) || !relative(y, h, m_height, ty)) return 0.0f;
        return get_alpha_x(tx, ty);
    }

    // Position x of w mapped to trunc(x / w x size), the index the relative samplers read; false
    // when it lies outside 0..size - 1, including a zero w (whose quotient is infinite or NaN and
    // has no integer value).
    static bool relative(int32_t x, int32_t w, int32_t size, int32_t& out) {
        const float f = float(x) / float(w) * float(size);
        if (!(f > -1.0f && f < float(size))) return false;
        out = int32_t(f);
        return true;
    }

  private:
    const uint8_t* texel(int32_t x, int32_t y) const {
        return m_img_data.get() + (size_t(y) * size_t(m_width) + size_t(x)) * 4;
    }
    bool allocate(int32_t width, int32_t height);
    void clear(uint8_t value);
    void draw(const graphics::ImagePtr& image);

    int32_t m_width = 0;
    int32_t m_height = 0;
    std::unique_ptr<uint8_t[]> m_img_data;
};

// The named image of the bundle (the name carries its extension: "gradient.png") as a texture
// record in the byte order above, to be read with the `_rgba` samplers. A missing image is
// reported once per name on standard error and gives a 0 x 0 texture. Owned by the caller
// (tex_free); never null.
texture_t* tex_create_from_file(const std::string& name);
