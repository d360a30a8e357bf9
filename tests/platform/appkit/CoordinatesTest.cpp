#include "platform/appkit/Coordinates.h"

#include "support/UiApplication.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

using appkit::fromAppKit;
using appkit::toAppKit;
using graphics::Point;
using graphics::Rect;

TEST(Coordinates, RectanglesFlipAgainstTheParentHeightAndRoundTrip) {
    struct Case {
        Rect yUp;
        double parentHeight;
        QRectF qt;
    };
    const Case cases[] = {
        {Rect(10, 20, 30, 40), 100, QRectF(10, 40, 30, 40)},
        {Rect(0, 0, 50, 100), 100, QRectF(0, 0, 50, 100)},             // fills the parent
        {Rect(0, 90, 50, 10), 100, QRectF(0, 0, 50, 10)},              // strip along the top
        {Rect(0, 0, 50, 10), 100, QRectF(0, 90, 50, 10)},              // strip along the bottom
        {Rect(-5, -7, 12.5, 3.25), 40, QRectF(-5, 43.75, 12.5, 3.25)}, // outside, fractional
        {Rect(10, 50, 20, -30), 100, QRectF(10, 50, 20, 30)},          // negative height standardised
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parentHeight);
        EXPECT_EQ(fromAppKit(c.yUp, c.parentHeight), c.qt);
        EXPECT_EQ(toAppKit(c.qt, c.parentHeight), c.yUp.standardized());
        EXPECT_EQ(toAppKit(fromAppKit(c.yUp, c.parentHeight), c.parentHeight), c.yUp);
    }
}

TEST(Coordinates, PointsFlipExactlyAndRoundTrip) {
    const Point points[] = {{0, 0}, {5, 50}, {12.25, 0.5}, {-3, 70}};
    for (const Point p : points) {
        const QPointF q = fromAppKit(p, 50);
        EXPECT_EQ(q, QPointF(p.x, 50 - p.y));
        EXPECT_EQ(toAppKit(q, 50), p);
    }
    // The bottom-left corner of a view is Qt's bottom edge, its top-left is Qt's origin.
    EXPECT_EQ(fromAppKit(Point{0, 0}, 80), QPointF(0, 80));
    EXPECT_EQ(fromAppKit(Point{0, 80}, 80), QPointF(0, 0));
}

TEST(Coordinates, NestedFramesPlaceWidgetsAndReadBack) {
    QApplication& app = uiApplication();
    (void)app;
    QWidget window;
    window.resize(300, 200);
    auto* panel = new QWidget(&window);
    auto* button = new QWidget(panel);
    appkit::setFrame(*panel, Rect(50, 40, 200, 100));
    appkit::setFrame(*button, Rect(10, 10, 20, 30));

    EXPECT_EQ(panel->geometry(), QRect(50, 60, 200, 100));
    EXPECT_EQ(button->geometry(), QRect(10, 60, 20, 30));
    EXPECT_EQ(appkit::frame(*panel), Rect(50, 40, 200, 100));
    EXPECT_EQ(appkit::frame(*button), Rect(10, 10, 20, 30));
    // Frames add up level by level: the button's bottom-left lies at (60, 50) in the window.
    const QPointF corner = button->mapTo(&window, QPointF(0, button->height()));
    EXPECT_EQ(toAppKit(corner, window.height()), (Point{60, 50}));

    // Growing the parent keeps a y-up frame's distance from the bottom, not from the top.
    panel->resize(200, 140);
    appkit::setFrame(*button, Rect(10, 10, 20, 30));
    EXPECT_EQ(button->geometry(), QRect(10, 100, 20, 30));
}

TEST(Coordinates, WindowFramesAreMeasuredFromTheBottomOfTheScreen) {
    QApplication& app = uiApplication();
    (void)app;
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    QWidget window;
    appkit::setFrame(window, Rect(100, 40, 300, 200));
    EXPECT_EQ(window.geometry(), QRect(100, screenHeight - 240, 300, 200));
    EXPECT_EQ(appkit::frame(window), Rect(100, 40, 300, 200));
}

TEST(Coordinates, PixelFramesRoundEachEdgeSoSharedEdgesStayShared) {
    const QRect lower = appkit::pixelRectFromAppKit(Rect(0, 0, 10, 10.4), 20);
    const QRect upper = appkit::pixelRectFromAppKit(Rect(0, 10.4, 10, 9.6), 20);
    EXPECT_EQ(lower, QRect(0, 10, 10, 10));
    EXPECT_EQ(upper, QRect(0, 0, 10, 10));
    EXPECT_EQ(upper.bottom() + 1, lower.top());
    // A frame at x 0.4 with width 0.3 keeps its rounded right edge, not a rounded width.
    EXPECT_EQ(appkit::pixelRectFromAppKit(Rect(0.4, 0, 0.3, 1), 1).width(), 1);
}

// The drop shadow's offset (5, -5) moves the shadow right and down on screen, both when the
// offset is converted and when it is drawn through the y-up painter transform.
TEST(Coordinates, ShadowOffsetFiveMinusFiveLandsRightAndDown) {
    EXPECT_EQ(appkit::offsetFromAppKit(5, -5), QPointF(5, 5));
    EXPECT_EQ(appkit::offsetFromAppKit(1, -1), QPointF(1, 1));

    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setTransform(appkit::yUpTransform(40));
        p.fillRect(QRectF(10, 10, 1, 1), Qt::red);
        p.translate(5, -5);
        p.fillRect(QRectF(10, 10, 1, 1), Qt::blue);
    }
    // y-up (10, 10)-(11, 11) is Qt row 29; the shadow five right and five lower.
    EXPECT_EQ(image.pixelColor(10, 29), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(15, 34), QColor(Qt::blue));

    QImage plain(40, 40, QImage::Format_ARGB32);
    plain.fill(Qt::white);
    {
        QPainter p(&plain);
        p.translate(appkit::offsetFromAppKit(5, -5));
        p.fillRect(fromAppKit(Rect(10, 10, 1, 1), 40), Qt::blue);
    }
    EXPECT_EQ(plain.pixelColor(15, 34), QColor(Qt::blue));
}
