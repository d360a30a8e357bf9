#include "imageview/KXImageView.h"
#include "controls/ImageAdditional.h"
#include "platform/quartz/Animation.h"
#include "platform/quartz/Transaction.h"
#include "support/UiApplication.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

using graphics::Point;
using graphics::Rect;

namespace {

struct RecordingDelegate : KXImageViewDelegate {
    std::vector<double> scales;
    int compareReady = 0;
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool) override {}
    void imageScaleDidChange(double scale, KXImageView*) override { scales.push_back(scale); }
    void compareModeIsReady(bool) override { ++compareReady; }
};

graphics::ImagePtr picture(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return ImageAdditional::fromQImage(image);
}

struct ImageViewFixture : ::testing::Test {
    QApplication& app = uiApplication();
    VirtualClock clock;
    KXImageView view;
    RecordingDelegate delegate;
    ImageViewFixture() {
        view.resize(800, 600);
        view.setDelegate(&delegate);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& l : view.layer().sublayers())
            out.push_back(l->name());
        return out;
    }
    static void expectFrame(const Rect& expected, const Rect& actual) {
        EXPECT_NEAR(expected.minX(), actual.minX(), 1e-3);
        EXPECT_NEAR(expected.minY(), actual.minY(), 1e-3);
        EXPECT_NEAR(expected.width(), actual.width(), 1e-3);
        EXPECT_NEAR(expected.height(), actual.height(), 1e-3);
    }
};

} // namespace

TEST_F(ImageViewFixture, SetImageFitsItIntoTheVisibleAreaLessTheMargin) {
    struct Case {
        int w, h;
        double scale;
        Rect frame;
    };
    const float big = std::min(760.0f / 4000.0f, 560.0f / 3000.0f);
    const Case cases[] = {
        {400, 300, 1.0, Rect(200, 150, 400, 300)}, // small: actual pixels, centred
        {4000, 3000, big, Rect(std::round(400 - 2000 * double(big)), 20, 4000 * double(big), 560)},
    };
    for (const Case& c : cases) {
        view.setImage(picture(c.w, c.h, Qt::red), true);
        EXPECT_EQ(view.scale(), c.scale) << c.w;
        expectFrame(c.frame, view.imageLayer().frame());
        EXPECT_EQ(delegate.scales.back(), c.scale);
        EXPECT_EQ(view.imageLayer().name(), "photo");
        EXPECT_TRUE(view.autoCenterEnabled());
    }
    // The same image again: no fit.
    const size_t told = delegate.scales.size();
    view.setImage(view.image(), true);
    EXPECT_EQ(delegate.scales.size(), told);
}

TEST_F(ImageViewFixture, PhotoKeepsItsPlaceWhenTheViewIsShownAndResized) {
    view.setImage(picture(400, 300, Qt::red), true);
    view.show();
    QApplication::processEvents();
    expectFrame(Rect(200, 150, 400, 300), view.imageLayer().frame());
    view.resize(800, 700); // taller: the photo keeps its distance from the top
    QApplication::processEvents();
    expectFrame(Rect(200, 250, 400, 300), view.imageLayer().frame());
}

TEST_F(ImageViewFixture, DiagonalOfThePictureInSinglePrecision) {
    struct Case {
        int w, h;
        double diagonal;
    };
    for (const Case& c : {Case{4000, 3000, 5000}, Case{3, 4, 5}, Case{1, 1, 1}}) {
        view.setImage(picture(c.w, c.h, Qt::gray));
        EXPECT_EQ(view.maxCropWidthHeight(), c.diagonal) << c.w;
        EXPECT_EQ(view.correctedSize(), (graphics::Size{double(c.w), double(c.h)}));
    }
    view.setImage(nullptr);
    EXPECT_EQ(view.maxCropWidthHeight(), 0);
    EXPECT_EQ(view.correctedSize(), (graphics::Size{0, 0}));
}

TEST_F(ImageViewFixture, FirstPreviewFadesInOverThePhotoAndSecondFadesASnapshotOut) {
    view.setImage(picture(400, 300, Qt::red), true);
    view.setPreviewImage(picture(400, 300, Qt::blue));
    EXPECT_EQ(view.existingPreviewLayer(), nullptr); // made when the fit's transaction completes
    clock.advance(0);
    ASSERT_NE(view.existingPreviewLayer(), nullptr);
    quartz::Layer* preview = view.existingPreviewLayer();
    EXPECT_EQ(preview->name(), "previewLayer");
    expectFrame(Rect(200, 150, 400, 300), preview->frame());
    EXPECT_EQ(delegate.compareReady, 1);
    EXPECT_EQ(preview->presentation().opacity, 0);
    clock.advance(0.25);
    EXPECT_NEAR(preview->presentation().opacity, 0.5, 1e-9); // ease in and out: half at half time
    clock.advance(0.1);
    EXPECT_GT(preview->presentation().opacity, 0.5 + 0.1 / 0.5);
    clock.advance(0.15);
    EXPECT_EQ(preview->presentation().opacity, 1);
    EXPECT_EQ(names(), (std::vector<std::string>{"photo", "previewLayer"}));
    EXPECT_EQ(view.animationLayer(), nullptr);

    // The old preview layer goes with the replacement: keep what the test compares before.
    const auto oldContents = preview->contents();
    view.setPreviewImage(picture(400, 300, Qt::green));
    clock.advance(0); // the frame is unchanged: the fade starts at once
    EXPECT_EQ(names(), (std::vector<std::string>{"photo", "previewLayer", "animation"}));
    ASSERT_NE(view.animationLayer(), nullptr);
    EXPECT_EQ(view.animationLayer()->contents(), oldContents); // a picture of the old preview
    EXPECT_NE(view.existingPreviewLayer(), preview);
    EXPECT_EQ(view.animationLayer()->presentation().opacity, 1);
    clock.advance(0.25);
    EXPECT_NEAR(view.animationLayer()->presentation().opacity, 0.5, 1e-9);
    clock.advance(0.25);
    EXPECT_EQ(names(), (std::vector<std::string>{"photo", "previewLayer"}));
    EXPECT_EQ(view.animationLayer(), nullptr);
}

TEST_F(ImageViewFixture, RapidPreviewsLeaveNoStaleSnapshot) {
    view.setImage(picture(400, 300, Qt::red), true);
    // Sizes alternate so every fit moves the frame; some previews land inside the same tick.
    const int sizes[][2] = {{400, 300}, {200, 100}, {300, 300}, {100, 50}, {400, 300}};
    const double gaps[] = {0.05, 0, 0.05, 0.2, 0};
    for (size_t i = 0; i < std::size(sizes); ++i) {
        view.setPreviewImage(picture(sizes[i][0], sizes[i][1], QColor::fromHsv(int(i) * 60, 255, 255)));
        if (gaps[i] > 0) clock.advance(gaps[i]);
    }
    clock.advance(1);
    clock.advance(1);
    EXPECT_EQ(names(), (std::vector<std::string>{"photo", "previewLayer"}));
    EXPECT_EQ(view.animationLayer(), nullptr);
    // The last preview is the one shown, fully.
    EXPECT_EQ(view.existingPreviewLayer()->presentation().opacity, 1);
    EXPECT_EQ(view.correctedPreviewSize(), (graphics::Size{400, 300}));
}

TEST_F(ImageViewFixture, RemovingThePreviewPutsThePhotoWhereItWas) {
    view.setImage(picture(400, 300, Qt::red), true);
    view.setPreviewImage(picture(200, 100, Qt::blue));
    clock.advance(0);
    clock.advance(1);
    view.setPreviewImage(picture(200, 100, Qt::green));
    clock.advance(0.1); // a fade is running
    ASSERT_NE(view.animationLayer(), nullptr);
    const Rect previewFrame = view.existingPreviewLayer()->frame();
    view.setPreviewImage(nullptr);
    EXPECT_EQ(view.previewImage(), nullptr);
    EXPECT_EQ(view.existingPreviewLayer(), nullptr);
    EXPECT_EQ(view.animationLayer(), nullptr);
    expectFrame(previewFrame, view.imageLayer().frame());
    EXPECT_FALSE(view.imageLayer().isHidden());
    EXPECT_EQ(names(), std::vector<std::string>{"photo"}); // the running fade's picture went too
    clock.advance(1);
    EXPECT_EQ(names(), std::vector<std::string>{"photo"});
    // Removing again changes nothing.
    const auto image = view.image();
    view.setPreviewImage(nullptr);
    expectFrame(previewFrame, view.imageLayer().frame());
    EXPECT_EQ(view.image(), image);
}

TEST_F(ImageViewFixture, InCompareModeAPreviewIsReplacedInPlaceWithoutAFit) {
    view.setImage(picture(400, 300, Qt::red), true);
    view.setPreviewImage(picture(400, 300, Qt::blue));
    clock.advance(0);
    clock.advance(1);
    const int ready = delegate.compareReady;
    const Rect frame = view.existingPreviewLayer()->frame();
    view.setIsCompareMode(true);
    view.setPreviewImage(picture(300, 200, Qt::green));
    EXPECT_EQ(view.existingPreviewLayer()->position(), (Point{frame.midX(), frame.midY()}));
    ASSERT_NE(view.animationLayer(), nullptr);
    EXPECT_EQ(view.animationLayer()->presentation().opacity, 1);
    EXPECT_NE(view.animationLayer()->animation("opacityAnimation"), nullptr);
    EXPECT_EQ(view.correctedPreviewSize(), (graphics::Size{300, 200})); // kept up to date here too
    clock.advance(0.6);
    EXPECT_EQ(view.animationLayer(), nullptr);
    EXPECT_EQ(names(), (std::vector<std::string>{"photo", "previewLayer"}));
    EXPECT_EQ(delegate.compareReady, ready);
}

TEST_F(ImageViewFixture, ScaleAlwaysTellsTheDelegate) {
    view.setScale(0.5);
    view.setScale(0.5);
    view.setScale(std::numeric_limits<double>::quiet_NaN());
    ASSERT_EQ(delegate.scales.size(), 3u);
    EXPECT_EQ(delegate.scales[1], 0.5);
    EXPECT_TRUE(std::isnan(delegate.scales[2]));
}

TEST_F(ImageViewFixture, ColoursAndTheDropShadow) {
    EXPECT_EQ(KXImageView::backgroundColorRef(), QColor::fromRgbF(0, 0, 0, 0));
    EXPECT_NEAR(KXImageView::layerBackgroundColor().alphaF(), 0.5, 1e-4);
    EXPECT_EQ(KXImageView::layerBackgroundColor().rgb(), qRgb(0, 0, 0));
    EXPECT_EQ(KXImageView::clearColor(), QColor::fromRgbF(1, 1, 1, 0));
    EXPECT_EQ(KXImageView::redColor(), QColor(Qt::red));
    EXPECT_EQ(&KXImageView::greenColor(), &KXImageView::greenColor()); // made once
    view.setImage(picture(400, 300, Qt::white), true);
    view.setAutoFillBackground(true);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, QColor(100, 100, 100));
    view.setPalette(palette);
    const QImage shot = view.grab().toImage();
    // Photo at (200, 150)-(600, 450) on screen; the shadow falls right and down.
    EXPECT_EQ(shot.pixelColor(400, 300), QColor(Qt::white));
    EXPECT_LT(shot.pixelColor(602, 300).red(), 80);
    EXPECT_LT(shot.pixelColor(400, 452).red(), 80);
    EXPECT_EQ(shot.pixelColor(197, 300).red(), 100);
    EXPECT_EQ(shot.pixelColor(400, 146).red(), 100);
}

TEST_F(ImageViewFixture, PreviewMidFadeBlendsOverThePhoto) {
    view.setImage(picture(400, 300, Qt::red), true);
    view.setPreviewImage(picture(400, 300, Qt::blue));
    clock.advance(0);
    clock.advance(0.25);
    const QColor c = view.grab().toImage().pixelColor(400, 300);
    EXPECT_NEAR(c.red(), 128, 2);
    EXPECT_NEAR(c.blue(), 128, 2);
}

TEST_F(ImageViewFixture, PreviewCentreFollowsTheShownPicture) {
    view.setImage(picture(400, 300, Qt::red), true);
    EXPECT_EQ(view.previewCenter(), (Point{400, 300}));
    view.setPreviewImage(picture(800, 600, Qt::blue));
    clock.advance(0);
    // The photo fits at actual pixels, so the preview is shown at the photo's size.
    EXPECT_EQ(view.scale(), 0.5);
    expectFrame(Rect(200, 150, 400, 300), view.existingPreviewLayer()->frame());
    EXPECT_EQ(view.previewCenter(), (Point{400, 300}));
}

TEST_F(ImageViewFixture, ZoomInStopsAtActualPixelsKeepingTheCentre) {
    view.setImage(picture(2000, 1500, Qt::red), true);
    const double fitted = view.scale();
    ASSERT_LT(fitted, 1.0);
    const Point centre = view.previewCenter();
    std::vector<double> scales;
    while (view.canZoomIn()) {
        view.zoomInAnimated(false);
        scales.push_back(view.scale());
        ASSERT_LT(scales.size(), 10u);
    }
    ASSERT_GE(scales.size(), 2u);
    EXPECT_NEAR(scales[0], fitted * 1.414214, 1e-12);
    EXPECT_EQ(scales.back(), 1.0);
    EXPECT_NEAR(view.imageLayer().frame().midX(), centre.x, 1);
    EXPECT_NEAR(view.imageLayer().frame().midY(), centre.y, 1);
    EXPECT_EQ(view.imageLayer().frame().width(), 2000);
    // From 0.8 one step gives 1.0.
    view.setScale(0.8);
    view.zoomInAnimated(false);
    EXPECT_EQ(view.scale(), 1.0);
    EXPECT_FALSE(view.canZoomIn());
}

TEST_F(ImageViewFixture, ZoomOutStopsWhenNeitherSideExceeds300Points) {
    view.setImage(picture(1000, 800, Qt::red), true);
    int steps = 0;
    while (view.canZoomOut() && steps < 20) {
        view.zoomOutAnimated(false);
        ++steps;
    }
    EXPECT_LE(view.scale() * 1000, 300);
    EXPECT_GT(view.scale() / 0.7071068 * 1000, 300);
    EXPECT_EQ(view.operation(), 0);
    clock.advance(0); // the frame animation's completion
    EXPECT_EQ(view.operation(), 7);
    const double scale = view.scale();
    view.zoomOutAnimated(false);
    EXPECT_EQ(view.scale(), scale);
}

TEST_F(ImageViewFixture, ZoomsAreRefusedWhileAPreviewIsShownOrAnAnimatedZoomRuns) {
    view.setImage(picture(2000, 1500, Qt::red), true);
    const double scale = view.scale();
    view.zoomInAnimated(true);
    const double once = view.scale();
    EXPECT_GT(once, scale);
    view.zoomInAnimated(true); // the first is still moving the photo
    EXPECT_EQ(view.scale(), once);
    clock.advance(0.15);
    const Rect halfway = view.imageLayer().presentation().frame();
    EXPECT_GT(halfway.width(), 2000 * scale);
    EXPECT_LT(halfway.width(), 2000 * once);
    clock.advance(0.2);
    view.setPreviewImage(picture(200, 150, Qt::blue));
    clock.advance(0);
    const double withPreview = view.scale();
    view.zoomInAnimated(false);
    view.zoomOutAnimated(false);
    view.zoomToActualSizeAnimated(false);
    EXPECT_EQ(view.scale(), withPreview);
    EXPECT_FALSE(view.canZoomToActualSize());
}

TEST_F(ImageViewFixture, ActualSizeCentresThePhotoInTheVisibleArea) {
    view.setRightMargin(100);
    view.setBottomMargin(50);
    EXPECT_EQ(view.extraVisibleRect(), Rect(0, 50, 700, 550));
    view.setImage(picture(2000, 1500, Qt::red), true);
    EXPECT_TRUE(view.canZoomToActualSize());
    view.zoomToActualSizeAnimated(false);
    EXPECT_EQ(view.scale(), 1.0);
    EXPECT_EQ(view.operation(), 2);
    expectFrame(Rect(std::round(350 - 1000.0), std::round(50 + 275 - 750.0), 2000, 1500),
                view.imageLayer().frame());
    EXPECT_FALSE(view.canZoomToActualSize());
}

TEST_F(ImageViewFixture, FitWithUnchangedFrameRunsNoAnimationAndCallsTheBlockAtOnce) {
    view.setImage(picture(400, 300, Qt::red), true);
    int calls = 0;
    view.zoomToFitAnimated(true, [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(view.imageLayer().animationKeys().empty());
    // A zoomed photo is fitted back with a 0.2 s animation, the block once it ends.
    view.setImage(picture(2000, 1500, Qt::red), true);
    view.zoomInAnimated(false);
    clock.advance(0);
    view.zoomToFitAnimated(true, [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_NE(view.imageLayer().animation("animation"), nullptr);
    clock.advance(0.1);
    EXPECT_EQ(calls, 1);
    clock.advance(0.1);
    EXPECT_EQ(calls, 2);
    // This fit rounds the size too: 2000 x 0.37333 is 747 points wide.
    expectFrame(Rect(27, 20, 747, 560), view.imageLayer().frame());
}

TEST_F(ImageViewFixture, FitPredicateFollowsTheAreaTheScaleAndThePreview) {
    view.setImage(picture(400, 300, Qt::red), true);
    EXPECT_FALSE(view.canZoomToFit()); // fits already
    view.setImage(picture(2000, 1500, Qt::red), true);
    EXPECT_FALSE(view.canZoomToFit()); // fitted: the height fills the area
    view.zoomInAnimated(false);
    EXPECT_TRUE(view.canZoomToFit());
    view.setPreviewImage(picture(200, 150, Qt::blue));
    EXPECT_TRUE(view.canZoomToFit()); // the photo does not fit, the preview is shown
}

namespace {
struct Strip : KXImageViewDataSource {
    int64_t height = 0;
    int64_t appButtomContentViewHeight() override { return height; }
    bool needsToShowCrosshairCursor() override { return false; }
};
} // namespace

TEST_F(ImageViewFixture, CompareModePutsPhotoAndPreviewSideBySide) {
    struct Case {
        int iw, ih, pw, ph;
        double scale;
        Rect photo, preview;
    };
    const double s = double(460.0f / 2000.0f);
    const Case cases[] = {
        {2000, 1200, 2000, 1200, s, Rect(250 - 1000 * s, 300 - 600 * s, 2000 * s, 1200 * s),
         Rect(750 - 1000 * s, 300 - 600 * s, 2000 * s, 1200 * s)},
        // The preview fits its half at actual pixels: drawn at the photo's size.
        {300, 200, 150, 100, 2.0, Rect(100, 200, 300, 200), Rect(600, 200, 300, 200)},
    };
    view.resize(1000, 600);
    for (const Case& c : cases) {
        view.setImage(picture(c.iw, c.ih, Qt::red), true);
        view.setPreviewImage(picture(c.pw, c.ph, Qt::blue));
        clock.advance(0);
        clock.advance(1);
        ASSERT_TRUE(view.readyToEnterCompareMode());
        view.enterCompareMode();
        EXPECT_TRUE(view.isCompareMode());
        EXPECT_FALSE(view.autoCenterEnabled());
        EXPECT_NEAR(view.scale(), c.scale, 1e-6) << c.iw;
        clock.advance(0.15); // both move at once, from where they were
        EXPECT_NE(view.imageLayer().presentation().frame(), view.imageLayer().frame());
        clock.advance(0.2);
        expectFrame(c.photo, view.imageLayer().presentation().frame());
        expectFrame(c.preview, view.existingPreviewLayer()->presentation().frame());
        EXPECT_EQ(view.existingPreviewLayer()->shadowOpacity(), 1); // apart from the photo: its own shadow

        // Leaving returns the photo under the preview at the preview's fitted frame.
        view.leaveCompareMode();
        EXPECT_EQ(view.operation(), 6);
        clock.advance(0.4);
        EXPECT_EQ(view.operation(), 7);
        EXPECT_FALSE(view.isCompareMode());
        EXPECT_EQ(view.existingPreviewLayer()->shadowOpacity(), 0);
        expectFrame(view.existingPreviewLayer()->frame(), view.imageLayer().frame());
        view.leaveCompareMode(); // outside compare mode: nothing
        EXPECT_EQ(view.operation(), 7);
        view.setPreviewImage(nullptr);
    }
}

TEST_F(ImageViewFixture, CompareAreaLeavesOutTheBrowserStripAndQuickCompareOnlyRaisesThePhoto) {
    Strip strip;
    strip.height = 120;
    view.setDataSource(&strip);
    view.setBottomMargin(10);
    EXPECT_EQ(view.extraVisibleRect(), Rect(0, 10, 800, 590));
    view.setIsCompareMode(true);
    EXPECT_EQ(view.extraVisibleRect(), Rect(0, 10, 800, 470));
    view.setIsCompareMode(false);
    EXPECT_FALSE(view.readyToEnterCompareMode()); // no preview

    view.setImage(picture(400, 300, Qt::red), true);
    const Rect frame = view.imageLayer().frame();
    view.showQuickCompare(true);
    EXPECT_EQ(view.imageLayer().zPosition(), 100000);
    view.showQuickCompare(false);
    EXPECT_EQ(view.imageLayer().zPosition(), 0);
    EXPECT_EQ(view.imageLayer().frame(), frame);
}

TEST_F(ImageViewFixture, ZoomOutThatLeavesThePhotoOffScreenRecentresItOnceItEnds) {
    view.setImage(picture(2000, 1500, Qt::red), true);
    clock.advance(0);
    {
        quartz::Transaction::begin();
        quartz::Transaction::setDisableActions(true);
        view.imageLayer().setFrame(Rect(900, 700, 400, 300)); // its centre beyond the top right
        quartz::Transaction::commit();
    }
    view.setScale(0.2);
    view.zoomOutAnimated(true);
    ASSERT_EQ(view.operation(), 0);
    const Point afterZoom = view.imageLayer().position();
    const double w = 2000 * view.scale(), h = 1500 * view.scale();
    const Rect before = view.previousBoundsRect();
    const float dx = 400.0f - float(before.width()) / 2, dy = 300.0f - float(before.height()) / 2;
    clock.advance(0.3); // the zoom ends: centring starts
    EXPECT_EQ(view.operation(), 7);
    ASSERT_NE(view.imageLayer().animation("frame"), nullptr);
    clock.advance(0.3);
    expectFrame(Rect(afterZoom.x + dx - w / 2, afterZoom.y - dy - h / 2, w, h), view.imageLayer().frame());
    EXPECT_TRUE(view.autoCenterEnabled());
}

TEST_F(ImageViewFixture, CursorsComeFromTheBundleWithTheirHotSpots) {
    struct Case {
        const QCursor* cursor;
        int hotSpot;
    };
    for (const Case& c : {Case{&view.customCrosshairCursor(), 19}, Case{&view.customCropLeftCursor(), 8},
                          Case{&view.customCropRightCursor(), 8}}) {
        EXPECT_FALSE(c.cursor->pixmap().isNull());
        EXPECT_EQ(c.cursor->hotSpot(), QPoint(c.hotSpot, c.hotSpot));
    }
    // The left handles' arrow runs along the rising diagonal on screen: its bottom-left corner is drawn.
    const QImage left = view.customCropLeftCursor().pixmap().toImage();
    EXPECT_GT(qAlpha(left.pixel(2 * left.width() / 16, 13 * left.height() / 16)), 0);
    EXPECT_EQ(qAlpha(left.pixel(2 * left.width() / 16, 2 * left.height() / 16)), 0);
}
