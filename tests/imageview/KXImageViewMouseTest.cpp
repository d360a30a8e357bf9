#include "controls/ImageAdditional.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageSource.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Transaction.h"
#include "support/EventLoop.h"
#include "support/SyntheticEvents.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"
#include "support/VirtualClock.h"
#include "support/WidgetPixels.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using graphics::Point;
using graphics::Rect;
using graphics::Size;

namespace {

struct Delegate : KXImageViewDelegate {
    int64_t tool = 0;
    std::vector<double> scales;
    int finalized = 0;
    std::vector<Point> popUps;
    bool reads = true;
    std::vector<std::string> opened;
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool) override {}
    int64_t currentMainTool() override { return tool; }
    void imageScaleDidChange(double scale, KXImageView*) override { scales.push_back(scale); }
    void finalizeRotationGesture() override { ++finalized; }
    void showBackgroundPopUpFromPoint(Point p, KXImageView*) override { popUps.push_back(p); }
    // Readable: every file the drag names opens as an image.
    bool canReadDataFromPasteboard(const QMimeData* data) override {
        if (!data->hasUrls() || data->urls().isEmpty()) return false;
        for (const QUrl& url : data->urls())
            if (!url.isLocalFile())
                return false;
            else if (auto source = imageio::ImageSource::createWithPath(url.toLocalFile().toStdString());
                     !source || !source->createImage())
                return false;
        return true;
    }
    bool respondsToReadDataFromPasteboard() const override { return reads; }
    void readDataFromPasteboard(const QMimeData* data) override {
        opened.push_back(data->urls()[0].toLocalFile().toStdString());
    }
};

struct Browser : KXImageViewDataSource, KXImageViewPostProcessDelegate {
    int64_t strip = 0;
    bool crosshair = false;
    std::vector<std::pair<Point, Rect>> clicks;
    std::vector<std::string> doubleClicks;
    int64_t appButtomContentViewHeight() override { return strip; }
    bool needsToShowCrosshairCursor() override { return crosshair; }
    void previewClickedAtPoint(Point p, const Rect& frame) override { clicks.emplace_back(p, frame); }
    void previewDoubleClickedWithActionString(const std::string& action) override {
        doubleClicks.push_back(action);
    }
};

// Made once per size and colour: large pictures are slow to make and to show.
graphics::ImagePtr picture(int w, int h, QColor colour = QColor(40, 120, 200)) {
    static std::map<std::tuple<int, int, QRgb>, graphics::ImagePtr> made;
    graphics::ImagePtr& kept = made[{w, h, colour.rgba()}];
    if (!kept) {
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        kept = ImageAdditional::fromQImage(image);
    }
    return kept;
}

appkit::Event wheelEvent(double deltaY, unsigned flags, bool precise, bool inverted = false,
                         double deltaX = 0) {
    appkit::Event e;
    e.type = appkit::EventType::ScrollWheel;
    e.deltaX = e.scrollingDeltaX = deltaX;
    e.deltaY = e.scrollingDeltaY = deltaY;
    e.modifierFlags = flags;
    e.hasPreciseScrollingDeltas = precise;
    e.isDirectionInvertedFromDevice = inverted;
    return e;
}

appkit::Event gestureEvent(appkit::EventType type, double value) {
    appkit::Event e;
    e.type = type;
    e.magnification = type == appkit::EventType::Magnify ? value : 0;
    e.rotation = type == appkit::EventType::Rotate ? value : 0;
    return e;
}

struct MouseFixture : ::testing::Test {
    QApplication& app = uiApplication();
    VirtualClock clock;
    KXImageView view;
    Delegate delegate;
    Browser browser;
    MouseFixture() {
        view.resize(1000, 700);
        view.setDelegate(&delegate);
        view.setDataSource(&browser);
        view.setPostProcessDelegate(&browser);
    }
    ~MouseFixture() override {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey("k_Double_Click_Action");
    }
    // A photo shown at a scale with its frame placed by hand.
    void place(int w, int h, double scale, Rect frame) {
        view.setImage(picture(w, h));
        view.setScale(scale);
        quartz::Transaction::begin();
        quartz::Transaction::setDisableActions(true);
        view.imageLayer().setFrame(frame);
        quartz::Transaction::commit();
    }
    Rect photoFrame() { return view.imageLayer().frame(); }
    QCursor cursor() const { return view.cursor(); }
};

} // namespace

// ---- Quarter-turn snapping

TEST(ImageViewRotationSnap, PastFifteenDegreesGoesToTheNextQuarterTurnWithTheOppositeSign) {
    const std::pair<double, double> cases[] = {{10, 0},    {20, -90},   {90, -90},   {105, -90}, {106, -180},
                                               {-20, 90},  {370, 0},    {-370, 0},   {45, -90},  {0, 0},
                                               {-105, 90}, {-106, 180}, {200, -270}, {-359, 360}};
    for (const auto& [in, out] : cases)
        EXPECT_TRUE(KXImageView::getValidatedRotationDegree(in) == out) << in;
}

// ---- Drags

TEST_F(MouseFixture, PanKeepsAHundredPointsOfThePhotoInTheView) {
    browser.strip = 100;
    place(4000, 3000, 0.5, Rect(100, 150, 2000, 1500));
    synthetic::mouseDown(view, {500, 400});
    synthetic::mouseDragged(view, {-2100, 400});
    EXPECT_EQ(photoFrame(), Rect(-1900, 150, 2000, 1500));
    synthetic::mouseDragged(view, {2500, 400});
    EXPECT_EQ(photoFrame(), Rect(900, 150, 2000, 1500));
    synthetic::mouseDragged(view, {500, -5000});
    EXPECT_EQ(photoFrame(), Rect(100, 100 + 100 - 1500, 2000, 1500));
    synthetic::mouseDragged(view, {550, 1000});
    EXPECT_EQ(photoFrame(), Rect(150, 600, 2000, 1500));
    EXPECT_FALSE(view.autoCenterEnabled());
    // The photo is drawn where it was moved, at once.
    const WidgetPixels shown = grabPixels(view);
    EXPECT_EQ(shown.at(160, 610), QColor(40, 120, 200));
    EXPECT_EQ(shown.at(990, 690), QColor(40, 120, 200));
    EXPECT_NE(shown.at(140, 610), QColor(40, 120, 200));
    EXPECT_NE(shown.at(160, 590), QColor(40, 120, 200));
    synthetic::mouseUp(view, {550, 1000});
    EXPECT_EQ(delegate.scales.back(), 0.5);
}

TEST_F(MouseFixture, PanKeepsTheStraightenTurnAndUsesTheUnturnedFrame) {
    place(400, 300, 1, Rect(300, 200, 400, 300));
    view.setCropToolOn(true);
    view.rotate(0.3);
    view.setCropFrame(Rect(400, 250, 200, 150));
    // Outside the crop frame and its handles: the drag pans.
    synthetic::mouseDown(view, {100, 100});
    EXPECT_EQ(view.startCropPoint(), (Point{0, 0}));
    synthetic::mouseDragged(view, {130, 80});
    EXPECT_NEAR(view.rotationAngleRadians(), 0.3, 1e-6);
    EXPECT_FALSE(view.imageLayer().transform().isIdentity());
    view.imageLayer().setTransform(graphics::AffineTransform::identity());
    EXPECT_EQ(photoFrame(), Rect(330, 180, 400, 300));
}

TEST_F(MouseFixture, CropFrameDragKeepsFivePointsInsideTheViewBounds) {
    browser.strip = 100;
    place(4000, 3000, 0.25, Rect(0, 0, 1000, 750));
    view.setCropToolOn(true);
    // The view away from its parent's origin: the limits are the view's own rectangle.
    QWidget parent;
    parent.resize(1400, 900);
    view.setParent(&parent);
    view.move(300, 100);
    view.setCropFrame(Rect(300, 300, 300, 200));
    synthetic::mouseDown(view, {450, 400});
    EXPECT_EQ(view.cropDragCornerIndex(), std::numeric_limits<int64_t>::max());
    synthetic::mouseDragged(view, {-250, 400});
    EXPECT_EQ(view.cropFrame(), Rect(-295, 300, 300, 200));
    synthetic::mouseDragged(view, {450, -400});
    EXPECT_EQ(view.cropFrame(), Rect(300, 100 + 5 - 200, 300, 200));
    synthetic::mouseDragged(view, {1450, 1400});
    EXPECT_EQ(view.cropFrame(), Rect(995, 695, 300, 200));
    view.setParent(nullptr);
}

TEST_F(MouseFixture, CornerDragClampsThePointAndGrabsInHandleOrder) {
    browser.strip = 100;
    place(4000, 3000, 0.25, Rect(0, 0, 1000, 750));
    view.setCropToolOn(true);
    view.setCropFrame(Rect(200, 300, 400, 300));
    // lt (200, 300): dragged to (-50, 20) it stops at (5, 105).
    synthetic::mouseDown(view, {210, 310});
    EXPECT_EQ(view.cropDragCornerIndex(), 0);
    EXPECT_EQ(view.startCropPoint(), (Point{200, 300}));
    EXPECT_EQ(cursor(), view.customCropLeftCursor());
    synthetic::mouseDragged(view, {-40, 30});
    EXPECT_EQ(view.ltCornerPosition(), (Point{5, 105}));
    EXPECT_EQ(view.rbCornerPosition(), (Point{600, 600}));
    synthetic::mouseUp(view, {-40, 30});
    EXPECT_EQ(cursor(), view.customCropLeftCursor());

    struct Case {
        Point at;
        int64_t corner;
        bool left;
    } cases[] = {{{600, 300}, 1, false}, {{590, 590}, 2, true}, {{200, 600}, 3, false}};
    for (const Case& c : cases) {
        view.setCropFrame(Rect(200, 300, 400, 300));
        synthetic::mouseDown(view, c.at);
        EXPECT_EQ(view.cropDragCornerIndex(), c.corner);
        EXPECT_EQ(cursor(), c.left ? view.customCropLeftCursor() : view.customCropRightCursor());
        synthetic::mouseUp(view, c.at);
    }
    // Where two handles overlap, the first in the order lt, rt, rb, lb wins.
    view.setCropFrame(Rect(200, 300, 30, 30));
    synthetic::mouseDown(view, {215, 315});
    EXPECT_EQ(view.cropDragCornerIndex(), 0);
}

TEST_F(MouseFixture, RbCornerDragStopsFivePointsFromTheTopRight) {
    place(4000, 3000, 0.25, Rect(0, 0, 1000, 750));
    view.setCropToolOn(true);
    view.setCropFrame(Rect(200, 200, 400, 300));
    synthetic::mouseDown(view, {600, 500});
    synthetic::mouseDragged(view, {2000, 2000});
    EXPECT_EQ(view.rbCornerPosition(), (Point{995, 695}));
}

TEST_F(MouseFixture, CommandClickCentresUnlessAPreviewIsShown) {
    // Centring moves the photo by the view's change of size since its set-up.
    place(400, 300, 1, Rect(0, 0, 400, 300));
    view.centerImageAnimated(false);
    const Rect centred = photoFrame();
    ASSERT_NE(centred, Rect(0, 0, 400, 300));
    place(400, 300, 1, Rect(0, 0, 400, 300));
    synthetic::click(view, {100, 100}, Qt::ControlModifier);
    clock.advance(1);
    EXPECT_TRUE(view.autoCenterEnabled());
    EXPECT_EQ(photoFrame(), centred);

    view.setPreviewImage(picture(400, 300, Qt::red));
    clock.advance(1);
    const Rect before = photoFrame();
    synthetic::mouseDown(view, {100, 100}, Qt::ControlModifier);
    EXPECT_FALSE(view.autoCenterEnabled());
    synthetic::mouseDragged(view, {300, 300}, Qt::ControlModifier);
    EXPECT_EQ(photoFrame(), before);
}

TEST_F(MouseFixture, PreviewClickPicksTheCentreInPreviewCoordinatesUnderTheCrosshair) {
    place(400, 300, 1, Rect(0, 0, 400, 300));
    view.setPreviewImage(picture(400, 300, Qt::red));
    clock.advance(1);
    runEventLoopFor(0.01);
    const Rect preview = view.previewLayer().frame();
    // Without the crosshair under the pointer the click picks nothing.
    browser.crosshair = true;
    synthetic::click(view, {preview.minX() + 30, preview.minY() + 40});
    EXPECT_TRUE(browser.clicks.empty());
    view.mouseEntered(appkit::Event{});
    synthetic::mouseMoved(view, {preview.minX() + 30, preview.minY() + 40});
    ASSERT_EQ(cursor(), view.customCrosshairCursor());
    synthetic::click(view, {preview.minX() + 30, preview.minY() + 40});
    ASSERT_EQ(browser.clicks.size(), 1u);
    EXPECT_EQ(browser.clicks[0].first, (Point{30, 40}));
    EXPECT_EQ(browser.clicks[0].second, preview);
    // The crosshair stays while the browser wants it.
    EXPECT_EQ(cursor(), view.customCrosshairCursor());
}

TEST_F(MouseFixture, DoubleClickActsOnceByTheStoredActionAndTool) {
    struct Case {
        const char* action;
        int64_t tool;
        bool fits;
        bool reachesBrowser;
    } cases[] = {{"IMAGE FIT TO SCREEN", 0, true, false},
                 {"hide bottom menu", 0, false, true},
                 {"Hide Bottom Menu", 4, false, true},
                 {"hide bottom menu", 2, true, false},
                 {"zoom", 0, false, false}};
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    for (const Case& c : cases) {
        place(4000, 3000, 0.1, Rect(10, 10, 400, 300));
        browser.doubleClicks.clear();
        defaults.setObject(foundation::Value(c.action), "k_Double_Click_Action");
        delegate.tool = c.tool;
        synthetic::click(view, {200, 150});
        synthetic::mouse(view, QEvent::MouseButtonDblClick, {200, 150}, Qt::LeftButton, Qt::LeftButton);
        // Drags after the second press move nothing.
        synthetic::mouseDragged(view, {300, 250});
        synthetic::mouseUp(view, {300, 250});
        clock.advance(1);
        if (c.fits)
            EXPECT_NE(view.scale(), 0.1) << c.action << " " << c.tool;
        else
            EXPECT_EQ(photoFrame(), Rect(10, 10, 400, 300)) << c.action << " " << c.tool;
        EXPECT_EQ(browser.doubleClicks,
                  c.reachesBrowser ? std::vector<std::string>{c.action} : std::vector<std::string>{})
            << c.action;
    }
}

TEST_F(MouseFixture, RightClickOutsideThePictureHighEnoughAsksForTheBackgroundMenu) {
    place(400, 300, 1, Rect(300, 200, 400, 300));
    const std::pair<Point, bool> cases[] = {
        {{100, 600}, true}, {{100, 200}, false}, {{400, 300}, false}, {{800, 236}, true}};
    for (const auto& [at, asked] : cases) {
        delegate.popUps.clear();
        synthetic::mouse(view, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        synthetic::mouse(view, QEvent::MouseButtonRelease, at, Qt::RightButton);
        EXPECT_EQ(delegate.popUps.size(), asked ? 1u : 0u) << at.x << "," << at.y;
        if (asked && !delegate.popUps.empty()) {
            EXPECT_EQ(delegate.popUps[0], at);
        }
    }
}

TEST_F(MouseFixture, DisabledViewIgnoresThePointerAndTakesNoFocus) {
    place(400, 300, 1, Rect(100, 100, 400, 300));
    view.setDisabled(true);
    EXPECT_EQ(view.focusPolicy(), Qt::NoFocus);
    synthetic::mouseDown(view, {200, 200});
    synthetic::mouseDragged(view, {400, 400});
    synthetic::mouseUp(view, {400, 400});
    EXPECT_EQ(photoFrame(), Rect(100, 100, 400, 300));
    EXPECT_TRUE(delegate.scales.size() <= 1u);
    EXPECT_FALSE(view.cursorRectAt({200, 200}));
    view.setDisabled(false);
    EXPECT_EQ(view.focusPolicy(), Qt::StrongFocus);
}

// ---- Cursors

TEST_F(MouseFixture, CursorRectanglesGiveTheHandTheCrosshairAndTheCropArrows) {
    browser.strip = 100;
    place(400, 300, 1, Rect(300, 50, 400, 300));
    // The photo's hand leaves out the browser's strip at the bottom.
    EXPECT_EQ(view.cursorRectAt({500, 120})->shape(), Qt::OpenHandCursor);
    EXPECT_FALSE(view.cursorRectAt({500, 80}));
    EXPECT_FALSE(view.cursorRectAt({100, 300}));

    view.setCropToolOn(true);
    view.setCropFrame(Rect(350, 150, 200, 150));
    const std::pair<Point, const QCursor*> corners[] = {{{350, 150}, &view.customCropLeftCursor()},
                                                        {{550, 300}, &view.customCropLeftCursor()},
                                                        {{550, 150}, &view.customCropRightCursor()},
                                                        {{350, 300}, &view.customCropRightCursor()}};
    for (const auto& [at, wanted] : corners)
        EXPECT_EQ(*view.cursorRectAt(at), *wanted) << at.x << "," << at.y;
    // With the crop tool on, the hand's rectangle starts the strip's height higher.
    EXPECT_EQ(view.cursorRectAt({650, 160})->shape(), Qt::OpenHandCursor);
    EXPECT_FALSE(view.cursorRectAt({650, 140}));
    view.setCropToolOn(false);

    view.setPreviewImage(picture(400, 300, Qt::red));
    clock.advance(1);
    runEventLoopFor(0.01);
    const Rect preview = view.previewLayer().frame();
    const Point middle{preview.midX(), preview.midY()};
    // No hand while a preview is shown, and no crosshair unless the effect takes a centre.
    EXPECT_FALSE(view.cursorRectAt(middle));
    view.forceCustomCursorSet();
    EXPECT_EQ(*view.cursorRectAt(middle), view.customCrosshairCursor());
    view.setPreviewImage(nullptr);
    view.setPreviewImage(picture(400, 300, Qt::blue));
    clock.advance(1);
    runEventLoopFor(0.01);
    EXPECT_FALSE(view.forceCustomCursor());
    EXPECT_FALSE(view.cursorRectAt(middle));
    browser.crosshair = true;
    view.mouseEntered(appkit::Event{});
    EXPECT_EQ(*view.cursorRectAt(middle), view.customCrosshairCursor());
}

TEST_F(MouseFixture, TheStripIsCutAcrossTheWholeWidthOfAWideView) {
    view.resize(3000, 700);
    browser.strip = 100;
    place(400, 300, 1, Rect(2500, 50, 400, 300));
    EXPECT_FALSE(view.cursorRectAt({2700, 80}));
    EXPECT_EQ(view.cursorRectAt({2700, 120})->shape(), Qt::OpenHandCursor);
}

TEST_F(MouseFixture, PointerOverThePhotoShowsTheHandAndADragClosesIt) {
    place(400, 300, 1, Rect(300, 200, 400, 300));
    view.mouseEntered(appkit::Event{});
    synthetic::mouseMoved(view, {500, 350});
    EXPECT_EQ(cursor().shape(), Qt::OpenHandCursor);
    synthetic::mouseDown(view, {500, 350});
    EXPECT_EQ(cursor().shape(), Qt::ClosedHandCursor);
    synthetic::mouseDragged(view, {520, 360});
    EXPECT_EQ(cursor().shape(), Qt::ClosedHandCursor);
    synthetic::mouseUp(view, {520, 360});
    EXPECT_EQ(cursor().shape(), Qt::OpenHandCursor);
    synthetic::mouseUp(view, {50, 50});
    EXPECT_EQ(cursor().shape(), Qt::ArrowCursor);
}

// ---- Wheel

TEST_F(MouseFixture, WheelPansOnlyInAGestureAndZoomsOnlyWithAModifier) {
    struct Case {
        bool option, gesture, precise;
        unsigned flags;
        double deltaY;
        const char* expect; // "pan", "in", "out" or "none"
    } cases[] = {
        {false, true, true, 0, 2, "pan"},
        {false, true, false, 0, 2, "pan"},
        {false, false, true, 0, 2, "none"},
        {false, false, true, appkit::CommandKey, 2, "none"},
        {false, false, false, appkit::CommandKey, 1, "in"},
        {false, false, false, appkit::CommandKey, -1, "out"},
        {false, false, false, appkit::ShiftKey, -1, "out"},
        {false, false, false, 0, 1, "none"},
        {true, true, true, 0, 1, "in"},
        {true, false, true, 0, -1, "out"},
        {true, false, false, 0, 0, "none"},
    };
    for (const Case& c : cases) {
        place(4000, 3000, 0.25, Rect(100, 100, 1000, 750));
        if (c.gesture) view.beginGestureWithEvent(gestureEvent(appkit::EventType::BeginGesture, 0));
        view.scrollWheel(
            wheelEvent(c.deltaY, c.flags | (c.option ? unsigned(appkit::OptionKey) : 0u), c.precise));
        clock.advance(1);
        const std::string what = std::string(c.expect);
        const Rect f = photoFrame();
        if (what == "pan") {
            EXPECT_EQ(f, Rect(100, 100 + 2.5 * c.deltaY, 1000, 750));
        }
        if (what == "in") {
            EXPECT_GT(view.scale(), 0.25);
        }
        if (what == "out") {
            EXPECT_LT(view.scale(), 0.25);
        }
        if (what == "none") {
            EXPECT_EQ(view.scale(), 0.25);
            EXPECT_EQ(f, Rect(100, 100, 1000, 750));
        }
        view.endGestureWithEvent(gestureEvent(appkit::EventType::EndGesture, 0));
    }
}

TEST_F(MouseFixture, WheelDoesNothingWhileAPreviewIsShownOrDisabled) {
    place(4000, 3000, 0.25, Rect(100, 100, 1000, 750));
    view.setDisabled(true);
    view.scrollWheel(wheelEvent(1, appkit::CommandKey, false));
    EXPECT_EQ(view.scale(), 0.25);
    view.setDisabled(false);
    view.setPreviewImage(picture(4000, 3000, Qt::red));
    clock.advance(1);
    const double shown = view.scale();
    view.beginGestureWithEvent(gestureEvent(appkit::EventType::BeginGesture, 0));
    const Rect before = view.previewLayer().frame();
    view.scrollWheel(wheelEvent(1, 0, true));
    view.scrollWheel(wheelEvent(1, appkit::OptionKey, false));
    clock.advance(1);
    EXPECT_EQ(view.scale(), shown);
    EXPECT_EQ(view.previewLayer().frame(), before);
}

TEST_F(MouseFixture, ScrollPanFollowsTheDeviceDirectionAndStopsAHundredPointsIn) {
    place(4000, 3000, 0.5, Rect(100, 100, 2000, 1500));
    view.scrollFromEvent(wheelEvent(4, 0, true, false, 2));
    EXPECT_EQ(photoFrame(), Rect(95, 110, 2000, 1500));
    view.scrollFromEvent(wheelEvent(4, 0, true, true, 2));
    EXPECT_EQ(photoFrame(), Rect(100, 100, 2000, 1500));
    view.scrollFromEvent(wheelEvent(0, 0, true, true, 1000));
    EXPECT_EQ(photoFrame(), Rect(900, 100, 2000, 1500));
}

TEST_F(MouseFixture, TrackpadScrollEventsPanThroughQtDuringAGesture) {
    place(4000, 3000, 0.5, Rect(100, 100, 2000, 1500));
    synthetic::gesture(view, Qt::BeginNativeGesture, {500, 300});
    EXPECT_TRUE(view.isGestureProcessed());
    synthetic::wheel(view, {500, 300}, {QPoint(0, 40), QPoint(0, 120), Qt::ScrollUpdate});
    EXPECT_EQ(photoFrame(), Rect(100, 110, 2000, 1500));
    synthetic::gesture(view, Qt::EndNativeGesture, {500, 300});
    EXPECT_FALSE(view.isGestureProcessed());
    synthetic::wheel(view, {500, 300}, {QPoint(0, 40), QPoint(0, 120), Qt::ScrollUpdate});
    EXPECT_EQ(photoFrame(), Rect(100, 110, 2000, 1500));
    // A mouse wheel with Control (the Command key) zooms in.
    synthetic::wheel(view, {500, 300},
                     {QPoint(), QPoint(0, 120), Qt::NoScrollPhase, false, Qt::ControlModifier});
    EXPECT_GT(view.scale(), 0.5);
}

// ---- Pinch and rotation

TEST_F(MouseFixture, PinchZoomsByThreePercentAndNeverPastActualPixels) {
    struct Case {
        double scale, magnification, expected;
    } cases[] = {{0.5, 0.005, 0.5},
                 {0.5, -0.009, 0.5},
                 {0.5, 0.2, 0.5 * double(1.03f)},
                 {0.98, 0.2, 1.0},
                 {2.0, 0.2, 1.0},
                 {0.5, -0.2, 0.5 / double(1.03f)},
                 {0.5, 0.0100001, 0.5 * double(1.03f)}};
    for (const Case& c : cases) {
        place(4000, 3000, c.scale, Rect(100, 100, 4000 * c.scale, 3000 * c.scale));
        view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, c.magnification));
        EXPECT_TRUE(view.isZoomingProcessed());
        EXPECT_DOUBLE_EQ(view.scale(), c.expected) << c.scale << " " << c.magnification;
        if (c.expected != c.scale) {
            const Rect f = photoFrame();
            EXPECT_EQ(f.width(), 4000 * c.expected);
            EXPECT_NEAR(f.midX(), 100 + 2000 * c.scale, 0.5 + 1e-9);
        }
        view.endGestureWithEvent(gestureEvent(appkit::EventType::EndGesture, 0));
    }
}

TEST_F(MouseFixture, PinchOutSetsTheFreeOperationAndRecentresALostPhoto) {
    place(4000, 3000, 0.5, Rect(-1950, 100, 2000, 1500));
    view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, -0.5));
    EXPECT_EQ(view.operation(), 0);
    EXPECT_LT(photoFrame().midX(), 0);
    const double zoomedMidX = photoFrame().midX();
    clock.advance(0.01);
    runEventLoopUntil([&] { return view.operation() == 7; }, 1);
    clock.advance(1);
    runEventLoopFor(0.01);
    clock.advance(1);
    EXPECT_EQ(view.operation(), 7);
    // The centring's move: the view's change of width since its set-up, halved.
    EXPECT_NEAR(photoFrame().midX(), zoomedMidX + (1000 - view.previousBoundsRect().width()) / 2, 1);
}

TEST_F(MouseFixture, PinchOverAHugeLayerOrAPreviewDoesNothing) {
    place(400, 300, 0.9, Rect(0, 0, 10800, 7200));
    view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, 0.5));
    EXPECT_EQ(view.scale(), 0.9);
}

TEST_F(MouseFixture, PinchRedrawsThePhotoOnceAfterTheLastEvent) {
    place(4000, 3000, 0.5, Rect(100, 100, 2000, 1500));
    const QObject* target = &view;
    for (int i = 0; i < 5; ++i)
        view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, 0.2));
    EXPECT_EQ(appkit::DeferredCall::pendingCount(target, "delayedSetNeedDisplayForImageLayer"), 1);
}

TEST_F(MouseFixture, RotateGestureStraightensOnlyWithTheCropToolAndExcludesThePinch) {
    std::vector<std::string> posted;
    int observer = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        &observer, "kAngleDegreesChanged", nullptr,
        [&](const foundation::Notification& n) { posted.push_back(n.name); });
    place(400, 300, 1, Rect(300, 200, 400, 300));
    view.rotateWithEvent(gestureEvent(appkit::EventType::Rotate, 20));
    EXPECT_EQ(view.rotationAngleRadians(), 0);
    EXPECT_TRUE(posted.empty());

    view.setCropToolOn(true);
    view.beginGestureWithEvent(gestureEvent(appkit::EventType::BeginGesture, 0));
    view.rotateWithEvent(gestureEvent(appkit::EventType::Rotate, 20));
    EXPECT_NEAR(view.rotationAngleRadians(), 0.5, 1e-7);
    EXPECT_EQ(posted.size(), 1u);
    view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, 0.5));
    EXPECT_EQ(view.scale(), 1);
    view.endGestureWithEvent(gestureEvent(appkit::EventType::EndGesture, 0));
    EXPECT_FALSE(view.isRotationProcessed());
    EXPECT_EQ(delegate.finalized, 0);

    view.magnifyWithEvent(gestureEvent(appkit::EventType::Magnify, -0.5));
    view.rotateWithEvent(gestureEvent(appkit::EventType::Rotate, 20));
    EXPECT_NEAR(view.rotationAngleRadians(), 0.5, 1e-7);
    view.endGestureWithEvent(gestureEvent(appkit::EventType::EndGesture, 0));
    foundation::NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST_F(MouseFixture, QtRotationGestureTurnsTheOtherWayOnScreen) {
    place(400, 300, 1, Rect(300, 200, 400, 300));
    view.setCropToolOn(true);
    synthetic::gesture(view, Qt::RotateNativeGesture, {500, 300}, 40);
    EXPECT_NEAR(view.rotationAngleRadians(), -1, 1e-7);
    synthetic::gesture(view, Qt::EndNativeGesture, {500, 300});
    synthetic::gesture(view, Qt::ZoomNativeGesture, {500, 300}, -0.2);
    EXPECT_LT(view.scale(), 1);
}

TEST_F(MouseFixture, TurnAfterAGestureEndsWhereThePictureIsTurned) {
    place(400, 300, 1, Rect(300, 200, 400, 300));
    const graphics::ImagePtr before = view.image();
    view.applyRotationByAngle(-90);
    EXPECT_EQ(view.countRotations(), 1u);
    EXPECT_EQ(view.rotationAngleRadians(), 0);
    ASSERT_NE(view.image(), before);
    EXPECT_EQ(view.image()->width(), 300);
    const auto* turn =
        dynamic_cast<const quartz::BasicAnimation*>(view.imageLayer().animation("animateLayer"));
    ASSERT_TRUE(turn);
    EXPECT_NEAR(std::get<double>(*turn->toValue()), -M_PI / 2, 1e-6);
    EXPECT_EQ(turn->duration(), double(0.1f));
}

// ---- Drops

struct DropFixture : MouseFixture {
    TemporaryDirectory folder;
    std::string png, text;
    DropFixture() {
        png = folder.file("photo.png");
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::green);
        image.save(QString::fromStdString(png));
        text = folder.file("notes.png");
        QFile file(QString::fromStdString(text));
        file.open(QIODevice::WriteOnly);
        file.write("not a picture at all");
        file.close();
        view.setAcceptDrops(true);
    }
    static std::unique_ptr<QMimeData> files(const std::string& path) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        return data;
    }
    // Qt's three steps of a drop as the window system delivers them; answers whether it was taken.
    bool drop(const QMimeData& data, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
        const QPointF at(200, 200);
        QDragEnterEvent enter(at.toPoint(), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &enter);
        if (!enter.isAccepted()) return false;
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent dropped(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &dropped);
        return dropped.isAccepted();
    }
};

TEST_F(DropFixture, APhotoFileReachesTheDelegatesOpenCall) {
    const auto data = files(png);
    EXPECT_EQ(view.draggingEntered(data.get(), true), 1);
    EXPECT_TRUE(drop(*data));
    EXPECT_EQ(delegate.opened, std::vector<std::string>{png});
}

TEST_F(DropFixture, UnreadableOrUnwantedDropsAreRefusedAtEveryStage) {
    const auto notPicture = files(text);
    auto words = std::make_unique<QMimeData>();
    words->setText("hello");
    for (const QMimeData* data : {notPicture.get(), words.get()}) {
        EXPECT_EQ(view.draggingEntered(data, true), 0);
        EXPECT_FALSE(view.prepareForDragOperation(data));
        EXPECT_FALSE(view.performDragOperation(data));
        EXPECT_FALSE(drop(*data));
    }
    const auto photo = files(png);
    // A source that only moves, a delegate that does not read pasteboards, or none at all.
    EXPECT_EQ(view.draggingEntered(photo.get(), false), 0);
    EXPECT_FALSE(drop(*photo, Qt::MoveAction));
    delegate.reads = false;
    EXPECT_TRUE(view.prepareForDragOperation(photo.get()));
    EXPECT_FALSE(view.performDragOperation(photo.get()));
    view.setDelegate(nullptr);
    EXPECT_EQ(view.draggingEntered(photo.get(), true), 0);
    EXPECT_FALSE(drop(*photo));
    EXPECT_TRUE(delegate.opened.empty());
}
