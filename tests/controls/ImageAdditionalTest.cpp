#include "controls/ImageAdditional.h"
#include "controls/Shuffle.h"
#include "controls/TextGeometrics.h"
#include "platform/imageio/ImageSource.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

using namespace ImageAdditional;

namespace {
QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}
} // namespace

TEST(ImageAdditional, FitAndCoverSizes) {
    struct Case {
        QSizeF source, target, fit, cover;
    };
    const Case cases[] = {
        {{400, 200}, {100, 100}, {100, 50}, {200, 100}},
        {{300, 300}, {80, 120}, {80, 80}, {120, 120}},
        {{200, 400}, {100, 100}, {50, 100}, {100, 200}},
        {{4000, 3000}, {1600, 1000}, {1333.3333333333333 * 1.0, 1000}, {1600, 1200}},
    };
    for (const Case& c : cases) {
        const QSizeF fit = scaledSizeToFit(c.source, c.target), cover = scaledSizeToCover(c.source, c.target);
        EXPECT_NEAR(fit.width(), c.fit.width(), 1e-3) << c.source.width() << "x" << c.source.height();
        EXPECT_NEAR(fit.height(), c.fit.height(), 1e-3);
        EXPECT_NEAR(cover.width(), c.cover.width(), 1e-3);
        EXPECT_NEAR(cover.height(), c.cover.height(), 1e-3);
    }
    EXPECT_EQ(coverOrigin({200, 100}, {100, 100}, kCenter), QPointF(-50, 0));
    EXPECT_EQ(coverOrigin({200, 100}, {100, 100}, kRight), QPointF(-100, 0));
    EXPECT_EQ(coverOrigin({100, 200}, {100, 100}, kTop), QPointF(0, -100));
    EXPECT_EQ(coverOrigin({100, 200}, {100, 100}, 42), QPointF(0, 0));
}

TEST(ImageAdditional, CoverImageKeepsTheMiddleWhenCentred) {
    uiApplication();
    // Left third red, middle green, right third blue: covering a square keeps the green middle.
    QImage source(300, 100, QImage::Format_ARGB32_Premultiplied);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 100; ++y)
            source.setPixelColor(x, y, x < 100 ? Qt::red : x < 200 ? Qt::green : Qt::blue);
    const QImage centred = scaledImageToCover(source, {50, 50});
    ASSERT_EQ(centred.size(), QSize(50, 50));
    EXPECT_EQ(centred.pixelColor(25, 25), QColor(Qt::green));
    EXPECT_EQ(centred.pixelColor(2, 2), QColor(Qt::green));
    EXPECT_EQ(scaledImageToCover(source, {50, 50}, kLeft).pixelColor(25, 25), QColor(Qt::red));
    const QImage fitted = scaledImageToFit(source, {60, 60}, true);
    EXPECT_EQ(fitted.pixelColor(30, 2).alpha(), 0); // above the fitted 60 x 20 band
    EXPECT_EQ(fitted.pixelColor(30, 30), QColor(Qt::green));
    EXPECT_EQ(fitted.pixelColor(30, 20), QColor(Qt::black)); // the frame
}

TEST(ImageAdditional, OrientationsPutTheMarkedCornerUpright) {
    uiApplication();
    // Stored 3 x 2: red at the top-left pixel, green just right of it.
    QImage stored = filled(3, 2, Qt::white);
    stored.setPixelColor(0, 0, Qt::red);
    stored.setPixelColor(1, 0, Qt::green);
    struct Case {
        int orientation;
        QSize size;
        QPoint red, green;
    };
    const Case cases[] = {
        {1, {3, 2}, {0, 0}, {1, 0}}, {2, {3, 2}, {2, 0}, {1, 0}}, {3, {3, 2}, {2, 1}, {1, 1}},
        {4, {3, 2}, {0, 1}, {1, 1}}, {5, {2, 3}, {0, 0}, {0, 1}}, {6, {2, 3}, {1, 0}, {1, 1}},
        {7, {2, 3}, {1, 2}, {1, 1}}, {8, {2, 3}, {0, 2}, {0, 1}}, {9, {3, 2}, {0, 0}, {1, 0}},
    };
    for (const Case& c : cases) {
        const QImage upright = imageWithOrientation(stored, c.orientation);
        ASSERT_EQ(upright.size(), c.size) << c.orientation;
        EXPECT_EQ(upright.pixelColor(c.red), QColor(Qt::red)) << c.orientation;
        EXPECT_EQ(upright.pixelColor(c.green), QColor(Qt::green)) << c.orientation;
    }
}

TEST(ImageAdditional, BlackTestIgnoresAlpha) {
    uiApplication();
    EXPECT_TRUE(isBlackColorImage(filled(8, 8, Qt::black)));
    EXPECT_TRUE(isBlackColorImage(filled(8, 8, Qt::transparent)));
    QImage speck = filled(8, 8, Qt::black);
    speck.setPixelColor(7, 7, QColor(0, 0, 1));
    EXPECT_FALSE(isBlackColorImage(speck));
    EXPECT_FALSE(isBlackColorImage(QImage()));
}

TEST(ImageAdditional, TrimmingKeepsTheRectangleThatHoldsPixels) {
    uiApplication();
    QImage image = filled(10, 8, Qt::transparent);
    for (int x = 2; x < 6; ++x)
        for (int y = 1; y < 4; ++y)
            image.setPixelColor(x, y, Qt::red);
    QRect kept;
    const QImage trimmed = imageByRemovingTransparentAreas(image, &kept);
    EXPECT_EQ(trimmed.size(), QSize(4, 3));
    EXPECT_EQ(kept, QRect(2, 4, 4, 3)); // y-up: four empty rows below the red block
    QImage framed = filled(6, 6, Qt::black);
    framed.setPixelColor(3, 3, Qt::white);
    EXPECT_EQ(imageByRemovingBlackAreas(framed, &kept).size(), QSize(1, 1));
    EXPECT_TRUE(imageByRemovingBlackAreas(filled(3, 3, Qt::black), &kept).isNull());
    EXPECT_EQ(kept.size(), QSize(0, 0));
}

TEST(ImageAdditional, EngineImagesRoundTripByteForByte) {
    uiApplication();
    // R,G,B,A straight alpha with a translucent pixel; premultiplied on the way into Qt.
    const uint8_t rgba[] = {255, 0, 0, 255, 0, 128, 0, 255, 10, 20, 30, 255, 200, 100, 50, 128};
    const graphics::ImagePtr image = graphics::Image::copy(rgba, 2, 2, 8, graphics::PixelFormat{});
    const QImage qt = toQImage(image);
    ASSERT_EQ(qt.size(), QSize(2, 2));
    EXPECT_EQ(qt.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(qt.pixelColor(0, 1), QColor(10, 20, 30));
    EXPECT_EQ(qAlpha(qt.pixel(1, 1)), 128);
    const graphics::ImagePtr back = fromQImage(qt);
    ASSERT_TRUE(back);
    const QImage again = toQImage(back);
    EXPECT_EQ(again, qt);
    // 16 bits per component come through the 8-bit drawing.
    const uint16_t deep[] = {65535, 0, 0, 65535};
    graphics::PixelFormat format;
    format.bitsPerComponent = 16;
    const QImage fromDeep = toQImage(graphics::Image::copy(deep, 1, 1, 8, format));
    EXPECT_EQ(fromDeep.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_TRUE(toQImage(nullptr).isNull());
    EXPECT_EQ(fromQImage(QImage()), nullptr);
}

TEST(ImageAdditional, WritersProduceReadableFiles) {
    uiApplication();
    TemporaryDirectory dir;
    const QImage picture = filled(12, 9, QColor(40, 90, 200));
    for (auto [writer, name] :
         {std::pair{&saveJPEGPath, "a.jpg"}, {&savePNGPath, "a.png"}, {&saveTIFFPath, "a.tiff"}}) {
        ASSERT_TRUE(writer(picture, dir.file(name))) << name;
        auto source = imageio::ImageSource::createWithPath(dir.file(name));
        ASSERT_TRUE(source) << name;
        const graphics::ImagePtr read = source->createImage();
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(read->width(), 12);
        EXPECT_EQ(read->height(), 9);
    }
    EXPECT_FALSE(savePNGPath(picture, dir.file("no/such/folder/a.png")));
}

TEST(TextGeometrics, TrailingNewlineAddsNoLineAndEmptyTextIsZero) {
    uiApplication();
    const QFont font("Helvetica", 13);
    const double one = TextGeometrics::heightForWidth("One line", font, 400);
    EXPECT_GT(one, 0);
    EXPECT_DOUBLE_EQ(TextGeometrics::heightForWidth("One line\n", font, 400), one);
    EXPECT_NEAR(TextGeometrics::heightForWidth("One\nTwo", font, 400), 2 * one, 1.0);
    EXPECT_GT(TextGeometrics::heightForWidth("many words that will wrap over lines", font, 40), 2 * one);
    EXPECT_EQ(TextGeometrics::sizeForWidth("", font, 100, 100), QSizeF(0, 0));
    EXPECT_GT(TextGeometrics::widthForHeight("Wide text", font, 100),
              TextGeometrics::widthForHeight("W", font, 100));
}

TEST(Shuffle, KeepsEveryElementAndLeavesTinyListsAlone) {
    std::vector<int> one{7};
    shuffle(one);
    EXPECT_EQ(one, std::vector<int>{7});
    std::vector<int> none;
    shuffle(none);
    EXPECT_TRUE(none.empty());
    std::vector<int> many(50);
    for (int i = 0; i < 50; ++i)
        many[i] = i;
    Random::seed(1);
    shuffle(many);
    std::vector<int> sorted = many;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(sorted[i], i);
    EXPECT_FALSE(std::is_sorted(many.begin(), many.end()));
}

TEST(ImageAdditional, SourcesWithoutAreaFitAndCoverNothing) {
    const QSizeF empty[] = {{0, 100}, {100, 0}, {0, 0}, {-5, 10}, {std::nan(""), 10}, {INFINITY, 10}};
    for (const QSizeF& source : empty) {
        EXPECT_EQ(scaledSizeToFit(source, {80, 120}), QSizeF(0, 0))
            << source.width() << "x" << source.height();
        EXPECT_EQ(scaledSizeToCover(source, {80, 120}), QSizeF(0, 0))
            << source.width() << "x" << source.height();
    }
}

TEST(ImageAdditional, EveryAlignmentPlacesTheCoverImage) {
    // A 300 x 200 cover of a 100 x 100 target: 200 points too wide, 100 too high; y-up origins.
    const QPointF expected[] = {{-100, -50}, {-100, -100}, {0, -100}, {-200, -100}, {0, -50},
                                {-100, 0},   {0, 0},       {-200, 0}, {-200, -50}};
    for (int alignment = kCenter; alignment <= kRight; ++alignment)
        EXPECT_EQ(coverOrigin({300, 200}, {100, 100}, alignment), expected[alignment]) << alignment;
    EXPECT_EQ(coverOrigin({300, 200}, {100, 100}, -1), QPointF(0, 0));
}

TEST(ImageAdditional, BlackTestScansEveryPixelOfAHighDensityPicture) {
    uiApplication();
    // Half as many points as pixels: a scan sized in points would stop at the top-left quarter.
    QImage picture = filled(8, 8, Qt::black);
    picture.setDevicePixelRatio(2);
    EXPECT_TRUE(isBlackColorImage(picture));
    picture.setPixelColor(7, 7, Qt::white);
    EXPECT_FALSE(isBlackColorImage(picture));
}

// One pattern, straight R,G,B,A in 8 bits: opaque primaries, a dark grey, a half-transparent
// orange and a clear pixel.
struct PatternPixel {
    int r, g, b, a;
};
constexpr PatternPixel kPattern[] = {
    {255, 0, 0, 255}, {0, 128, 0, 255}, {10, 20, 30, 255}, {200, 100, 50, 128}, {0, 0, 0, 0}};
constexpr int kPatternWidth = 5;

int premultipliedComponent(int c, int a) {
    return int(std::lround(c * a / 255.0));
}

// The pattern laid out in a format: components in the format's order, scaled to its depth,
// premultiplied when it is.
graphics::ImagePtr patternIn(const graphics::PixelFormat& format) {
    const int bytes = format.bitsPerComponent / 8;
    std::vector<uint8_t> row(size_t(kPatternWidth) * 4 * size_t(bytes));
    for (int x = 0; x < kPatternWidth; ++x) {
        const PatternPixel& p = kPattern[x];
        for (int i = 0; i < 4; ++i) {
            const graphics::Channel channel = format.order[size_t(i)];
            int value = channel == graphics::Channel::R   ? p.r
                        : channel == graphics::Channel::G ? p.g
                        : channel == graphics::Channel::B ? p.b
                                                          : p.a;
            if (format.premultiplied && channel != graphics::Channel::A)
                value = premultipliedComponent(value, p.a);
            uint8_t* at = row.data() + (size_t(x) * 4 + size_t(i)) * size_t(bytes);
            if (bytes == 1) *at = uint8_t(value);
            if (bytes == 2) {
                const uint16_t wide = uint16_t(value * 257);
                std::memcpy(at, &wide, 2);
            }
            if (bytes == 4) {
                const float real = float(value) / 255.0f;
                std::memcpy(at, &real, 4);
            }
        }
    }
    return graphics::Image::copy(row.data(), kPatternWidth, 1, row.size(), format);
}

TEST(ImageAdditional, APixelPatternSurvivesConversionInEveryDepthAndLayout) {
    uiApplication();
    using graphics::Channel;
    struct Case {
        const char* name;
        int bits;
        std::array<Channel, 4> order;
        bool premultiplied;
    };
    const Case cases[] = {
        {"8-bit RGBA straight", 8, {Channel::R, Channel::G, Channel::B, Channel::A}, false},
        {"8-bit RGBA premultiplied", 8, {Channel::R, Channel::G, Channel::B, Channel::A}, true},
        {"8-bit ARGB straight", 8, {Channel::A, Channel::R, Channel::G, Channel::B}, false},
        {"8-bit BGRA premultiplied", 8, {Channel::B, Channel::G, Channel::R, Channel::A}, true},
        {"16-bit RGBA straight", 16, {Channel::R, Channel::G, Channel::B, Channel::A}, false},
        {"16-bit RGBA premultiplied", 16, {Channel::R, Channel::G, Channel::B, Channel::A}, true},
        {"32-bit float RGBA straight", 32, {Channel::R, Channel::G, Channel::B, Channel::A}, false},
        {"32-bit float RGBA premultiplied", 32, {Channel::R, Channel::G, Channel::B, Channel::A}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        graphics::PixelFormat format;
        format.bitsPerComponent = c.bits;
        format.order = c.order;
        format.premultiplied = c.premultiplied;
        const graphics::ImagePtr source = patternIn(format);
        ASSERT_TRUE(source);
        const QImage qt = toQImage(source);
        ASSERT_EQ(qt.size(), QSize(kPatternWidth, 1));
        ASSERT_EQ(qt.format(), QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < kPatternWidth; ++x) {
            const PatternPixel& p = kPattern[x];
            const QRgb pixel = qt.pixel(x, 0); // premultiplied, as stored
            EXPECT_EQ(qAlpha(pixel), p.a) << x;
            EXPECT_NEAR(qRed(pixel), premultipliedComponent(p.r, p.a), 1) << x;
            EXPECT_NEAR(qGreen(pixel), premultipliedComponent(p.g, p.a), 1) << x;
            EXPECT_NEAR(qBlue(pixel), premultipliedComponent(p.b, p.a), 1) << x;
            if (p.a == 255) EXPECT_EQ(qt.pixelColor(x, 0), QColor(p.r, p.g, p.b)) << x; // opaque: exact
        }
        // Back into the engine and out again changes nothing.
        const graphics::ImagePtr back = fromQImage(qt);
        ASSERT_TRUE(back);
        EXPECT_EQ(toQImage(back), qt);
    }
}
