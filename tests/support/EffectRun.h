#pragma once
// Drives one per-pixel effect run synchronously on the main thread over a small image made in code
// and reads back what it wrote: the working image at full size, the preview buffer in preview.
// Header only.

#include "engine/PostProcess.h"
#include "kernels/Texture.h"
#include "kernels/blur/GaussianBlur.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// What a run wrote, w x h pixels of 4 bytes; in preview pixel (i, j) stands for (i step, j step).
// source is the working image as the run found it (a full-size run replaces it).
struct EffectOutput {
    int w = 0, h = 0, step = 1;
    std::vector<uint8_t> bytes;
    int sourceWidth = 0;
    std::vector<uint8_t> source;
    Rgb at(int i, int j) const { return pixel(bytes, w, i, j); }
    // The source pixel that output pixel (i, j) stands for.
    Rgb sourceAt(int i, int j) const { return pixel(source, sourceWidth, i * step, j * step); }
    bool sameAsSource(int i, int j) const {
        const Rgb a = at(i, j), b = sourceAt(i, j);
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }

  private:
    static Rgb pixel(const std::vector<uint8_t>& bytes, int width, int x, int y) {
        const uint8_t* p = &bytes[(size_t(y) * size_t(width) + size_t(x)) * 4];
        return {p[1], p[2], p[3]};
    }
};

// Builds the working image from image (the caller holds a WorkingImageGuard). previewStep 0 runs at
// full size; otherwise the preview buffer samples every previewStep-th column and row.
inline EffectOutput runEffect(PostProcess& effect, const graphics::ImagePtr& image, int previewStep = 0) {
    EffectOutput out;
    effect.prepare(image);
    if (!PostProcess::global_pre_init(image)) {
        ADD_FAILURE() << "no working image";
        return out;
    }
    const int width = PostProcess::g_width, height = PostProcess::g_height;
    if (previewStep > 0) {
        // The preview buffer was made for a step no larger than this, so it holds the smaller grid.
        PostProcess::g_preview_step_x = PostProcess::g_preview_step_y = previewStep;
        PostProcess::g_preview_w = (width - 1) / previewStep + 1;
        PostProcess::g_preview_h = (height - 1) / previewStep + 1;
        effect.set_preview_mode(true);
        effect.setIsSmallPreview(false);
    }
    out.sourceWidth = width;
    out.source.assign(PostProcess::gp_data, PostProcess::gp_data + size_t(width) * height * 4);
    effect.set_silent_mode(true);
    RunRecorder recorder;
    effect.process();
    EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
    if (previewStep > 0) {
        out.w = PostProcess::g_preview_w;
        out.h = PostProcess::g_preview_h;
        out.step = previewStep;
        out.bytes.assign(PostProcess::gp_preview_buf,
                         PostProcess::gp_preview_buf + size_t(out.w) * out.h * 4);
    } else {
        out.w = width;
        out.h = height;
        out.bytes.assign(PostProcess::gp_data, PostProcess::gp_data + size_t(width) * height * 4);
    }
    return out;
}

inline std::vector<uint8_t> workingImageBytes() {
    return {PostProcess::gp_data, PostProcess::gp_data + size_t(PostProcess::g_bypr) * PostProcess::g_height};
}

// The shared gaussian's per-pixel passes over the working image at one radius, first over the whole
// grid of every step-th column and row, then the second; in grid order (row by row).
inline std::vector<GaussianBlurColor> referenceGaussian(int radius, int step) {
    const int w = PostProcess::g_width, h = PostProcess::g_height;
    texture_t* tex = tex_create_empty(w, h, 4);
    GaussianBlur* blur = GaussianBlur::sharedGaussianBlur();
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step)
            blur->gaussianBlurFirstPassForData(PostProcess::gp_data, tex, radius, step, x, y);
    std::vector<GaussianBlurColor> out;
    for (int y = 0; y < h; y += step)
        for (int x = 0; x < w; x += step)
            out.push_back(blur->gaussianBlurSecondPassForTexture(tex, radius, step, x, y));
    tex_free(tex);
    return out;
}

// The byte a run stores for a channel value.
inline uint8_t storedByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    return uint8_t(v * 255.0f);
}

// For deterministic per-pixel effects whose formula is tested through the hook itself: a run
// (full size, or preview with previewStep) stores at every pixel it visits what the hook answers
// there. The caller holds a WorkingImageGuard.
inline void expectRunStoresItsHookValues(PostProcess& effect, const graphics::ImagePtr& image,
                                         int previewStep = 0) {
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    const int step = previewStep > 0 ? previewStep : 1;
    // The hook sees the sizes a full-size run would give it.
    effect.pre_init();
    effect.prepare_for_process();
    std::vector<pixel_t> expected;
    for (int y = 0; y < PostProcess::g_height; y += step)
        for (int x = 0; x < PostProcess::g_width; x += step)
            expected.push_back(effect.process_pixel_x(x, y, 0));

    const EffectOutput out = runEffect(effect, image, previewStep);
    ASSERT_EQ(size_t(out.w) * size_t(out.h), expected.size());
    int wrong = 0;
    for (int j = 0; j < out.h; ++j)
        for (int i = 0; i < out.w; ++i) {
            const pixel_t& e = expected[size_t(j) * size_t(out.w) + size_t(i)];
            const Rgb got = out.at(i, j);
            wrong += got.r != storedByte(e.r) || got.g != storedByte(e.g) || got.b != storedByte(e.b);
        }
    EXPECT_EQ(wrong, 0) << (previewStep > 0 ? "preview" : "full size");
}
