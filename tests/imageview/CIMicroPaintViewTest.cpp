#include "imageview/CIMicroPaintView.h"
#include "controls/ImageAdditional.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "platform/coreimage/Context.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/UiApplication.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using graphics::Rect;

const graphics::PixelFormat kRGBA8{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

graphics::ImagePtr solid(int w, int h, QColor colour) {
    QImage q(w, h, QImage::Format_RGBA8888_Premultiplied);
    q.fill(colour);
    return graphics::Image::copy(q.constBits(), w, h, size_t(q.bytesPerLine()), kRGBA8);
}

// An opaque grey mask image of the size: black with a white square (y-up) when given.
coreimage::ImagePtr maskImage(int w, int h, QRect whiteYUp = QRect(), int grey = 255) {
    QImage q(w, h, QImage::Format_RGBA8888_Premultiplied);
    q.fill(Qt::black);
    for (int y = whiteYUp.top(); y <= whiteYUp.bottom() && !whiteYUp.isNull(); ++y)
        for (int x = whiteYUp.left(); x <= whiteYUp.right(); ++x)
            q.setPixelColor(x, h - 1 - y, QColor(grey, grey, grey));
    return coreimage::Image::imageWithCGImage(
        graphics::Image::copy(q.constBits(), w, h, size_t(q.bytesPerLine()), kRGBA8));
}

// One pixel of a lazy image (y-up), 8-bit RGBA.
QColor pixel(const coreimage::ImagePtr& image, int x, int y) {
    uint8_t p[4] = {};
    EXPECT_TRUE(coreimage::Context().render(image, p, 4, Rect(x, y, 1, 1), kRGBA8));
    return QColor(p[0], p[1], p[2], p[3]);
}

struct FakeOwner : CIMicroPaintViewOwner {
    coreimage::ImagePtr pending;
    std::vector<coreimage::ImagePtr> applied;
    coreimage::ImagePtr laterMaskApplying() const override { return pending; }
    void setLaterMaskApplying(coreimage::ImagePtr mask) override { pending = std::move(mask); }
    void applyMask(coreimage::ImagePtr mask) override { applied.push_back(mask); }
    void setToolbarBrushSize(double) override {}
};

class Canvas : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    void TearDown() override { PostProcessesManager::sharedPostProcessesManager().setMask(nullptr); }
    // Photo grey 0.5 behind, white effect in front.
    std::unique_ptr<CIMicroPaintView> canvas(int w = 40, int h = 30) {
        auto view = std::make_unique<CIMicroPaintView>(Rect(0, 0, w, h), solid(w, h, Qt::white),
                                                       solid(w, h, QColor(128, 128, 128)));
        view->setOwner(&owner);
        view->setUndoManager(&undo);
        view->updateMatrices();
        return view;
    }
    FakeOwner owner;
    foundation::UndoManager undo;
};

struct SizeCase {
    QSize photo, working;
};

} // namespace

TEST(CanvasWorkingSize, ReducesAbove2MegapixelsBySideFormula) {
    const SizeCase cases[] = {
        {QSize(4000, 3000), QSize(1631, 1223)}, // side floor(sqrt(2e6 * 4 / 3)) - 1 = 1631
        {QSize(3000, 4000), QSize(1223, 1631)}, // portrait as landscape
        {QSize(2000, 1000), QSize(2000, 1000)}, // exactly the limit: kept
        {QSize(2000, 1001), QSize(1998, 1000)}, {QSize(4000, 4000), QSize(1413, 1413)},
        {QSize(4896, 3264), QSize(1731, 1154)}, // 16 megapixels
        {QSize(640, 480), QSize(640, 480)},
    };
    for (const SizeCase& c : cases) {
        const QSize got = CIMicroPaintView::workingSize(c.photo);
        EXPECT_EQ(got, c.working) << c.photo.width() << "x" << c.photo.height();
        EXPECT_LE(double(got.width()) * got.height(), 2000000.0);
    }
}

TEST_F(Canvas, AtTheLimitTheImagesAreUsedAsGiven) {
    CIMicroPaintView view(Rect(0, 0, 200, 100), solid(2000, 1000, Qt::white), solid(2000, 1000, Qt::black));
    EXPECT_EQ(view.scaleFactorFromOriginal(), 1.0);
    EXPECT_EQ(view.imageA()->extent(), Rect(0, 0, 2000, 1000));
    EXPECT_EQ(coreimage::asNumber(view.pixelizeFilter()->value("inputScale")), 1.0);
}

TEST_F(Canvas, OnePixelMoreReducesBothImagesAndSetsThePixellateScale) {
    CIMicroPaintView view(Rect(0, 0, 200, 100), solid(2000, 1001, Qt::white), solid(2000, 1001, Qt::black));
    EXPECT_EQ(view.imageA()->extent(), Rect(0, 0, 1998, 1000));
    EXPECT_EQ(view.imageB()->extent(), Rect(0, 0, 1998, 1000));
    EXPECT_DOUBLE_EQ(view.scaleFactorFromOriginal(), 2000.0 / 1998.0);
    EXPECT_EQ(coreimage::asNumber(view.pixelizeFilter()->value("inputScale")),
              double(float(1998.0 / 2000.0)));
    EXPECT_EQ(pixel(view.imageB(), 1000, 500), QColor(Qt::white));
}

TEST_F(Canvas, StartsWithABlackMaskWithoutAnUndoStep) {
    auto view = canvas();
    ASSERT_NE(view->mask(), nullptr);
    EXPECT_EQ(pixel(view->mask(), 5, 5), QColor(Qt::black));
    EXPECT_TRUE(view->isMaskCleared());
    EXPECT_EQ(view->originalSizeMask(), nullptr);
    EXPECT_EQ(view->startMask(), nullptr);
    foundation::RunLoop::runOnce();
    EXPECT_FALSE(undo.canUndo());
    // The picture is the photo alone.
    EXPECT_EQ(pixel(view->image(), 5, 5), QColor(128, 128, 128));
}

TEST_F(Canvas, ComposesPhotoEffectAndMask) {
    struct Case {
        const char* what;
        int grey; // the mask level; -1 clears it
        bool overlay;
        QColor expected;
    };
    const Case cases[] = {
        {"white mask shows the effect", 255, false, QColor(255, 255, 255)},
        {"black mask shows the photo", -1, false, QColor(128, 128, 128)},
        {"grey mask blends", 128, false, QColor(191, 191, 191)},
        {"overlay paints 80 % red over the photo", 255, true, QColor(230, 26, 26)},
        {"a cleared mask under the overlay shows no red", -1, true, QColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        auto view = canvas();
        view->applyMask(c.grey < 0 ? nullptr : maskImage(40, 30, QRect(0, 0, 40, 30), c.grey));
        view->setShowMask(c.overlay);
        const QColor got = pixel(view->image(), 20, 15);
        EXPECT_NEAR(got.red(), c.expected.red(), 1) << c.what;
        EXPECT_NEAR(got.green(), c.expected.green(), 1) << c.what;
        EXPECT_NEAR(got.blue(), c.expected.blue(), 1) << c.what;
    }
}

TEST_F(Canvas, TheWidgetShowsThePaintedSquare) {
    auto view = canvas();
    view->applyMask(maskImage(40, 30, QRect(0, 0, 10, 10))); // bottom-left corner
    const QImage shown = view->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 25), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(30, 5), QColor(128, 128, 128));
}

TEST_F(Canvas, ThePendingMaskWinsOverTheEngineMaskAndIsTakenFromTheOwner) {
    PostProcessesManager::sharedPostProcessesManager().setMask(maskImage(80, 60, QRect(0, 0, 80, 60)));
    owner.pending = maskImage(20, 15, QRect(0, 0, 5, 5));
    auto view = canvas();
    EXPECT_EQ(owner.pending, nullptr);
    EXPECT_NE(view->startMask(), nullptr);
    EXPECT_EQ(pixel(view->mask(), 2, 2), QColor(Qt::white));
    EXPECT_EQ(pixel(view->mask(), 30, 20), QColor(Qt::black));
    EXPECT_FALSE(view->isMaskCleared());
    foundation::RunLoop::runOnce();
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(Canvas, TheEngineMaskIsScaledToTheWorkingSize) {
    // 80 wide over a 40-wide working image: the white left half stays the left half.
    PostProcessesManager::sharedPostProcessesManager().setMask(maskImage(80, 60, QRect(0, 0, 40, 60)));
    auto view = canvas();
    ASSERT_NE(view->startMask(), nullptr);
    EXPECT_EQ(view->startMask()->extent(), Rect(0, 0, 40, 30));
    EXPECT_EQ(pixel(view->mask(), 10, 15), QColor(Qt::white));
    EXPECT_EQ(pixel(view->mask(), 30, 15), QColor(Qt::black));
}

TEST_F(Canvas, ApplyingAMaskIsOneUndoStepOnTheOwner) {
    auto view = canvas();
    int posts = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, UndoManagerStackChanged, nullptr, [&](const foundation::Notification&) { ++posts; });
    const coreimage::ImagePtr before = view->mask();
    view->applyMask(maskImage(40, 30, QRect(0, 0, 10, 10)));
    foundation::RunLoop::runOnce();
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(posts, 1);
    ASSERT_TRUE(undo.canUndo());
    undo.undo();
    ASSERT_EQ(owner.applied.size(), 1u);
    EXPECT_EQ(pixel(owner.applied[0], 5, 5), QColor(Qt::black));
}

TEST_F(Canvas, TheResultIsTheBlendEvenWhileTheOverlayIsShown) {
    auto view = canvas();
    view->applyMask(maskImage(40, 30, QRect(0, 0, 10, 10)));
    view->setShowMask(true);
    const QImage result = ImageAdditional::toQImage(view->resultImage());
    ASSERT_EQ(result.size(), QSize(40, 30));
    EXPECT_EQ(result.pixelColor(5, 25), QColor(Qt::white));
    EXPECT_EQ(result.pixelColor(30, 5), QColor(128, 128, 128));
}

TEST_F(Canvas, FullSizeOutputsMatchThePhotoExactly) {
    // 2000 x 1001 works at 1998 x 1000: the two sides scale by different ratios.
    CIMicroPaintView view(Rect(0, 0, 200, 100), solid(2000, 1001, Qt::white), solid(2000, 1001, Qt::black));
    view.updateMatrices();
    view.applyMask(maskImage(1998, 1000, QRect(999, 500, 400, 300)));
    const coreimage::ImagePtr full = view.originalSizeMask();
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->extent(), Rect(0, 0, 2000, 1001));
    const double fx = 2000.0 / 1998, fy = 1001.0 / 1000;
    EXPECT_EQ(pixel(full, int(1010 * fx), int(510 * fy)), QColor(Qt::white));
    EXPECT_EQ(pixel(full, int(1390 * fx), int(790 * fy)), QColor(Qt::white));
    EXPECT_EQ(pixel(full, int(990 * fx), int(510 * fy)), QColor(Qt::black));
    EXPECT_EQ(pixel(full, int(1010 * fx), int(810 * fy)), QColor(Qt::black));
    EXPECT_EQ(pixel(full, 1000, 1000).alpha(), 255);
    const graphics::ImagePtr result = view.resultImage();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->width(), 2000);
    EXPECT_EQ(result->height(), 1001);
}
