#include "controls/ImageAdditional.h"
#include "controls/Shuffle.h"
#include "controls/TextGeometrics.h"
#include "platform/imageio/ImageSource.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ImageAdditional;

namespace {
QImage filled(int w, int h, QColor colour) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}
}  // namespace

TEST(ImageAdditional, FitAndCoverSizes) {
  struct Case { QSizeF source, target, fit, cover; };
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
    for (int y = 0; y < 100; ++y) source.setPixelColor(x, y, x < 100 ? Qt::red : x < 200 ? Qt::green : Qt::blue);
  const QImage centred = scaledImageToCover(source, {50, 50});
  ASSERT_EQ(centred.size(), QSize(50, 50));
  EXPECT_EQ(centred.pixelColor(25, 25), QColor(Qt::green));
  EXPECT_EQ(centred.pixelColor(2, 2), QColor(Qt::green));
  EXPECT_EQ(scaledImageToCover(source, {50, 50}, kLeft).pixelColor(25, 25), QColor(Qt::red));
  const QImage fitted = scaledImageToFit(source, {60, 60}, true);
  EXPECT_EQ(fitted.pixelColor(30, 2).alpha(), 0);        // above the fitted 60 x 20 band
  EXPECT_EQ(fitted.pixelColor(30, 30), QColor(Qt::green));
  EXPECT_EQ(fitted.pixelColor(30, 20), QColor(Qt::black));  // the frame
}

TEST(ImageAdditional, OrientationsPutTheMarkedCornerUpright) {
  uiApplication();
  // Stored 3 x 2: red at the top-left pixel, green just right of it.
  QImage stored = filled(3, 2, Qt::white);
  stored.setPixelColor(0, 0, Qt::red);
  stored.setPixelColor(1, 0, Qt::green);
  struct Case { int orientation; QSize size; QPoint red, green; };
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
    for (int y = 1; y < 4; ++y) image.setPixelColor(x, y, Qt::red);
  QRect kept;
  const QImage trimmed = imageByRemovingTransparentAreas(image, &kept);
  EXPECT_EQ(trimmed.size(), QSize(4, 3));
  EXPECT_EQ(kept, QRect(2, 4, 4, 3));  // y-up: four empty rows below the red block
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
  for (auto [writer, name] : {std::pair{&saveJPEGPath, "a.jpg"}, {&savePNGPath, "a.png"}, {&saveTIFFPath, "a.tiff"}}) {
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
  EXPECT_GT(TextGeometrics::widthForHeight("Wide text", font, 100), TextGeometrics::widthForHeight("W", font, 100));
}

TEST(Shuffle, KeepsEveryElementAndLeavesTinyListsAlone) {
  std::vector<int> one{7};
  shuffle(one);
  EXPECT_EQ(one, std::vector<int>{7});
  std::vector<int> none;
  shuffle(none);
  EXPECT_TRUE(none.empty());
  std::vector<int> many(50);
  for (int i = 0; i < 50; ++i) many[i] = i;
  Random::seed(1);
  shuffle(many);
  std::vector<int> sorted = many;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 50; ++i) EXPECT_EQ(sorted[i], i);
  EXPECT_FALSE(std::is_sorted(many.begin(), many.end()));
}
