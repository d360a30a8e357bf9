#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXScroller.h"
#include "controls/ViewAlpha.h"
#include "editor/FilterToolbarViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/coreimage/Context.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <QImage>
#include <QMainWindow>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;
constexpr int kWidth = 96, kHeight = 64;
const graphics::PixelFormat kRGBA8{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

graphics::ImagePtr photo() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, qRgb(200 - x, 120 + y, 60 + x));
    return ImageAdditional::fromQImage(image);
}

// An opaque grey mask of the photo's size: white inside the rectangle (y-up), black elsewhere.
coreimage::ImagePtr maskWithWhite(QRect whiteYUp) {
    QImage q(kWidth, kHeight, QImage::Format_RGBA8888_Premultiplied);
    q.fill(Qt::black);
    for (int y = whiteYUp.top(); y <= whiteYUp.bottom(); ++y)
        for (int x = whiteYUp.left(); x <= whiteYUp.right(); ++x)
            q.setPixelColor(x, kHeight - 1 - y, Qt::white);
    return coreimage::Image::imageWithCGImage(
        graphics::Image::copy(q.constBits(), kWidth, kHeight, size_t(q.bytesPerLine()), kRGBA8));
}

// One grey level of a mask at (x, y), y-up.
int maskAt(const coreimage::ImagePtr& mask, int x, int y) {
    uint8_t p[4] = {};
    EXPECT_TRUE(coreimage::Context().render(mask, p, 4, graphics::Rect(x, y, 1, 1), kRGBA8));
    return p[0];
}

int channelDistance(QColor a, QColor b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

void endPass() {
    foundation::RunLoop::runOnce();
}

const QRect kSquare(32, 16, 32, 32);

struct Painter : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    Editor editor{&undo};
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    PostProcess* look = manager.postProcessWithName("Cool Blue");

    Painter() {
        editor.window()->resize(1200, 800);
        editor.window()->show();
        editor.openNewImage(photo(), "Photo");
        endPass();
    }
    ~Painter() override { manager.setMask(nullptr); }

    void chooseLook() {
        ASSERT_NE(look, nullptr);
        editor.selectPostProcess(look);
        endPass();
        ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    }
    // Painter mode with its canvas built.
    void enterPainter() {
        editor.buttonPaintClick();
        ASSERT_EQ(editor.tool(), Editor::kPainter);
        ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() != nullptr; }, 20));
        endPass();
    }
};

TEST_F(Painter, EnteringRendersTheLookAtFullSizeThenBuildsTheCanvasOverThePhoto) {
    chooseLook();
    editor.buttonPaintClick();
    EXPECT_EQ(editor.tool(), Editor::kPainter);
    EXPECT_TRUE(editor.enteringPainter());
    ASSERT_NE(editor.drawingToolbar(), nullptr);
    for (KXButton* b :
         {editor.fxToolButton(), editor.cropToolButton(), editor.rotateToolButton(), editor.adjustButton()})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_DOUBLE_EQ(editor.imageView()->rightMargin(), DrawingToolbarController::kWidth);
    EXPECT_EQ(editor.selectedPostProcess(), look); // the choice and its preview stay

    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() != nullptr; }, 20));
    EXPECT_FALSE(editor.enteringPainter());
    EXPECT_FALSE(manager.generateWithoutMask());
    ASSERT_NE(editor.painterFrontImageForCanvas(), nullptr);
    EXPECT_EQ(editor.painterFrontImageForCanvas()->width(), kWidth);
    ASSERT_NE(editor.hScroller(), nullptr);
    ASSERT_NE(editor.vScroller(), nullptr);
    EXPECT_EQ(editor.hScroller()->height(), 18);
    EXPECT_EQ(editor.vScroller()->width(), 18);
    EXPECT_TRUE(editor.imageView()->isDisabled());
    ASSERT_TRUE(runEventLoopUntil([&] { return ViewAlpha::alpha(editor.imageView()) == 0; }, 2));
    const QWidget* content = editor.contentView();
    EXPECT_TRUE(runEventLoopUntil(
        [&] { return editor.drawingToolbar()->x() == content->width() - DrawingToolbarController::kWidth; },
        2));
    EXPECT_EQ(editor.drawingToolbar()->y(), 42);
    EXPECT_EQ(editor.drawingToolbar()->height(), content->height() - 42);

    // A stroke across the canvas paints the mask.
    CIMicroPaintView* canvas = editor.painterView();
    const double w = canvas->width(), h = canvas->height();
    canvas->mouseDown(graphics::Point{w * 0.2, h * 0.5}, 1);
    canvas->mouseDragged(graphics::Point{w * 0.8, h * 0.5}, 1);
    canvas->mouseUp();
    EXPECT_FALSE(canvas->isMaskCleared());
    EXPECT_NE(canvas->originalSizeMask(), nullptr);
}

TEST_F(Painter, ParametersToPainterAndBackKeepTheLookItsValuesAndTheMask) {
    chooseLook();
    PostProcessParameter* first = look->param_1();
    ASSERT_NE(first, nullptr);
    const double tuned = (first->min_value() + first->max_value()) / 3;
    first->setValue(tuned);
    const coreimage::ImagePtr mask = manager.mask();
    enterPainter();
    editor.setTool(Editor::kParameters);
    endPass();
    EXPECT_EQ(editor.selectedPostProcess(), look);
    EXPECT_DOUBLE_EQ(first->value(), tuned);
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    EXPECT_EQ(editor.filterToolbarController()->param1(), first);
    EXPECT_EQ(manager.mask(), mask);
    for (KXButton* b :
         {editor.fxToolButton(), editor.cropToolButton(), editor.rotateToolButton(), editor.adjustButton()})
        EXPECT_TRUE(b->isEnabled());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() == nullptr; }, 2));
    EXPECT_FALSE(editor.imageView()->isDisabled());
    EXPECT_EQ(ViewAlpha::alpha(editor.imageView()), 1);
}

TEST_F(Painter, ApplyingAPaintedSquareKeepsTheLookInsideItOnly) {
    chooseLook();
    enterPainter();
    editor.applyMask(maskWithWhite(kSquare));
    endPass();
    editor.applyButtonDidClick(editor.drawingToolbar());
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kParameters);
    EXPECT_EQ(editor.selectedPostProcess(), look);
    ASSERT_NE(manager.mask(), nullptr);
    EXPECT_EQ(maskAt(manager.mask(), 48, 32), 255);
    EXPECT_EQ(maskAt(manager.mask(), 5, 5), 0);
    EXPECT_TRUE(editor.showingMask());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() == nullptr; }, 2));
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));

    const graphics::ImagePtr before = editor.image();
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    editor.applyButtonDidClick(editor.filterToolbarController());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.image() != before; }, 20));
    const QImage plain = ImageAdditional::toQImage(before),
                 looked = ImageAdditional::toQImage(editor.image());
    ASSERT_EQ(looked.size(), plain.size());
    // Qt rows run down: the square's rows 16-47 are the same either way up.
    EXPECT_GT(channelDistance(looked.pixelColor(48, 32), plain.pixelColor(48, 32)), 8);
    for (QPoint outside : {QPoint(5, 5), QPoint(90, 60), QPoint(20, 32)})
        EXPECT_LE(channelDistance(looked.pixelColor(outside), plain.pixelColor(outside)), 2) << outside.x();
    endPass();

    const graphics::ImagePtr masked = editor.image();
    undo.undo();
    endPass();
    EXPECT_EQ(editor.image(), before);
    undo.redo();
    endPass();
    EXPECT_EQ(editor.image(), masked);
}

TEST_F(Painter, UndoOfApplyReturnsToThePainterAndRedoRestoresThePaintedMask) {
    chooseLook();
    enterPainter();
    editor.applyMask(maskWithWhite(kSquare));
    endPass();
    editor.applyButtonDidClick(editor.drawingToolbar());
    endPass();
    const coreimage::ImagePtr painted = manager.mask();
    ASSERT_NE(painted, nullptr);

    // Redo before the canvas is back: the painted mask returns, never nothing.
    undo.undo();
    EXPECT_EQ(editor.tool(), Editor::kPainter);
    EXPECT_TRUE(editor.enteringPainter());
    EXPECT_EQ(manager.mask(), nullptr);
    endPass();
    undo.redo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kParameters);
    EXPECT_EQ(manager.mask(), painted);

    // Redo after the canvas was built from the older mask: still the painted one.
    undo.undo();
    endPass();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() != nullptr; }, 20));
    endPass();
    undo.redo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kParameters);
    EXPECT_EQ(manager.mask(), painted);
}

TEST_F(Painter, APainterLeftAndEnteredAgainInOnePassStillBuildsItsCanvas) {
    chooseLook();
    enterPainter();
    editor.applyButtonDidClick(editor.drawingToolbar());
    endPass();
    undo.undo(); // back into the painter before the loop has cleared up the one just left
    endPass();
    ASSERT_EQ(editor.tool(), Editor::kPainter);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() != nullptr; }, 20));
    runEventLoopFor(0.1);
    EXPECT_NE(editor.painterView(), nullptr);
    EXPECT_EQ(editor.painterView()->parentWidget(), editor.contentView());
}

TEST_F(Painter, CancelRestoresTheMaskThePainterStartedWith) {
    const coreimage::ImagePtr start = maskWithWhite(QRect(0, 0, kWidth / 2, kHeight));
    manager.setMask(start);
    chooseLook();
    enterPainter();
    editor.applyMask(maskWithWhite(QRect(kWidth / 2, 0, kWidth / 2, kHeight)));
    endPass();
    editor.cancelButtonDidClick(editor.drawingToolbar());
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kParameters);
    ASSERT_NE(manager.mask(), nullptr);
    EXPECT_EQ(maskAt(manager.mask(), 10, 30), 255);
    EXPECT_EQ(maskAt(manager.mask(), 80, 30), 0);

    // The cancel is undone back into the painter.
    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kPainter);
}

TEST_F(Painter, UndoingTheDrawButtonLeavesTheMaskAsItWas) {
    const coreimage::ImagePtr start = maskWithWhite(QRect(0, 0, kWidth / 2, kHeight));
    manager.setMask(start);
    chooseLook();
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    editor.drawButtonDidClick(editor.filterToolbarController());
    EXPECT_EQ(editor.tool(), Editor::kPainter);
    endPass();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor.painterView() != nullptr; }, 20));
    endPass();

    undo.undo();
    endPass();
    EXPECT_EQ(editor.tool(), Editor::kParameters);
    ASSERT_NE(manager.mask(), nullptr);
    EXPECT_EQ(maskAt(manager.mask(), 10, 30), 255);
    EXPECT_EQ(maskAt(manager.mask(), 80, 30), 0);
}

TEST_F(Painter, AnotherBrushToolbarReachesNothing) {
    chooseLook();
    enterPainter();
    editor.applyMask(maskWithWhite(kSquare));
    endPass();
    CIMicroPaintView* canvas = editor.painterView();
    DrawingToolbarController foreign;
    editor.clearMaskForDrawingToolbarController(&foreign);
    editor.invertMaskForDrawingToolbarController(&foreign);
    editor.showMask(&foreign, true);
    editor.eraseMask(&foreign, true);
    editor.moveImage(&foreign, true);
    editor.brushSizeDidChange(&foreign, 3);
    editor.applyMask(&foreign, nullptr);
    editor.applyButtonDidClick(&foreign);
    editor.cancelButtonDidClick(&foreign);
    EXPECT_EQ(editor.tool(), Editor::kPainter);
    EXPECT_FALSE(canvas->isMaskCleared());
    EXPECT_FALSE(canvas->isShowMask());
    EXPECT_FALSE(canvas->isEraseMask());
    EXPECT_FALSE(canvas->isMoveImage());
    EXPECT_NE(canvas->brushSize(), 3);
    EXPECT_EQ(maskAt(canvas->undoMask(), 10, 10), 0);
    EXPECT_EQ(editor.previewImageForDrawingToolbarController(&foreign, QSize(40, 40), 20, 50, 1), nullptr);
    EXPECT_NE(
        editor.previewImageForDrawingToolbarController(editor.drawingToolbar(), QSize(40, 40), 20, 50, 1),
        nullptr);

    // The editor's own toolbar does reach the canvas.
    editor.eraseMask(editor.drawingToolbar(), true);
    EXPECT_TRUE(canvas->isEraseMask());
    editor.clearMaskForDrawingToolbarController(editor.drawingToolbar());
    EXPECT_TRUE(canvas->isMaskCleared());
}

TEST_F(Painter, AMaskChosenBeforeTheCanvasExistsIsAppliedWhenItIsBuilt) {
    chooseLook();
    endPass();
    const bool couldUndo = undo.canUndo();
    const coreimage::ImagePtr recent = maskWithWhite(kSquare);
    editor.applyMask(recent);
    endPass();
    EXPECT_EQ(editor.laterMaskApplying(), recent);
    EXPECT_EQ(undo.canUndo(), couldUndo);
    enterPainter();
    EXPECT_EQ(editor.laterMaskApplying(), nullptr);
    EXPECT_FALSE(editor.painterView()->isMaskCleared());
    const double fx = editor.painterView()->imageA()->extent().width() / kWidth;
    EXPECT_EQ(maskAt(editor.painterView()->undoMask(), int(48 * fx), int(32 * fx)), 255);
}

TEST_F(Painter, PaintButtonWithAPaintedCanvasAppliesTheDrawingAsOneStep) {
    chooseLook();
    enterPainter();
    editor.applyMask(maskWithWhite(kSquare));
    endPass();
    const graphics::ImagePtr before = editor.image();
    editor.buttonPaintClick();
    EXPECT_EQ(editor.tool(), Editor::kBrowser);
    ASSERT_NE(editor.image(), before);
    EXPECT_EQ(undo.undoActionName(), "Apply Drawing");
    endPass();
    undo.undo();
    endPass();
    EXPECT_EQ(editor.image(), before);
}

TEST_F(Painter, LeavingBeforeTheRenderEndsBuildsNoCanvasAndFreesTheApply) {
    chooseLook();
    editor.buttonPaintClick();
    ASSERT_TRUE(editor.enteringPainter());
    editor.setTool(Editor::kParameters);
    EXPECT_FALSE(editor.enteringPainter());
    runEventLoopFor(0.3);
    EXPECT_EQ(editor.painterView(), nullptr);
    // The apply is not blocked by the dropped render.
    const graphics::ImagePtr before = editor.image();
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    editor.applyButtonDidClick(editor.filterToolbarController());
    EXPECT_TRUE(runEventLoopUntil([&] { return editor.image() != before; }, 20));
}

TEST_F(Painter, HidingOrShowingTheMaskDropsThumbnailsAndPreviewsTheLookAgain) {
    chooseLook();
    PostProcess* other = manager.postProcessWithName("Aged");
    ASSERT_NE(other, nullptr);
    other->setPreviewImage(photo());
    editor.imageView()->setPreviewImage(nullptr, false);
    const bool hidden = manager.hideMask();
    manager.setHideMask(!hidden);
    EXPECT_EQ(other->previewImage(), nullptr);
    EXPECT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 20));
    manager.setHideMask(hidden);
}

TEST_F(Painter, TheMaskButtonFlipsWhetherPreviewsShowTheMask) {
    const bool showing = editor.showingMask();
    editor.hideMaskButtonDidClick();
    EXPECT_NE(editor.showingMask(), showing);
    editor.hideMaskButtonDidClick();
    EXPECT_EQ(editor.showingMask(), showing);
}

} // namespace
