// Overlay textures over pictures made in code: byte order, the fourth byte, stretching and every
// sampler at the edges and on empty and one-texel textures.
#include "engine/ImageEditable.h"

#include "FailingAllocator.h"
#include "platform/imageio/NamedImage.h"

#include "support/TestBundle.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace {

struct Texel {
    uint8_t r, g, b, a;
};

// An R,G,B,A picture, row 0 on top.
graphics::ImagePtr picture(int width, int height, const std::vector<Texel>& texels) {
    return graphics::Image::copy(texels.data(), width, height, size_t(width) * 4, graphics::PixelFormat{});
}

void expectPixel(pixel_t got, float r, float g, float b, float tolerance = 1e-6f) {
    EXPECT_NEAR(got.r, r, tolerance);
    EXPECT_NEAR(got.g, g, tolerance);
    EXPECT_NEAR(got.b, b, tolerance);
}

// One row 10, 20, 100, 200 (red), above a row of 0s, at its own size: a 4 x 2 texture.
ImageEditable rampTexture() {
    return ImageEditable(picture(4, 2,
                                 {{10, 1, 2, 255},
                                  {20, 3, 4, 255},
                                  {100, 5, 6, 255},
                                  {200, 7, 8, 255},
                                  {0, 0, 0, 255},
                                  {0, 0, 0, 255},
                                  {0, 0, 0, 255},
                                  {0, 0, 0, 255}}));
}

} // namespace

TEST(ImageEditable, OwnSizeKeepsTheBytesInRedGreenBlueOrderWithTheFourthAt255) {
    const ImageEditable tex(picture(3, 2,
                                    {{1, 2, 3, 255},
                                     {4, 5, 6, 255},
                                     {7, 8, 9, 255},
                                     {10, 11, 12, 255},
                                     {13, 14, 15, 255},
                                     {250, 100, 50, 0}}));
    ASSERT_EQ(tex.width(), 3);
    ASSERT_EQ(tex.height(), 2);
    EXPECT_EQ(tex.bytesPerRow(), 12u);
    const std::vector<uint8_t> bytes(tex.img_data(), tex.img_data() + 24);
    // The transparent texel composites over black.
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1,  2,  3,  255, 4,  5,  6,  255, 7, 8, 9, 255,
                                           10, 11, 12, 255, 13, 14, 15, 255, 0, 0, 0, 255}));
    expectPixel(tex.get_pixel_x(1, 1), 13 / 255.0f, 14 / 255.0f, 15 / 255.0f);
    EXPECT_FLOAT_EQ(tex.get_alpha_x(0, 0), 1.0f);
}

// Brushes are loaded over white, which paints nothing: their transparent parts stay unpainted.
TEST(ImageEditable, OwnSizeCompositesOverTheGivenBackground) {
    const ImageEditable tex(picture(2, 1, {{0, 0, 0, 0}, {7, 8, 9, 255}}), 255);
    ASSERT_EQ(tex.width(), 2);
    const std::vector<uint8_t> bytes(tex.img_data(), tex.img_data() + 8);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{255, 255, 255, 255, 7, 8, 9, 255}));
}

TEST(ImageEditable, StretchesToTheAskedSizeOverBytesOfOne) {
    // Red | blue stretched to 4 x 3: aspect ignored, edge columns take the edge colours.
    const ImageEditable tex(picture(2, 1, {{255, 0, 0, 255}, {0, 0, 255, 255}}), 4, 3);
    ASSERT_EQ(tex.width(), 4);
    ASSERT_EQ(tex.height(), 3);
    for (int y = 0; y < 3; ++y) {
        expectPixel(tex.get_pixel_x(0, y), 1, 0, 0);
        expectPixel(tex.get_pixel_x(3, y), 0, 0, 1);
        for (int x = 0; x < 4; ++x)
            EXPECT_FLOAT_EQ(tex.get_alpha_x(x, y), 1.0f) << x << "," << y;
    }

    const ImageEditable blank(nullptr, 5, 3);
    ASSERT_EQ(blank.width(), 5);
    ASSERT_EQ(blank.height(), 3);
    const std::vector<uint8_t> bytes(blank.img_data(), blank.img_data() + 60);
    EXPECT_EQ(bytes, std::vector<uint8_t>(60, 1));
    expectPixel(blank.get_pixel_u(0.3f, 0.7f), 1 / 255.0f, 1 / 255.0f, 1 / 255.0f);

    const auto expectEmpty = [](const ImageEditable& empty) {
        EXPECT_EQ(empty.width(), 0);
        EXPECT_EQ(empty.height(), 0);
        EXPECT_EQ(empty.img_data(), nullptr);
    };
    expectEmpty(ImageEditable(nullptr));
    expectEmpty(ImageEditable(nullptr, 0, 4));
    expectEmpty(ImageEditable(picture(1, 1, {{9, 9, 9, 255}}), -3, 2));
}

TEST(ImageEditable, BilinearSamplesInterpolateAndExtrapolateAtTheFarEdge) {
    const ImageEditable tex = rampTexture();
    struct Case {
        float u, v;
        float red;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 10},   {0.375f, 0.0f, 60}, // halfway between 20 and 100
        {0.5f, 0.0f, 100},  {1.0f, 0.0f, 300},  // 2 x 200 - 100, past 1
        {-4.0f, -1.0f, 10},                     // clamped
        {7.0f, 0.0f, 300},  {0.5f, 0.25f, 50},  // halfway down to the zero row
        {0.5f, 1.0f, -100},                     // extrapolated below the last row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "u " << c.u << " v " << c.v);
        EXPECT_NEAR(tex.get_pixel_u(c.u, c.v).r, c.red / 255.0f, 1e-5f);
    }

    const ImageEditable square(
        picture(2, 2, {{0, 40, 0, 255}, {100, 0, 0, 255}, {20, 0, 8, 255}, {40, 0, 0, 255}}));
    // Texel x sits at u = x / width (no half-texel offset): the mean of four lies at 0.25.
    expectPixel(square.get_pixel_u(0.25f, 0.25f), 40 / 255.0f, 10 / 255.0f, 2 / 255.0f);
    expectPixel(square.get_pixel_relative_e_x(25, 25, 100, 100), 40 / 255.0f, 10 / 255.0f, 2 / 255.0f);
    expectPixel(square.get_pixel_u(0.0f, 0.0f), 0, 40 / 255.0f, 0);
    expectPixel(square.get_pixel_u(0.5f, 0.5f), 40 / 255.0f, 0, 0);
}

TEST(ImageEditable, RelativeSamplesMapPositionsOfAnotherSize) {
    const ImageEditable tex = rampTexture();
    struct Case {
        int x, y, w, h;
        float red; // -1: outside, (0, 0, 0) and alpha 0
    };
    const Case cases[] = {
        {0, 0, 400, 20, 10},    {199, 0, 400, 20, 20}, {200, 9, 400, 20, 100},
        {399, 9, 400, 20, 200}, {399, 19, 400, 20, 0}, {400, 0, 400, 20, -1},
        {0, 20, 400, 20, -1},   {-1, 0, 4, 2, -1},     {-1, 0, 400, 20, 10}, // -0.01 truncates toward zero
        {0, 0, 0, 20, -1},      {1, 0, 0, 20, -1},     {0, 1, 4, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " of " << c.w << "x" << c.h);
        const pixel_t p = tex.get_pixel_relative_x(c.x, c.y, c.w, c.h);
        const float alpha = tex.get_alpha_relative_x(c.x, c.y, c.w, c.h);
        if (c.red < 0) {
            expectPixel(p, 0, 0, 0, 0);
            EXPECT_EQ(alpha, 0.0f);
        } else {
            EXPECT_FLOAT_EQ(p.r, c.red / 255.0f);
            EXPECT_FLOAT_EQ(alpha, 1.0f);
        }
    }
    expectPixel(tex.get_pixel_x(-1, 0), 0, 0, 0, 0);
    expectPixel(tex.get_pixel_x(4, 0), 0, 0, 0, 0);
    expectPixel(tex.get_pixel_x(0, 2), 0, 0, 0, 0);
    EXPECT_EQ(tex.get_alpha_x(0, -1), 0.0f);
}

TEST(ImageEditable, TinyTexturesAreSampledWithinTheirBuffer) {
    // Under the address sanitizer a read outside the buffer fails the test.
    const ImageEditable empty;
    expectPixel(empty.get_pixel_u(0.5f, 0.5f), 0, 0, 0, 0);
    expectPixel(empty.get_pixel_relative_e_x(3, 3, 10, 10), 0, 0, 0, 0);
    expectPixel(empty.get_pixel_relative_x(0, 0, 10, 10), 0, 0, 0, 0);
    EXPECT_EQ(empty.get_alpha_relative_x(0, 0, 10, 10), 0.0f);

    const ImageEditable column(picture(1, 3, {{30, 0, 0, 255}, {60, 0, 0, 255}, {90, 0, 0, 255}}));
    EXPECT_FLOAT_EQ(column.get_pixel_u(1.0f, 0.0f).r, 30 / 255.0f);
    EXPECT_NEAR(column.get_pixel_u(0.7f, 0.5f).r, 75 / 255.0f, 1e-6f);
    const ImageEditable single(picture(1, 1, {{77, 66, 55, 255}}));
    expectPixel(single.get_pixel_u(1.0f, 1.0f), 77 / 255.0f, 66 / 255.0f, 55 / 255.0f);
}

TEST(ImageEditable, OverlayTakesTheWorkingSizeInThePicturesOrientation) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.main() / "wide.jpg", 16, 10, 200, 30, 30);
    TestBundle::writePicture(bundle.shared() / "tall.png", 10, 16, 20, 40, 60);
    TestBundle::writePicture(bundle.shared() / "square.png", 8, 8, 0, 0, 0);
    struct Case {
        const char* name;
        int w, h;
        int width, height;
    };
    const Case cases[] = {
        {"wide", 12, 8, 12, 8}, {"wide", 8, 12, 12, 8},   {"wide", 10, 10, 10, 10},
        {"tall", 12, 8, 8, 12}, {"square", 12, 8, 8, 12}, {"tall", 8, 12, 12, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.w << "x" << c.h);
        const auto tex = ImageEditable::setup_overlay(c.name, c.w, c.h);
        ASSERT_NE(tex, nullptr);
        EXPECT_EQ(tex->width(), c.width);
        EXPECT_EQ(tex->height(), c.height);
    }
    const auto tall = ImageEditable::setup_overlay("tall", 40, 30);
    expectPixel(tall->get_pixel_x(29, 39), 20 / 255.0f, 40 / 255.0f, 60 / 255.0f);
    EXPECT_FLOAT_EQ(tall->get_alpha_x(0, 0), 1.0f);

    const auto own = ImageEditable::setup_overlay_e("tall");
    EXPECT_EQ(own->width(), 10);
    EXPECT_EQ(own->height(), 16);
}

TEST(ImageEditable, JpegIsPreferredToPng) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.shared() / "leak.png", 4, 4, 0, 0, 255);
    TestBundle::writePicture(bundle.shared() / "leak.jpg", 6, 4, 255, 0, 0);
    const auto tex = ImageEditable::setup_overlay_e("leak");
    ASSERT_EQ(tex->width(), 6);
    const pixel_t p = tex->get_pixel_x(3, 2);
    EXPECT_GT(p.r, 0.9f);
    EXPECT_LT(p.b, 0.1f);
}

TEST(ImageEditable, MissingPictureIsReportedOnceAndSampledAsNothing) {
    TestBundle bundle;
    testing::internal::CaptureStderr();
    const auto stretched = ImageEditable::setup_overlay("gone", 30, 20);
    const auto own = ImageEditable::setup_overlay_e("gone");
    const auto again = ImageEditable::setup_overlay("gone", 30, 20);
    texture_t* tex = tex_create_from_file("gone.png");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Missing image resource: gone\nMissing image resource: gone.png\n");

    // Nothing drawn: the exchanged size, every byte 1.
    ASSERT_EQ(stretched->width(), 20);
    ASSERT_EQ(stretched->height(), 30);
    const std::vector<uint8_t> bytes(stretched->img_data(), stretched->img_data() + 20 * 30 * 4);
    EXPECT_EQ(bytes, std::vector<uint8_t>(bytes.size(), 1));

    EXPECT_EQ(own->width(), 0);
    expectPixel(own->get_pixel_u(1.0f, 1.0f), 0, 0, 0, 0);
    expectPixel(own->get_pixel_relative_x(5, 5, 10, 10), 0, 0, 0, 0);

    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->width, 0);
    EXPECT_EQ(tex->height, 0);
    EXPECT_EQ(tex_get_pixel_bilinear_rgba(tex, 1.5f, 0.5f), 0u);
    EXPECT_EQ(tex_get_pixel_nearest_rgba(tex, 1.0f, 1.0f), 0u);
    tex_free(tex);
}

TEST(ImageEditable, TextureFromANamedImageKeepsItsSizeAndByteOrder) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.shared() / "gradient.png", 5, 3, 10, 20, 30);
    texture_t* tex = tex_create_from_file("gradient.png");
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->width, 5);
    EXPECT_EQ(tex->height, 3);
    EXPECT_EQ(tex->bytes_per_pixel, 4);
    const std::vector<uint8_t> last(tex->data + 14 * 4, tex->data + 15 * 4);
    EXPECT_EQ(last, (std::vector<uint8_t>{10, 20, 30, 255}));
    EXPECT_EQ(tex_get_pixel_bilinear_rgba(tex, 0.3f, 0.6f), 10u | 20u << 8 | 30u << 16);
    tex_free(tex);
}

// A bundled picture whose decode runs out of memory throws, failing the run; a missing one passes
// on as null, drawn without. Every allocation of a PNG's and a JPEG's load is failed in turn.
TEST(ImageEditableChecked, OutOfMemoryThrowsWhereAMissingPictureIsNull) {
    TestBundle bundle;
    TestBundle::writePicture(bundle.shared() / "paper.png", 6, 4, 10, 20, 30);
    TestBundle::writePicture(bundle.shared() / "grain.jpg", 6, 4, 10, 20, 30);
    EXPECT_EQ(ImageEditable::checked(imageio::imageNamedAdditional("missing.png")), nullptr);
    EXPECT_FALSE(imageio::lastLoadRanOutOfMemory());
    for (const char* name : {"paper.png", "grain.jpg"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(imageio::imageNamedAdditional(name), nullptr); // libraries set up outside the count
        int64_t allocations = 0;
        {
            const ArmedAllocator armed;
            allocations = imageio::imageNamedAdditional(name) ? FailingAllocator::count() : -1;
        }
        ASSERT_GT(allocations, 0);
        for (int64_t k = 0; k < allocations; ++k) {
            bool threw = false, image = false;
            {
                const ArmedAllocator armed(k);
                try {
                    image = ImageEditable::checked(imageio::imageNamedAdditional(name)) != nullptr;
                } catch (const std::bad_alloc&) {
                    threw = true;
                }
            }
            EXPECT_TRUE(threw && !image) << "allocation " << k << " of " << allocations;
        }
        EXPECT_NE(ImageEditable::checked(imageio::imageNamedAdditional(name)), nullptr);
        EXPECT_FALSE(imageio::lastLoadRanOutOfMemory());
    }
}
