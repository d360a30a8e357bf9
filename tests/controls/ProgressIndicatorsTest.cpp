#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/VQProgressBar.h"
#include "support/UiApplication.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class Progress : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
};

QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() != 0) return false;
    return true;
}

} // namespace

TEST_F(Progress, BarFillsItsShareOfTheRange) {
    struct Case {
        double min, max, value, filled;
    } cases[] = {
        {0, 100, 50, 100},  {0, 100, 150, 200}, {0, 100, 0, 0},    {0, 100, -5, 0},
        {0, 100, 33.3, 67}, {10, 10, 20, 200},  {20, 10, 30, 200}, {10, 30, 15, 50},
    };
    for (const Case& c : cases) {
        VQProgressBar bar;
        bar.setMinValue(c.min);
        bar.setMaxValue(c.max);
        bar.setDoubleValue(c.value);
        EXPECT_EQ(bar.filledWidth(200), c.filled) << c.min << " " << c.max << " " << c.value;
    }
}

TEST_F(Progress, BarShowsTheDeepEndOfTheGradientAtItsRightEnd) {
    VQProgressBar bar;
    bar.resize(200, 10);
    EXPECT_TRUE(blank(rendered(bar)));
    bar.setDoubleValue(50);
    QImage shown = rendered(bar);
    const QColor end = shown.pixelColor(99, 5), start = shown.pixelColor(0, 5);
    EXPECT_NEAR(end.red(), 253, 2);
    EXPECT_NEAR(end.green(), 131, 3);
    EXPECT_NEAR(end.blue(), 22, 2);
    EXPECT_NEAR(start.green(), 166, 3); // half way along the gradient
    EXPECT_EQ(shown.pixelColor(100, 5).alpha(), 0);
    EXPECT_EQ(shown.pixelColor(150, 5).alpha(), 0);
    bar.setDoubleValue(100);
    shown = rendered(bar);
    EXPECT_NEAR(shown.pixelColor(1, 5).green(), 201, 3);
    EXPECT_LT(shown.pixelColor(0, 0).alpha(), 255); // the rounded corner
}

TEST_F(Progress, SpinnerPhaseIsClampedAndObjectValuesSwitchIt) {
    AMIndeterminateProgressIndicatorCell spinner;
    EXPECT_EQ(spinner.doubleValue(), 0);
    EXPECT_DOUBLE_EQ(spinner.animationDelay(), 1.0 / 12);
    EXPECT_TRUE(spinner.isDisplayedWhenStopped());
    EXPECT_FALSE(spinner.isSpinning());
    EXPECT_EQ(spinner.color(), QColor(Qt::white));
    spinner.setDoubleValue(1.3);
    EXPECT_EQ(spinner.doubleValue(), 1.0);
    spinner.setDoubleValue(-0.2);
    EXPECT_EQ(spinner.doubleValue(), 0.0);
    struct Case {
        QVariant value;
        bool spinning;
    } cases[] = {{true, true}, {1, true}, {0, false}, {QString("yes"), false}, {QVariant(), false}};
    for (const Case& c : cases) {
        spinner.setSpinning(!c.spinning);
        spinner.setObjectValue(c.value);
        EXPECT_EQ(spinner.isSpinning(), c.spinning) << c.value.toString().toStdString();
    }
}

TEST_F(Progress, SpokeGeometryFollowsTheSize) {
    struct Case {
        double size, inner, outer, width;
    } cases[] = {
        {16, 4.32, 7.68, 1.28}, {40, 9.2, 15.2, 3.2}, {32, 7.36, 12.16, 2.56}, {31, 8.37, 14.88, 2.48}};
    for (const Case& c : cases) {
        AMIndeterminateProgressIndicatorCell spinner;
        const auto spokes = spinner.spokesInFrame(QRectF(0, 0, c.size + 10, c.size), false);
        ASSERT_EQ(spokes.spokes.size(), 12u);
        EXPECT_NEAR(spokes.lineWidth, c.width, 1e-9);
        const QPointF centre(c.size / 2, c.size / 2); // left-aligned in a wider frame
        for (const auto& spoke : spokes.spokes) {
            EXPECT_NEAR(QLineF(centre, spoke.line.p1()).length(), c.inner, 1e-9) << c.size;
            EXPECT_NEAR(QLineF(centre, spoke.line.p2()).length(), c.outer, 1e-9) << c.size;
        }
        EXPECT_DOUBLE_EQ(spokes.spokes[0].alpha, 1.0);
        EXPECT_DOUBLE_EQ(spokes.spokes[4].alpha, 0.5);
        EXPECT_NEAR(spokes.spokes[11].alpha, 0.1708, 1e-4);
    }
}

TEST_F(Progress, SpokeAnglesByPhaseAndFlip) {
    const auto angleOf = [](const QLineF& line) {
        return std::fmod(std::atan2(line.dy(), line.dx()) * 180 / M_PI + 720, 360);
    };
    struct Case {
        bool spinning;
        double value;
        bool flipped;
        double first, second;
    } cases[] = {
        {false, 0.5, false, 270, 300},                             // stopped: always from 270
        {true, 0, false, 270, 300},    {true, 0.25, false, 0, 30}, // step 3
        {true, 0.25, true, 0, 330},    {true, 1, false, 270, 300}, // step 12 is a whole turn
    };
    for (const Case& c : cases) {
        AMIndeterminateProgressIndicatorCell spinner;
        spinner.setSpinning(c.spinning);
        spinner.setDoubleValue(c.value);
        const auto spokes = spinner.spokesInFrame(QRectF(0, 0, 20, 20), c.flipped);
        EXPECT_NEAR(std::fmod(angleOf(spokes.spokes[0].line) + 0.5, 360) - 0.5, c.first, 1e-6) << c.value;
        EXPECT_NEAR(angleOf(spokes.spokes[1].line), c.second, 1e-6) << c.value;
    }
}

TEST_F(Progress, SpinnerDrawsNothingWhenStoppedAndHidden) {
    AMIndeterminateProgressIndicatorCell spinner;
    spinner.resize(40, 40);
    QImage shown = rendered(spinner);
    // Stopped but shown: the leading spoke points down on screen.
    EXPECT_GT(shown.pixelColor(20, 32).alpha(), 200);
    EXPECT_LT(shown.pixelColor(20, 8).alpha(), shown.pixelColor(20, 32).alpha());
    EXPECT_EQ(shown.pixelColor(20, 20).alpha(), 0);
    spinner.setDisplayedWhenStopped(false);
    EXPECT_TRUE(spinner.spokesInFrame(QRectF(0, 0, 40, 40), false).spokes.empty());
    EXPECT_TRUE(blank(rendered(spinner)));
    spinner.setSpinning(true);
    EXPECT_FALSE(blank(rendered(spinner)));
}

TEST_F(Progress, SpinnerColourComponentsAreKept) {
    AMIndeterminateProgressIndicatorCell spinner;
    spinner.resize(40, 40);
    spinner.setColor(QColor(255, 0, 0, 10)); // alpha is not used
    const QColor leading = rendered(spinner).pixelColor(20, 32);
    EXPECT_GT(leading.alpha(), 200);
    EXPECT_GT(leading.red(), 200);
    EXPECT_EQ(leading.green(), 0);
}
