#include "kernels/drawing/ARGBBitmapContext.h"

#include "platform/graphics/Drawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// Drops the context, then frees its buffer, as every owner does.
void release(std::unique_ptr<graphics::BitmapContext> ctx) {
    uint8_t* data = ctx->data();
    ctx.reset();
    std::free(data);
}

} // namespace

TEST(ARGBBitmapContext, LayoutsOverAZeroedBuffer) {
    struct Case {
        uint8_t alphaSkip;
        uint32_t info;
    };
    for (const Case c : {Case{1, 6}, Case{0, 2}}) {
        SCOPED_TRACE(int(c.alphaSkip));
        testing::internal::CaptureStderr();
        auto ctx = CreateARGBBitmapContextAlphaSkip(3, 2, c.alphaSkip);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_TRUE(ctx);
        EXPECT_EQ(ctx->width(), 3);
        EXPECT_EQ(ctx->height(), 2);
        EXPECT_EQ(ctx->rowBytes(), 12u);
        EXPECT_EQ(ctx->bitmapInfo(), c.info);
        EXPECT_EQ(std::vector<uint8_t>(ctx->data(), ctx->data() + 24), std::vector<uint8_t>(24, 0));
        release(std::move(ctx));
    }
    auto ctx = CreateARGBBitmapContext(1, 1);
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->bitmapInfo(), 6u);
    release(std::move(ctx));
}

TEST(ARGBBitmapContext, FailuresSayWhyOnStandardError) {
    struct Case {
        size_t width, height;
        uint8_t alphaSkip;
    };
    for (const Case c : {Case{0, 5, 1}, Case{5, 0, 1}, Case{0, 0, 0}, Case{2, 2, 2}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " flag " << int(c.alphaSkip));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(CreateARGBBitmapContextAlphaSkip(c.width, c.height, c.alphaSkip));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Context not created!");
    }
    // 4 x width x height does not fit in memory at all.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CreateARGBBitmapContext(SIZE_MAX / 2, 3));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Memory not allocated!");
}

TEST(ARGBBitmapContext, DrawnPixelsHaveByteZeroSet) {
    const uint8_t pixels[] = {10, 20, 30, 255, 40, 50, 60, 255};
    const graphics::ImagePtr image = graphics::Image::copy(pixels, 2, 1, 8, graphics::PixelFormat{});
    auto ctx = CreateARGBBitmapContext(2, 1);
    ASSERT_TRUE(ctx);
    graphics::drawImage(*ctx, graphics::Rect(0, 0, 2, 1), image);
    EXPECT_EQ(std::vector<uint8_t>(ctx->data(), ctx->data() + 8),
              (std::vector<uint8_t>{255, 10, 20, 30, 255, 40, 50, 60}));
    release(std::move(ctx));
}
