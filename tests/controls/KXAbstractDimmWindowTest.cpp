// The services framework's window base: its pattern background and the veil of the dimmed state.
#include "controls/KXAbstractDimmWindow.h"

#include "support/UiApplication.h"

#include <gtest/gtest.h>

namespace {

struct DimmWindow : ::testing::Test {
    QApplication& app = uiApplication();
    KXAbstractDimmWindow window;

    DimmWindow() {
        QImage pattern(4, 4, QImage::Format_ARGB32_Premultiplied);
        pattern.fill(QColor(200, 180, 160));
        pattern.setPixelColor(0, 0, QColor(20, 40, 60));
        window.setPatternImage(pattern);
        window.resize(64, 48);
    }
    QImage shown() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(DimmWindow, DimmingVeilsThePatternAndUndimmingRestoresEveryPixel) {
    const QImage before = shown();
    ASSERT_EQ(before.size(), QSize(64, 48));
    EXPECT_EQ(before.pixelColor(1, 46), QColor(200, 180, 160));

    window.setDimmed(true);
    EXPECT_TRUE(window.isDimmed());
    const QImage dimmed = shown();
    for (const QPoint at : {QPoint(1, 46), QPoint(32, 24), QPoint(63, 0)}) {
        const QColor a = before.pixelColor(at), b = dimmed.pixelColor(at);
        EXPECT_LT(b.red(), a.red()) << at.x() << "," << at.y();
        EXPECT_LT(b.green(), a.green()) << at.x() << "," << at.y();
        EXPECT_LT(b.blue(), a.blue()) << at.x() << "," << at.y();
    }

    window.setDimmed(false);
    EXPECT_FALSE(window.isDimmed());
    EXPECT_EQ(shown(), before);
}

} // namespace
