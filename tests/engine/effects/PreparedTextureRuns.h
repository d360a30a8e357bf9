#pragma once
// Runs of the effects that prepare their picture in a texture: a source made in code, one run at
// full size or in the small preview, and the output read back; plus the reduced source a preview
// run starts from, and the effect results written out from their formulas for comparison.
#include "engine/PostProcess.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// An X,R,G,B picture (byte 0 unused) of w x h pixels.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> bytes;

    uint8_t* at(int x, int y) { return &bytes[(size_t(y) * size_t(w) + size_t(x)) * 4]; }
    const uint8_t* at(int x, int y) const { return &bytes[(size_t(y) * size_t(w) + size_t(x)) * 4]; }
};

inline Picture blankPicture(int w, int h) {
    return {w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 4, 0)};
}

// The working image as the run reads it.
inline Picture workingPicture() {
    Picture p{PostProcess::g_width, PostProcess::g_height, {}};
    p.bytes.assign(PostProcess::gp_data, PostProcess::gp_data + size_t(p.w) * size_t(p.h) * 4);
    return p;
}

// The working image as a thumbnail run of the given step reads it: each pixel the rounded mean of
// the step x step block that starts there (cut at the picture's edges).
inline Picture averagedPicture(const Picture& full, int step) {
    Picture p = blankPicture(full.w, full.h);
    for (int y0 = 0; y0 < full.h; ++y0)
        for (int x0 = 0; x0 < full.w; ++x0) {
            const int x1 = std::min(full.w, x0 + step), y1 = std::min(full.h, y0 + step);
            const int n = (x1 - x0) * (y1 - y0);
            for (int c = 1; c <= 3; ++c) {
                int sum = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x)
                        sum += full.at(x, y)[c];
                p.at(x0, y0)[c] = uint8_t((sum + n / 2) / n);
            }
        }
    return p;
}

// What a thumbnail run of the given step starts from: the averaged working image (above) sampled
// at (W i / w, H j / h).
inline Picture reducedPicture(const Picture& full, int w, int h, int step) {
    const Picture averaged = averagedPicture(full, step);
    Picture p = blankPicture(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const uint8_t* s = averaged.at(int(int64_t(full.w) * i / w), int(int64_t(full.h) * j / h));
            for (int c = 1; c <= 3; ++c)
                p.at(i, j)[c] = s[c];
        }
    return p;
}

// Pictures up to this size run in preview with step 1; the small preview of a square picture of
// 900 pixels and more halves it.
constexpr int kPreviewSide = 901;

struct EffectRun {
    Picture source; // the working image the run started from
    Picture out;
};

// The source is installed as the working image; one run follows; its output is the whole working
// image at full size, else the preview buffer's w x h pixels (step and size in the globals). The
// working image must come through a preview run untouched.
inline EffectRun runEffect(PostProcess& effect, const graphics::ImagePtr& image, bool preview) {
    PostProcess::global_clean();
    effect.prepare(image);
    EXPECT_TRUE(PostProcess::global_pre_init(image));
    const Picture before = workingPicture();
    effect.set_preview_mode(preview);
    effect.setIsSmallPreview(true);
    effect.set_silent_mode(true);
    RunRecorder recorder;
    effect.process();
    EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
    if (!preview) return {before, workingPicture()};
    EXPECT_EQ(workingPicture().bytes, before.bytes) << "the working image changed in a preview run";
    Picture out = blankPicture(PostProcess::g_small_preview_w, PostProcess::g_small_preview_h);
    for (int j = 0; j < out.h; ++j)
        for (int i = 0; i < out.w; ++i)
            for (int c = 1; c <= 3; ++c)
                out.at(i, j)[c] =
                    PostProcess::gp_small_preview_buf[(size_t(j) * size_t(out.w) + size_t(i)) * 4 + c];
    return {before, out};
}

// The run's output for an effect texture: the texel under each visited position.
inline Picture readBack(const Picture& tex, int fullW, int fullH, int outW, int outH, int step) {
    Picture out = blankPicture(outW, outH);
    for (int j = 0; j < outH; ++j)
        for (int i = 0; i < outW; ++i) {
            const uint8_t* t =
                tex.at(int(int64_t(i * step) * tex.w / fullW), int(int64_t(j * step) * tex.h / fullH));
            for (int c = 1; c <= 3; ++c)
                out.at(i, j)[c] = t[c];
        }
    return out;
}

// Colour bytes equal everywhere; the first difference is named.
inline ::testing::AssertionResult sameColours(const Picture& a, const Picture& b) {
    if (a.w != b.w || a.h != b.h)
        return ::testing::AssertionFailure() << "sizes " << a.w << "x" << a.h << " and " << b.w << "x" << b.h;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            for (int c = 1; c <= 3; ++c)
                if (a.at(x, y)[c] != b.at(x, y)[c])
                    return ::testing::AssertionFailure()
                           << "pixel " << x << "," << y << " channel " << c << ": " << int(a.at(x, y)[c])
                           << " against " << int(b.at(x, y)[c]);
    return ::testing::AssertionSuccess();
}
