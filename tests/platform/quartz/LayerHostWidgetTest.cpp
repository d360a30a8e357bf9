#include "platform/quartz/LayerHostWidget.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/quartz/AnimationDelegate.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/LayerDelegate.h"
#include "platform/quartz/Transaction.h"
#include "support/UiApplication.h"
#include "support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPainter>

using namespace quartz;
using graphics::Point;
using graphics::Rect;

namespace {

struct HostFixture : ::testing::Test {
    QApplication& app = uiApplication();
    VirtualClock clock;
    LayerHostWidget host;
    HostFixture() {
        host.resize(200, 100);
        host.setAutoFillBackground(true);
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, Qt::black);
        host.setPalette(palette);
        Transaction::begin();
        Transaction::setDisableActions(true);
    }
    ~HostFixture() override { Transaction::commit(); }

    std::shared_ptr<Layer> addLayer(const Rect& frame) {
        auto layer = std::make_shared<Layer>();
        host.layer().addSublayer(layer);
        layer->setFrame(frame);
        return layer;
    }
    QImage grab() { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// Top half blue, bottom half green.
std::shared_ptr<const QImage> twoBands(int w, int h) {
    auto image = std::make_shared<QImage>(w, h, QImage::Format_RGB32);
    QPainter p(image.get());
    p.fillRect(0, 0, w, h / 2, Qt::blue);
    p.fillRect(0, h / 2, w, h - h / 2, Qt::green);
    return image;
}

} // namespace

TEST_F(HostFixture, FramesAreYUpAndContentsStayUpright) {
    auto red = addLayer(Rect(0, 0, 50, 50));
    red->setBackgroundColor(Qt::red);
    auto picture = addLayer(Rect(100, 0, 100, 100));
    picture->setContents(twoBands(10, 10));
    const QImage shot = grab();
    EXPECT_EQ(shot.pixelColor(10, 90), QColor(Qt::red)); // bottom left on screen
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(150, 10), QColor(Qt::blue)); // the picture's top row on top
    EXPECT_EQ(shot.pixelColor(150, 90), QColor(Qt::green));
}

TEST_F(HostFixture, ShadowOffsetFiveMinusFiveFallsRightAndDown) {
    auto layer = addLayer(Rect(75, 25, 50, 50));
    layer->setBackgroundColor(Qt::white);
    layer->setShadowColor(Qt::red);
    layer->setShadowOpacity(1);
    layer->setShadowRadius(0);
    layer->setShadowOffset(graphics::Size(5, -5));
    const QImage shot = grab();
    // Screen rectangle of the layer: x 75..125, y 25..75.
    EXPECT_EQ(shot.pixelColor(127, 60), QColor(Qt::red));   // right
    EXPECT_EQ(shot.pixelColor(100, 77), QColor(Qt::red));   // below
    EXPECT_EQ(shot.pixelColor(72, 50), QColor(Qt::black));  // not left
    EXPECT_EQ(shot.pixelColor(100, 22), QColor(Qt::black)); // not above
    EXPECT_EQ(shot.pixelColor(100, 50), QColor(Qt::white));
}

TEST_F(HostFixture, BlurredShadowFadesOutward) {
    auto layer = addLayer(Rect(75, 25, 50, 50));
    layer->setBackgroundColor(Qt::white);
    layer->setShadowColor(Qt::red);
    layer->setShadowOpacity(1);
    layer->setShadowRadius(8);
    layer->setShadowOffset(graphics::Size(0, 0));
    const QImage shot = grab();
    const int near = shot.pixelColor(127, 50).red(), far = shot.pixelColor(134, 50).red();
    EXPECT_GT(near, far);
    EXPECT_GT(far, 0);
    EXPECT_LT(near, 255);
}

TEST_F(HostFixture, RunningOpacityAnimationPaintsItsPresentationValue) {
    auto layer = addLayer(Rect(0, 0, 200, 100));
    layer->setBackgroundColor(Qt::white);
    BasicAnimation fade("opacity");
    fade.setFromValue(0.0);
    fade.setToValue(1.0);
    fade.setDuration(1);
    layer->addAnimation(fade, "fade");
    EXPECT_EQ(grab().pixelColor(100, 50), QColor(Qt::black));
    clock.advance(0.5);
    EXPECT_NEAR(grab().pixelColor(100, 50).red(), 128, 2);
    clock.advance(0.5);
    EXPECT_EQ(grab().pixelColor(100, 50), QColor(Qt::white));
}

TEST_F(HostFixture, LargeContentsDrawnSmallKeepTheirMeanColour) {
    // A fine checkerboard of red and blue, 800 pixels drawn into 100: purple, not aliased stripes.
    auto image = std::make_shared<QImage>(800, 800, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x)
            image->setPixel(x, y, ((x + y) & 1) ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    auto layer = addLayer(Rect(50, 0, 100, 100));
    layer->setContents(image);
    for (int pass = 0; pass < 2; ++pass) { // the second frame draws the kept scaled picture
        const QColor c = grab().pixelColor(100, 50);
        EXPECT_NEAR(c.red(), 128, 3) << pass;
        EXPECT_NEAR(c.blue(), 128, 3) << pass;
    }
    // New contents are drawn, not the kept picture of the old ones.
    auto green = std::make_shared<QImage>(800, 800, QImage::Format_RGB32);
    green->fill(Qt::green);
    layer->setContents(green);
    EXPECT_EQ(grab().pixelColor(100, 50), QColor(Qt::green));
}

// Opaque R,G,B,X contents are halved as they are and converted only at the level drawn; halving
// and the shadow's blur run on several threads. None of it may change a pixel on screen.
TEST_F(HostFixture, RGBXContentsAndThreadCountsPaintTheSamePixels) {
    QImage argb(1203, 601, QImage::Format_ARGB32_Premultiplied); // odd sides: halving repeats edges
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            argb.setPixel(x, y, qRgb((x * 7 + y) & 255, (x ^ y) & 255, (x * y) & 255));
    auto layer = addLayer(Rect(20, 10, 150, 75));
    layer->setShadowColor(Qt::red);
    layer->setShadowOpacity(1);
    layer->setShadowRadius(6);
    auto shot = [&](QImage contents, unsigned threads) {
        graphics::setParallelThreads(threads);
        layer->setContents(std::make_shared<const QImage>(std::move(contents)));
        QImage s = grab();
        graphics::setParallelThreads(0);
        return s;
    };
    const QImage reference = shot(argb, 1);
    EXPECT_EQ(shot(argb.convertToFormat(QImage::Format_RGBX8888), 1), reference);
    EXPECT_EQ(shot(argb.convertToFormat(QImage::Format_RGBX8888), 4), reference);
    EXPECT_EQ(shot(argb, 4), reference);
}

TEST_F(HostFixture, DelegateDrawsYUpOnlyWhenAskedAndContentsAreKeptUntilThen) {
    struct Painter : LayerDelegate {
        int calls = 0;
        QColor colour = Qt::yellow;
        void drawLayer(Layer& layer, QPainter& painter) override {
            ++calls;
            const Rect b = layer.bounds();
            painter.fillRect(QRectF(b.minX(), b.minY(), b.width(), b.height() / 2), colour); // lower half
        }
    } delegate;
    auto layer = addLayer(Rect(0, 0, 200, 100));
    layer->setDelegate(&delegate);
    layer->setNeedsDisplay();
    QImage shot = grab();
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(shot.pixelColor(100, 90), QColor(Qt::yellow));
    EXPECT_EQ(shot.pixelColor(100, 10), QColor(Qt::black));
    const Contents drawn = layer->contents();
    delegate.colour = Qt::cyan;
    shot = grab();
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(layer->contents(), drawn);
    EXPECT_EQ(shot.pixelColor(100, 90), QColor(Qt::yellow));
    layer->setNeedsDisplay();
    shot = grab();
    EXPECT_EQ(delegate.calls, 2);
    EXPECT_NE(layer->contents(), drawn);
    EXPECT_EQ(shot.pixelColor(100, 90), QColor(Qt::cyan));
}

TEST_F(HostFixture, SublayersPaintInZOrderInsideTheirSuperlayersSpace) {
    auto parent = addLayer(Rect(100, 0, 100, 100));
    parent->setBounds(Rect(-50, -50, 100, 100)); // the centre is the origin of its space
    auto low = std::make_shared<Layer>(), high = std::make_shared<Layer>();
    high->setZPosition(1);
    parent->addSublayer(high);
    parent->addSublayer(low);
    low->setFrame(Rect(-50, -50, 50, 50));
    high->setFrame(Rect(-25, -50, 50, 50));
    low->setBackgroundColor(Qt::red);
    high->setBackgroundColor(Qt::blue);
    const QImage shot = grab();
    EXPECT_EQ(shot.pixelColor(110, 90), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(140, 90), QColor(Qt::blue)); // above the later-added low layer
    EXPECT_EQ(shot.pixelColor(110, 10), QColor(Qt::black));
}

TEST_F(HostFixture, RootFollowsTheWidgetAndChangesAskForARepaint) {
    host.resize(300, 120);
    EXPECT_EQ(host.layer().frame(), Rect(0, 0, 300, 120));
    EXPECT_TRUE(host.layer().animationKeys().empty());
}

TEST_F(HostFixture, DelegateMaySetContentsItselfInsteadOfDrawing) {
    struct Giver : LayerDelegate {
        Contents picture = twoBands(4, 4);
        int draws = 0;
        bool displayLayer(Layer& layer) override {
            layer.setContents(picture);
            return true;
        }
        void drawLayer(Layer&, QPainter&) override { ++draws; }
    } delegate;
    auto layer = addLayer(Rect(0, 0, 200, 100));
    layer->setDelegate(&delegate);
    layer->setNeedsDisplay();
    const QImage shot = grab();
    EXPECT_EQ(layer->contents(), delegate.picture);
    EXPECT_EQ(delegate.draws, 0);
    EXPECT_EQ(shot.pixelColor(100, 10), QColor(Qt::blue));
}

// On the real clock the event loop drives the ticks: the animation ends and is reported, and
// the host repaints meanwhile.
TEST(RealClock, EventLoopRunsAnimationsToTheirEnd) {
    QApplication& app = uiApplication();
    (void)app;
    ASSERT_FALSE(quartz::Clock::isVirtual());
    LayerHostWidget host;
    host.resize(100, 100);
    struct Done : AnimationDelegate {
        bool finished = false;
        int stops = 0;
        void animationDidStop(Animation*, bool f) override {
            ++stops;
            finished = f;
        }
    } done;
    auto layer = std::make_shared<Layer>();
    host.layer().addSublayer(layer);
    BasicAnimation fade("opacity");
    fade.setFromValue(0.0);
    fade.setDuration(0.08);
    fade.setDelegate(&done);
    layer->addAnimation(fade, "fade");
    QElapsedTimer timer;
    timer.start();
    while (done.stops == 0 && timer.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(done.stops, 1);
    EXPECT_TRUE(done.finished);
    EXPECT_TRUE(layer->animationKeys().empty());
}

TEST_F(HostFixture, ShadowAndContentsFollowALayerWhoseSizeIsAnimating) {
    auto layer = addLayer(Rect(50, 0, 100, 100));
    layer->setContents(twoBands(400, 400));
    layer->setShadowColor(Qt::red);
    layer->setShadowOpacity(1);
    layer->setShadowRadius(0);
    layer->setShadowOffset(graphics::Size(5, -5));
    BasicAnimation grow("bounds");
    grow.setFromValue(Rect(0, 0, 40, 40));
    grow.setDuration(1);
    layer->addAnimation(grow, "grow");
    grab();             // the shadow is made at the first size
    clock.advance(0.5); // 70 x 70 about the centre (100, 50): screen x 65..135, y 15..85
    const QImage shot = grab();
    EXPECT_EQ(shot.pixelColor(137, 60), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(100, 87), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(62, 50), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(100, 25), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(100, 75), QColor(Qt::green));
}
