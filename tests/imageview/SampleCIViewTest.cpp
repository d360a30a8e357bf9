#include "imageview/SampleCIView.h"
#include "platform/coreimage/Image.h"
#include "support/UiApplication.h"

#include <QPaintEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

using graphics::Rect;

// Solid bitmaps, one colour per column band, as engine images.
coreimage::ImagePtr bands(int w, int h, std::vector<QColor> colours) {
    QImage q(w, h, QImage::Format_RGBA8888_Premultiplied);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            q.setPixelColor(x, y, colours[size_t(x * int(colours.size()) / w)]);
    graphics::PixelFormat format{
        8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};
    return coreimage::Image::imageWithCGImage(
        graphics::Image::copy(q.constBits(), w, h, size_t(q.bytesPerLine()), format));
}

coreimage::ImagePtr rows(int w, int h, QColor top, QColor bottom) {
    QImage q(w, h, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            q.setPixelColor(x, y, y < h / 2 ? top : bottom);
    graphics::PixelFormat format{
        8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};
    return coreimage::Image::imageWithCGImage(
        graphics::Image::copy(q.constBits(), w, h, size_t(q.bytesPerLine()), format));
}

class SpyView : public SampleCIView {
  public:
    using SampleCIView::SampleCIView;
    int boundsChanges = 0;
    std::vector<QRect> painted;

  protected:
    void viewBoundsDidChange(const Rect&) override { ++boundsChanges; }
    void paintEvent(QPaintEvent* event) override {
        painted.push_back(event->rect());
        SampleCIView::paintEvent(event);
    }
};

struct SourceCase {
    const char* what;
    Rect realFrame, frame, extent, visible;
    std::optional<Rect> expected;
};

} // namespace

TEST(SampleCIViewSource, MapsTheVisibleRectangleOntoImagePixels) {
    const SourceCase cases[] = {
        {"offset virtual frame, two points per pixel", Rect(-200, 0, 1000, 600), Rect(0, 0, 400, 300),
         Rect(0, 0, 500, 300), Rect(0, 0, 400, 300), Rect(100, 0, 200, 150)},
        {"one point per pixel, part of the view", Rect(0, 0, 50, 40), Rect(0, 0, 50, 40), Rect(0, 0, 50, 40),
         Rect(10, 20, 5, 6), Rect(10, 20, 5, 6)},
        {"a rounding overshoot on the right is trimmed", Rect(0, 0, 20, 20), Rect(0, 0, 20, 20),
         Rect(0, 0, 10, 10), Rect(5, 0, 15, 2), Rect(3, 0, 7, 1)},
        {"a rounding overshoot at the top is trimmed", Rect(0, 0, 20, 20), Rect(0, 0, 20, 20),
         Rect(0, 0, 10, 10), Rect(0, 5, 2, 15), Rect(0, 3, 1, 7)},
        {"zero virtual frame", Rect(0, 0, 0, 0), Rect(0, 0, 20, 20), Rect(0, 0, 10, 10), Rect(0, 0, 20, 20),
         std::nullopt},
        {"infinite extent", Rect(0, 0, 20, 20), Rect(0, 0, 20, 20), Rect::infinite(), Rect(0, 0, 20, 20),
         std::nullopt},
        {"visible part right of the image", Rect(0, 0, 20, 20), Rect(0, 0, 40, 20), Rect(0, 0, 10, 10),
         Rect(30, 0, 10, 10), std::nullopt},
    };
    for (const SourceCase& c : cases) {
        const std::optional<Rect> got = SampleCIView::sourceRect(c.realFrame, c.frame, c.extent, c.visible);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(*got, *c.expected) << c.what;
        }
    }
}

TEST(SampleCIViewSource, ScalingByExactlyOneKeepsTheImageObject) {
    const coreimage::ImagePtr image = bands(4, 4, {Qt::red});
    EXPECT_EQ(SampleCIView::scaledImageFromImage(image, 1.0), image);
    const coreimage::ImagePtr half = SampleCIView::scaledImageFromImage(image, 0.5);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->extent(), Rect(0, 0, 2, 2));
}

class SampleCIViewWidget : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
};

TEST_F(SampleCIViewWidget, DrawsTheImageScaledOntoTheViewYUp) {
    SampleCIView view;
    view.resize(40, 20);
    // Left half red, right half blue; top rows green over bottom rows yellow in the second picture.
    view.setImage(bands(8, 4, {Qt::red, Qt::blue}));
    QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 10), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(35, 10), QColor(Qt::blue));
    view.setImage(rows(8, 4, Qt::green, Qt::yellow));
    shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(20, 2), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(20, 18), QColor(Qt::yellow));
}

TEST_F(SampleCIViewWidget, DrawsOnlyThePartOfTheVirtualFrameTheViewCovers) {
    class Shifted : public SampleCIView {
      public:
        Rect realFrame() const override { return Rect(-20, 0, 80, 20); } // the view shows its second quarter
    } view;
    view.resize(20, 20);
    view.setImage(bands(8, 2, {Qt::red, Qt::green, Qt::blue, Qt::yellow}));
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::green));
}

TEST_F(SampleCIViewWidget, TheSameImageAgainRepaintsNothingAndADirtyRectangleOnlyItself) {
    SpyView view;
    view.resize(40, 20);
    view.show();
    const coreimage::ImagePtr first = bands(8, 4, {Qt::red});
    view.setImage(first);
    QApplication::processEvents();
    view.painted.clear();
    view.setImage(first, Rect(0, 0, 10, 10));
    QApplication::processEvents();
    EXPECT_TRUE(view.painted.empty());
    view.setImage(bands(8, 4, {Qt::blue}), Rect(0, 0, 10, 10)); // bottom-left corner, y-up
    QApplication::processEvents();
    ASSERT_EQ(view.painted.size(), 1u);
    EXPECT_EQ(view.painted[0], QRect(0, 10, 10, 10));
}

TEST_F(SampleCIViewWidget, ADirtyRectangleRenewsOnlyThosePixels) {
    SampleCIView view;
    view.resize(40, 20);
    view.setImage(bands(8, 4, {Qt::red}));
    (void)view.grab();
    // The new picture differs everywhere, but only the bottom-left quarter is said to have changed.
    view.setImage(bands(8, 4, {Qt::blue}), Rect(0, 0, 20, 10));
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, 18), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(35, 2), QColor(Qt::red));
    view.setImage(bands(8, 4, {Qt::green}));
    EXPECT_EQ(view.grab().toImage().pixelColor(35, 2), QColor(Qt::green));
}

TEST_F(SampleCIViewWidget, ABoundsChangeCallsTheHookOnce) {
    SpyView view;
    view.resize(30, 20);
    (void)view.grab();
    (void)view.grab();
    EXPECT_EQ(view.boundsChanges, 1);
    view.resize(31, 20);
    (void)view.grab();
    EXPECT_EQ(view.boundsChanges, 2);
}

TEST_F(SampleCIViewWidget, AnInfiniteImageDrawsNothingAndDoesNotHang) {
    SampleCIView view;
    view.resize(20, 20);
    view.setImage(coreimage::Image::imageWithColor({1, 0, 0, 1}));
    const QImage shown = view.grab().toImage();
    EXPECT_NE(shown.pixelColor(10, 10), QColor(Qt::red));
}
