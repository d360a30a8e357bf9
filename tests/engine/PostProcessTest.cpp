// The shared working image: building it, its preview geometry, handing buffers over and reading
// images back.
#include "engine/PostProcess.h"

#include "support/ScopedBackingScale.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"

#include "platform/graphics/ParallelRows.h"
#include "platform/services/KXServiceUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

graphics::ImagePtr uniformImage(int width, int height, uint8_t value) {
    return makeSourceImage(width, height, [value](int, int) { return Rgb{value, value, value}; });
}

struct Geometry {
    int width, height, quality;
    int step, previewW, previewH;
    int smallStep, smallW, smallH;
};

TEST(PostProcessWorkingImage, PreviewGeometryFollowsQualityAndOrientation) {
    const Geometry cases[] = {
        {4000, 3000, 1, 5, 800, 600, 7, 572, 429},   {3000, 4000, 1, 3, 1000, 1334, 6, 500, 667},
        {4000, 3000, 0, 6, 667, 500, 7, 572, 429},   {4000, 3000, 2, 3, 1334, 1000, 7, 572, 429},
        {4896, 3264, 1, 5, 980, 653, 8, 612, 408},   {640, 480, 2, 1, 640, 480, 1, 640, 480},
        {1000, 1000, 1, 1, 1000, 1000, 2, 500, 500},
    };
    for (const Geometry& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " quality " +
                     std::to_string(c.quality));
        WorkingImageGuard guard;
        const ScopedValue<int32_t> quality(PostProcess::g_preview_quality, c.quality);
        ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(c.width, c.height, 90)));
        EXPECT_EQ(PostProcess::g_width, c.width);
        EXPECT_EQ(PostProcess::g_height, c.height);
        EXPECT_EQ(PostProcess::g_bypr, 4 * c.width);
        EXPECT_EQ(PostProcess::g_preview_step_x, c.step);
        EXPECT_EQ(PostProcess::g_preview_step_y, c.step);
        EXPECT_EQ(PostProcess::g_preview_w, c.previewW);
        EXPECT_EQ(PostProcess::g_preview_h, c.previewH);
        EXPECT_EQ(PostProcess::g_small_preview_step_x, c.smallStep);
        EXPECT_EQ(PostProcess::g_small_preview_step_y, c.smallStep);
        EXPECT_EQ(PostProcess::g_small_preview_w, c.smallW);
        EXPECT_EQ(PostProcess::g_small_preview_h, c.smallH);
        EXPECT_NE(PostProcess::gp_preview_buf, nullptr);
        EXPECT_NE(PostProcess::gp_small_preview_buf, nullptr);
    }
}

TEST(PostProcessWorkingImage, DrawnPixelsAreMarkedAndReadAsFloats) {
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(5, 4, patternColour);
    ASSERT_TRUE(PostProcess::global_pre_init(image));
    constexpr float k = 1.0f / 255.0f;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint8_t* p = PostProcess::gp_data + (y * 5 + x) * 4;
            const Rgb c = patternColour(x, y);
            EXPECT_EQ(p[0], 255);
            EXPECT_EQ(p[1], c.r);
            EXPECT_EQ(p[2], c.g);
            EXPECT_EQ(p[3], c.b);
            const pixel_t f = PostProcess::get_source_pixel(x, y);
            EXPECT_EQ(f.r, float(c.r) * k);
            EXPECT_EQ(f.g, float(c.g) * k);
            EXPECT_EQ(f.b, float(c.b) * k);
        }
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 4}}) {
        const pixel_t f = PostProcess::get_source_pixel(x, y);
        EXPECT_EQ(f.r + f.g + f.b, 0.0f) << x << "," << y;
    }
}

// Each pixel of the averaged copy a thumbnail reads is the rounded mean of the step x step block it
// starts, cut at the picture's edges, whatever the step and the thread count; byte 0 is the working
// image's.
TEST(PostProcessWorkingImage, AveragedCopyHoldsTheMeanOfEveryBlock) {
    struct Case {
        int step;
        unsigned threads;
    };
    const Case cases[] = {{2, 1}, {3, 4}, {7, 8}, {70, 3}};
    const int w = 61, h = 47;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "step " << c.step << ", " << c.threads << " threads");
        WorkingImageGuard guard;
        ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(w, h, patternColour)));
        graphics::setParallelThreads(c.threads);
        const uint8_t* averaged = PostProcess::preview_source_data(c.step);
        graphics::setParallelThreads(0);
        ASSERT_NE(averaged, nullptr);
        const uint8_t* full = PostProcess::gp_data;
        int wrong = 0;
        for (int y0 = 0; y0 < h; ++y0)
            for (int x0 = 0; x0 < w; ++x0) {
                const size_t at = (size_t(y0) * size_t(w) + size_t(x0)) * 4;
                wrong += averaged[at] != full[at];
                const int x1 = std::min(w, x0 + c.step), y1 = std::min(h, y0 + c.step);
                const int n = (x1 - x0) * (y1 - y0);
                for (int k = 1; k <= 3; ++k) {
                    int sum = 0;
                    for (int y = y0; y < y1; ++y)
                        for (int x = x0; x < x1; ++x)
                            sum += full[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(k)];
                    wrong += averaged[at + size_t(k)] != (sum + n / 2) / n;
                }
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(PostProcessWorkingImage, BaseHookDoublesTheSource) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(makeSourceImage(2, 1, [](int, int) {
        return Rgb{100, 0, 255};
    })));
    StubPixelEffect effect;
    const pixel_t p = effect.process_pixel_x(1, 0, 0);
    EXPECT_EQ(p.r, 200.0f * (1.0f / 255.0f));
    EXPECT_EQ(p.g, 0.0f);
    EXPECT_EQ(p.b, 2.0f * 255.0f * (1.0f / 255.0f));
    const pixel_t outside = effect.process_pixel_x(-1, 0, 0);
    EXPECT_EQ(outside.r + outside.g + outside.b, 0.0f);
}

TEST(PostProcessWorkingImage, KeepsItsImageUntilCleaned) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(3, 3, 10)));
    EXPECT_TRUE(PostProcess::global_pre_init(uniformImage(4, 2, 20)));
    EXPECT_EQ(PostProcess::g_width, 3);
    EXPECT_EQ(PostProcess::gp_data[1], 10);

    PostProcess::global_clean();
    EXPECT_EQ(PostProcess::gp_data, nullptr);
    EXPECT_FALSE(PostProcess::g_global_pre_inited);
    PostProcess::global_clean();
    EXPECT_EQ(PostProcess::resultImageFromCurrentDataType(0), nullptr);

    ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(4, 2, 20)));
    EXPECT_EQ(PostProcess::g_width, 4);
    EXPECT_EQ(PostProcess::gp_data[1], 20);
}

TEST(PostProcessWorkingImage, RefusesMissingImage) {
    EXPECT_FALSE(PostProcess::global_pre_init(nullptr));
    EXPECT_FALSE(PostProcess::g_global_pre_inited);
    EXPECT_EQ(PostProcess::gp_data, nullptr);
}

TEST(PostProcessWorkingImage, PreviewBuffersHandOverAndFallBack) {
    WorkingImageGuard guard;
    const ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 1);
    ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(2400, 1200, 40)));
    const int previewW = PostProcess::g_preview_w, previewH = PostProcess::g_preview_h;
    const int smallW = PostProcess::g_small_preview_w, smallH = PostProcess::g_small_preview_h;
    ASSERT_NE(previewW, 2400);
    ASSERT_NE(smallW, previewW);

    // Before any hand-over each kind reads its own buffer.
    std::memset(PostProcess::gp_small_preview_buf, 7, size_t(smallW) * smallH * 4);
    graphics::ImagePtr small = PostProcess::resultImageFromCurrentDataType(2);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->width(), smallW);
    EXPECT_EQ(small->data()[5], 7);

    std::memset(PostProcess::gp_preview_buf, 9, size_t(previewW) * previewH * 4);
    uint8_t* preview = PostProcess::gp_preview_buf;
    ASSERT_TRUE(PostProcess::updateContextForPreviewData());
    EXPECT_EQ(PostProcess::gp_data, preview);
    EXPECT_EQ(PostProcess::gp_preview_buf, nullptr);
    EXPECT_EQ(PostProcess::g_width, previewW);
    EXPECT_EQ(PostProcess::g_height, previewH);
    EXPECT_EQ(PostProcess::g_bypr, 4 * previewW);

    // The consumed preview falls back to the working image, which now is that preview.
    const graphics::ImagePtr kind1 = PostProcess::resultImageFromCurrentDataType(1);
    ASSERT_NE(kind1, nullptr);
    EXPECT_EQ(kind1->width(), previewW);
    EXPECT_EQ(kind1->data()[5], 9);
    EXPECT_FALSE(PostProcess::updateContextForPreviewData());

    ASSERT_TRUE(PostProcess::updateContextForSmallPreviewData());
    EXPECT_EQ(PostProcess::g_width, smallW);
    const graphics::ImagePtr kind2 = PostProcess::resultImageFromCurrentDataType(2);
    ASSERT_NE(kind2, nullptr);
    EXPECT_EQ(kind2->width(), smallW);
    EXPECT_EQ(kind2->height(), smallH);

    // Handing over the working image itself keeps it.
    EXPECT_TRUE(PostProcess::updateContextForData(PostProcess::gp_data));
    EXPECT_EQ(PostProcess::resultImageFromCurrentDataType(0)->data()[5], 7);
}

TEST(PostProcessWorkingImage, FailedHandOverLeavesBufferWithCaller) {
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(16));
    EXPECT_FALSE(PostProcess::updateContextForData(buffer)); // no working image to take the layout from
    EXPECT_EQ(PostProcess::gp_data, nullptr);
    std::free(buffer);
    EXPECT_FALSE(PostProcess::updateContextForData(nullptr));
}

TEST(PostProcessWorkingImage, HighDensityScreensHalveThePointSize) {
    WorkingImageGuard guard;
    ScopedBackingScale screen(2.0);
    ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(801, 601, 1)));
    const graphics::ImagePtr working = PostProcess::resultImageFromCurrentDataType(0);
    ASSERT_NE(working, nullptr);
    EXPECT_EQ(working->width(), 801);
    EXPECT_EQ(working->pointSize(), (graphics::Size{400, 300}));

    auto* bytes = static_cast<uint8_t*>(std::calloc(801 * 601, 4));
    const graphics::ImagePtr made =
        PostProcess::create_nsimage_from_data(bytes, 801, 601, graphics::kBitmapInfoNoneSkipFirst, true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->height(), 601);
    EXPECT_EQ(made->pointSize(), (graphics::Size{400, 300}));

    screen.set(1.0);
    EXPECT_EQ(PostProcess::resultImageFromCurrentDataType(0)->pointSize(), (graphics::Size{801, 601}));
}

TEST(PostProcessWorkingImage, EffectCentreInPixelsTruncates) {
    WorkingImageGuard guard;
    ASSERT_TRUE(PostProcess::global_pre_init(uniformImage(801, 601, 1)));
    StubPixelEffect effect;
    effect.setEffectCenter({0.3, 0.9999});
    effect.init({}, 4);
    EXPECT_EQ(effect.get_index(), 4);
    EXPECT_EQ(effect.effectCenter(), (graphics::Point{0.5, 0.5}));
    EXPECT_EQ(effect.newEffectCenter(), (graphics::Point{400, 300}));
    effect.setEffectCenter({0.3, 0.9999});
    EXPECT_EQ(effect.newEffectCenter(), (graphics::Point{240, 600}));
}

} // namespace
