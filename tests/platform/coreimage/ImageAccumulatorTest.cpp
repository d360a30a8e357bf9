#include "Pixels.h"

#include "platform/coreimage/ImageAccumulator.h"
#include "platform/coreimage/Kernel.h"

#include <gtest/gtest.h>

using namespace coreimage;
using namespace coreimage::test;
using graphics::Channel;
using graphics::Color;
using graphics::PixelFormat;
using graphics::Rect;

namespace {

using Bytes = std::vector<uint8_t>;

const PixelFormat kRGBA16{16, {Channel::R, Channel::G, Channel::B, Channel::A}, true};

Bytes filled(size_t count, Bytes pixel) {
    Bytes out;
    for (size_t i = 0; i < count; ++i)
        out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

ImagePtr grey(double level, double alpha = 1) {
    return Image::imageWithColor(Color{level, level, level, alpha});
}

long evaluated = 0; // pixels asked of countingWhiteRow

void countingWhiteRow(const KernelRow& row) {
    evaluated += row.count;
    for (int i = 0; i < row.count * 4; ++i)
        row.out[i] = 1.0f;
}

} // namespace

TEST(CoreImageAccumulator, SnapshotsDoNotChangeAfterLaterWrites) {
    auto acc = ImageAccumulator::imageAccumulatorWithExtent(Rect(10, 20, 100, 70), kRGBA8Premultiplied);
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->image()->extent(), Rect(10, 20, 100, 70));
    EXPECT_EQ(pixelAt(acc->image(), 50, 50), (Bytes{0, 0, 0, 0})) << "starts transparent";

    ASSERT_TRUE(acc->setImage(grey(0)));
    const ImagePtr black = acc->image();
    EXPECT_EQ(acc->image().get(), black.get()) << "the same image until the next write";

    ASSERT_TRUE(acc->setImage(grey(1), Rect(40, 40, 10, 10)));
    const ImagePtr dab = acc->image();
    EXPECT_NE(dab.get(), black.get());
    acc->clear();
    const ImagePtr cleared = acc->image();
    ASSERT_TRUE(acc->setImage(grey(0.5), Rect(0, 0, 200, 200)));

    EXPECT_EQ(pixels(black, black->extent()), filled(100 * 70, {0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(dab, 45, 45), (Bytes{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(dab, 39, 45), (Bytes{0, 0, 0, 255})) << "outside the dirty rectangle nothing changed";
    EXPECT_EQ(pixels(cleared, cleared->extent()), filled(100 * 70, {0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(acc->image(), 10, 20), (Bytes{128, 128, 128, 255}));
}

TEST(CoreImageAccumulator, WritingOnlyEvaluatesTheDirtyRectangle) {
    // A 200 x 200 dab on a 2-megapixel canvas, composed over what the canvas holds.
    auto acc = ImageAccumulator::imageAccumulatorWithExtent(Rect(0, 0, 1632, 1224), kRGBA8Premultiplied);
    ASSERT_TRUE(acc->setImage(grey(0)));
    const Kernel white("TestCountingWhite", countingWhiteRow);
    const Rect square(301, 517, 200, 200);
    const ImagePtr dab = white.apply(square, {});
    const ImagePtr composed = output(
        filter("CISourceOverCompositing", {{"inputImage", dab}, {"inputBackgroundImage", acc->image()}}));

    evaluated = 0;
    ASSERT_TRUE(acc->setImage(composed, square));
    EXPECT_EQ(evaluated, 200 * 200);
    EXPECT_EQ(pixelAt(acc->image(), 301, 517), (Bytes{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(acc->image(), 300, 517), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(acc->image(), 501, 716), (Bytes{0, 0, 0, 255}));
}

TEST(CoreImageAccumulator, SixteenBitsKeepEveryLevel) {
    auto acc = ImageAccumulator::imageAccumulatorWithExtent(Rect(0, 0, 70, 3), kRGBA16);
    ASSERT_NE(acc, nullptr);
    ASSERT_TRUE(acc->setImage(grey(12345.0 / 65535)));
    // Composed with itself many times, as strokes are, the level must not drift.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(acc->setImage(
            output(filter("CISourceOverCompositing",
                          {{"inputImage", grey(0, 0)}, {"inputBackgroundImage", acc->image()}}))));
    const graphics::ImagePtr out = Context().createCGImage(acc->image(), acc->extent(), kRGBA16);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(reinterpret_cast<const uint16_t*>(out->data())[0], 12345);
    EXPECT_EQ(reinterpret_cast<const uint16_t*>(out->data())[3], 65535);
}

TEST(CoreImageAccumulator, RefusesExtentsAndFormatsItCannotHold) {
    using enum Channel;
    EXPECT_EQ(ImageAccumulator::imageAccumulatorWithExtent(Rect::infinite(), kRGBA8Premultiplied), nullptr);
    EXPECT_EQ(ImageAccumulator::imageAccumulatorWithExtent(Rect(0, 0, 0, 5), kRGBA8Premultiplied), nullptr);
    EXPECT_EQ(
        ImageAccumulator::imageAccumulatorWithExtent(Rect(0, 0, 5, 5), PixelFormat{32, {R, G, B, A}, true}),
        nullptr);
    EXPECT_EQ(
        ImageAccumulator::imageAccumulatorWithExtent(Rect(0, 0, 5, 5), PixelFormat{8, {X, R, G, B}, false}),
        nullptr);
    auto acc = ImageAccumulator::imageAccumulatorWithExtent(Rect(0.5, 0, 4, 4.2),
                                                            PixelFormat{8, {A, R, G, B}, true});
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->extent(), Rect(0, 0, 5, 5)) << "whole pixels, outward";
    EXPECT_FALSE(acc->setImage(nullptr));
}
