#pragma once
// Checks that a run of a per-pixel effect stores, at every pixel it visits, what the effect's own
// hook answers there, converted as the run loop converts. Pairs with tables that test the hook's
// formula directly. For deterministic effects; the run is synchronous, on the calling thread.
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <vector>

inline uint8_t storedByte(float v) {
    if (v < 0.0f) return 0;
    if (v > 1.0f) return 255;
    return uint8_t(v * 255.0f);
}

inline void expectRunStoresItsPixels(PostProcess& effect, const graphics::ImagePtr& source, bool preview) {
    WorkingImageGuard guard;
    effect.prepare(source);
    ASSERT_TRUE(PostProcess::global_pre_init(source));
    const int w = PostProcess::g_width, h = PostProcess::g_height;
    const int sx = preview ? PostProcess::g_preview_step_x : 1;
    const int sy = preview ? PostProcess::g_preview_step_y : 1;
    const int outWidth = preview ? PostProcess::g_preview_w : w;

    effect.prepare_for_process();
    std::vector<pixel_t> expected;
    for (int y = 0; y < h; y += sy)
        for (int x = 0; x < w; x += sx)
            expected.push_back(effect.process_pixel_x(x, y, 0));

    effect.set_preview_mode(preview);
    effect.set_silent_mode(true);
    effect.process();
    const uint8_t* out = preview ? PostProcess::gp_preview_buf : PostProcess::gp_data;
    ASSERT_NE(out, nullptr);
    int wrong = 0;
    size_t i = 0;
    for (int y = 0; y < h; y += sy)
        for (int x = 0; x < w; x += sx, ++i) {
            const uint8_t* p = out + (size_t(y / sy) * size_t(outWidth) + size_t(x / sx)) * 4;
            const pixel_t& e = expected[i];
            wrong += p[1] != storedByte(e.r) || p[2] != storedByte(e.g) || p[3] != storedByte(e.b);
        }
    EXPECT_EQ(wrong, 0) << (preview ? "preview" : "full size");
}
