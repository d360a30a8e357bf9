#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QPainter>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A main bundle of our own with its Textures.bundle.
class Bundles : public ::testing::Test {
  protected:
    void SetUp() override { uiApplication(); }
    void put(const std::string& relative, QColor colour, int size = 4) {
        ASSERT_TRUE(filled(size, size, colour).save(QString::fromStdString(dir.file(relative))));
    }
    TestSkins dir;
};

} // namespace

TEST_F(Bundles, MainBundleWinsAndSharedBundleFillsIn) {
    put("knob.png", Qt::red);
    put("Textures.bundle/knob.png", Qt::blue);
    put("Textures.bundle/paper.png", Qt::green);
    EXPECT_EQ(imageNamedAdditional("knob", 1).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(imageNamedAdditional("paper", 1).pixelColor(0, 0), QColor(Qt::green));
    EXPECT_FALSE(SharedBundle::resourcesBundlePath().empty());
}

TEST_F(Bundles, DoubleDensityPrefersTheTwiceSizedPictureAndEachStandsInForTheOther) {
    put("button.png", Qt::red, 10);
    put("button@2x.png", Qt::blue, 20);
    put("onlyone.png", Qt::green, 10);
    const QImage two = imageNamedAdditional("button", 2);
    EXPECT_EQ(two.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    EXPECT_EQ(TileDrawing::pointSize(two), QSizeF(10, 10));
    EXPECT_EQ(imageNamedAdditional("button", 1).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(imageNamedAdditional("onlyone", 2).devicePixelRatio(), 1.0);
}

TEST_F(Bundles, MissingNameGivesANullPicture) {
    EXPECT_TRUE(imageNamedAdditional("nothing_by_this_name", 1).isNull());
    EXPECT_TRUE(imageNamedAdditional("nothing_by_this_name", 1).isNull()); // cached, no crash
    EXPECT_TRUE(imageNamedAdditional("", 1).isNull());
}

TEST(TileDrawing, ThreePartCapsKeepTheirWidthAndTheCentreStretches) {
    uiApplication();
    QImage canvas = filled(100, 20, Qt::white);
    {
        QPainter painter(&canvas);
        TileDrawing::drawThreePartImage(painter, QRectF(0, 0, 100, 20), filled(10, 10, Qt::red),
                                        filled(1, 10, Qt::green), filled(6, 10, Qt::blue));
    }
    struct Probe {
        int x, y;
        QColor colour;
    };
    const Probe probes[] = {{0, 10, Qt::red},   {9, 10, Qt::red},   {10, 10, Qt::green}, {93, 10, Qt::green},
                            {94, 10, Qt::blue}, {99, 10, Qt::blue}, {50, 2, Qt::white},  {50, 17, Qt::white},
                            {50, 5, Qt::green}, {50, 14, Qt::green}};
    for (const Probe& p : probes)
        EXPECT_EQ(canvas.pixelColor(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(TileDrawing, NinePartCornersKeepTheirSize) {
    uiApplication();
    QImage tiles[9];
    const QColor colours[9] = {Qt::red,    Qt::green, Qt::blue,  Qt::cyan,   Qt::magenta,
                               Qt::yellow, Qt::gray,  Qt::black, Qt::darkRed};
    for (int i = 0; i < 9; ++i)
        tiles[i] = filled(4, 4, colours[i]);
    QImage canvas = filled(40, 30, Qt::white);
    {
        QPainter painter(&canvas);
        TileDrawing::drawNinePartImage(painter, QRectF(0, 0, 40, 30), tiles);
    }
    struct Probe {
        int x, y, tile;
    };
    const Probe probes[] = {{0, 0, 0},   {3, 3, 0},  {20, 1, 1},  {39, 0, 2},  {1, 15, 3}, {20, 15, 4},
                            {38, 15, 5}, {0, 29, 6}, {20, 28, 7}, {39, 29, 8}, {36, 26, 8}};
    for (const Probe& p : probes)
        EXPECT_EQ(canvas.pixelColor(p.x, p.y), colours[p.tile]) << p.x << "," << p.y;
}

TEST_F(Bundles, AMissingNameIsReportedOnceOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_TRUE(imageNamedAdditional("missing_skin_reported_once", 1).isNull());
    EXPECT_TRUE(imageNamedAdditional("missing_skin_reported_once", 2).isNull());
    SharedBundle::clearImageCache();
    EXPECT_TRUE(imageNamedAdditional("missing_skin_reported_once", 1).isNull());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("missing_skin_reported_once"), std::string::npos) << errors;
}
