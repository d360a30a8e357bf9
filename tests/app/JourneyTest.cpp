// Whole edits as a user makes them in the real window, from opening a photo to closing it, through
// every tool; checked after every step and in the saved files.
#include "app/MainMenu.h"
#include "app/VQDocumentController.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXSlider.h"
#include "controls/KXTableView.h"
#include "controls/KXVQPopoverView.h"
#include "controls/VQDialog.h"
#include "controls/VQDialogButton.h"
#include "controls/VQTextView.h"
#include "editor/CropToolbarView.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/HistogramSlider.h"
#include "editor/ProgressViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/RotationPanelView.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Alert.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/coreimage/Context.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/EventLoop.h"
#include "support/ShownAlert.h"
#include "support/SyntheticEvents.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imageio.h>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using Editor = RivorezIduvivViewController;
constexpr int kWidth = 400, kHeight = 300;

// A 16-bit gradient photo with a description and a capture date, as a camera's export might be.
std::string writePhoto(const std::string& path) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(kWidth, kHeight, 3, OIIO::TypeDesc::UINT16);
    spec.attribute("ImageDescription", "journey photo");
    spec.attribute("Exif:DateTimeOriginal", "2024:06:01 10:20:30");
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint16_t* p = &pixels[(size_t(y) * kWidth + x) * 3];
            p[0] = uint16_t(12000 + x * 100);
            p[1] = uint16_t(15000 + y * 120);
            p[2] = uint16_t(40000 - x * 50);
        }
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT16, pixels.data()) &&
                out->close());
    return path;
}

void endPass() {
    foundation::RunLoop::runOnce();
}

// A click at a widget's centre (or a point in it), as the mouse gives it.
void click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->metaObject()->className();
    if (at == QPoint(-1, -1)) at = widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

QImage pixels(const graphics::ImagePtr& image) {
    return ImageAdditional::toQImage(image).convertToFormat(QImage::Format_RGB32);
}

int channelDistance(QRgb a, QRgb b) {
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// A press, moves in steps and a release, as a mouse drag gives them (Qt's y-down points).
void drag(QWidget* widget, QPoint from, QPoint to) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->metaObject()->className();
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 4; ++i)
        QTest::mouseMove(widget, from + (to - from) * i / 4);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

// A brush stroke across the canvas's middle, between two fractions of its width.
void stroke(CIMicroPaintView& canvas, double from, double to) {
    const double w = canvas.width(), h = canvas.height();
    synthetic::mouseDown(canvas, {w * from, h * 0.5});
    for (double x = from; x <= to; x += 0.05)
        synthetic::mouseDragged(canvas, {w * x, h * 0.5});
    synthetic::mouseUp(canvas, {w * to, h * 0.5});
}

// How many pixels of the mask's middle row are painted.
int paintedInMiddleRow(CIMicroPaintView& canvas) {
    const coreimage::ImagePtr mask = canvas.originalSizeMask();
    if (!mask) return 0;
    const QImage m = pixels(coreimage::render(mask, 8));
    int painted = 0;
    for (int x = 0; x < m.width(); ++x)
        painted += qRed(m.pixel(x, m.height() / 2)) > 128;
    return painted;
}

// A quarter turn clockwise after a mirror in the photo's own frame, as the rotate tool shows it:
// the photo's (x, y) lands at (H - 1 - y, W - 1 - x).
void expectTurnedAndMirrored(const QImage& before, const QImage& after) {
    ASSERT_EQ(after.width(), before.height());
    ASSERT_EQ(after.height(), before.width());
    const int w = before.width(), h = before.height();
    for (const QPoint p :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(w / 3, h / 4)})
        EXPECT_LE(channelDistance(after.pixel(h - 1 - p.y(), w - 1 - p.x()), before.pixel(p)), 1)
            << p.x() << "," << p.y();
}

// A saved file read back: its size, its middle against the window's working image, and the
// photo's description and capture date carried over.
void expectSaved(const std::string& path, const QImage& working, int tolerance) {
    SCOPED_TRACE(path);
    auto in = OIIO::ImageInput::open(path);
    ASSERT_TRUE(in);
    const OIIO::ImageSpec& spec = in->spec();
    EXPECT_EQ(spec.width, working.width());
    EXPECT_EQ(spec.height, working.height());
    EXPECT_EQ(spec.get_string_attribute("Exif:DateTimeOriginal"), "2024:06:01 10:20:30");
    EXPECT_EQ(spec.get_string_attribute("ImageDescription"), "journey photo");
    in->close();
    OIIO::ImageBuf buffer(path);
    ASSERT_TRUE(buffer.read(0, 0, true, OIIO::TypeDesc::UINT8));
    for (const QPoint p : {QPoint(working.width() / 2, working.height() / 2),
                           QPoint(working.width() / 4, working.height() / 3)}) {
        uint8_t rgb[3] = {};
        ASSERT_TRUE(buffer.get_pixels(OIIO::ROI(p.x(), p.x() + 1, p.y(), p.y() + 1, 0, 1, 0, 3),
                                      OIIO::TypeDesc::UINT8, rgb));
        EXPECT_LE(channelDistance(qRgb(rgb[0], rgb[1], rgb[2]), working.pixel(p)), tolerance)
            << p.x() << "," << p.y();
    }
}

struct Journey : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    VQDocumentController controller;
    Editor* editor = nullptr;
    MainMenu* menu = nullptr;
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();

    void SetUp() override {
        controller.applicationWillFinishLaunching();
        editor = controller.openUntitledDocumentAndDisplay(true);
        ASSERT_NE(editor, nullptr);
        controller.applicationDidFinishLaunching();
        menu = controller.mainMenu();
        ASSERT_NE(menu, nullptr);
        editor->terminate = [](int) {};
        editor->window()->resize(1280, 820);
        editor->window()->show();
        // Keys go to the active window on a real display.
        editor->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor->window()));
        endPass();
    }
    void TearDown() override {
        manager.setMask(nullptr);
        CustomPresetsManager& presets = CustomPresetsManager::sharedCustomPresetsManager();
        if (auto made = presets.presetWithName(kPresetName)) presets.deletePreset(made);
    }
    static constexpr const char* kPresetName = "Journey preset";

    void open(const std::string& path) {
        controller.openDocumentWithContentsOfURL(path, true);
        endPass();
        ASSERT_EQ(controller.currentDocumentController(), editor);
        ASSERT_NE(editor->image(), nullptr);
    }
    // A key pressed and released in the window, as the keyboard gives it.
    void key(Qt::Key key) {
        QTest::keyClick(editor->window(), key);
        endPass();
    }
    // Waits for a preview other than the one shown before.
    graphics::ImagePtr waitForNewPreview(const graphics::ImagePtr& before, const std::string& step) {
        EXPECT_TRUE(runEventLoopUntil(
            [&] {
                return editor->imageView()->previewImage() && editor->imageView()->previewImage() != before;
            },
            30))
            << "no new preview after " << step;
        return editor->imageView()->previewImage();
    }
    void switchTool(KXButton* button, Editor::Tool tool) {
        click(button);
        endPass();
        ASSERT_EQ(editor->tool(), tool);
    }

    foundation::UndoManager& undo() { return *editor->undoManager(); }

    // Clicks the middle of a column of the browser's strip.
    void clickColumn(int64_t column) {
        SelectPostProcessViewController* browser = editor->selectPostProcessViewController();
        KXTableView* strip = browser->postProcessesTableView();
        click(strip, QPoint(int(4 + column * browser->widthForColumnAtIndex(0) + 90), 60));
        endPass();
    }
    void waitForPreview() {
        ASSERT_TRUE(runEventLoopUntil([&] { return editor->imageView()->previewImage() != nullptr; }, 30));
    }
    // Clicks the parameter toolbar's Apply and waits for the panel and then the result.
    void applyLook(const std::string& name) {
        const graphics::ImagePtr before = editor->image();
        click(editor->filterToolbarController()->applyButton());
        EXPECT_NE(editor->progressViewController(), nullptr)
            << "no progress panel while " << name << " applies";
        ASSERT_TRUE(runEventLoopUntil([&] { return editor->image() != before; }, 60)) << name;
        endPass();
        EXPECT_TRUE(runEventLoopUntil([&] { return editor->progressViewController() == nullptr; }, 5));
        EXPECT_EQ(undo().undoActionName(), name);
    }
};

TEST_F(Journey, OpenLookPaintCropTurnUndoRedoAndSaveAsJpeg) {
    // Open.
    const std::string source = writePhoto(dir.path().string() + "/photo.png");
    controller.openDocumentWithContentsOfURL(source, true);
    endPass();
    ASSERT_EQ(controller.currentDocumentController(), editor);
    ASSERT_NE(editor->image(), nullptr);
    EXPECT_EQ(editor->image()->width(), size_t(kWidth));
    EXPECT_EQ(editor->image()->height(), size_t(kHeight));
    EXPECT_EQ(editor->tool(), Editor::kBrowser);
    EXPECT_FALSE(undo().canUndo());
    const QImage original = pixels(editor->image());

    // Choose a look in the strip.
    clickColumn(1);
    PostProcess* look = editor->selectedPostProcess();
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(editor->tool(), Editor::kParameters);
    waitForPreview();
    FilterToolbarViewController* toolbar = editor->filterToolbarController();
    ASSERT_NE(toolbar, nullptr);

    // Move its first slider by dragging across it.
    KXJRVSlider* slider = toolbar->firstSlider();
    ASSERT_NE(slider, nullptr);
    ASSERT_TRUE(slider->isVisible());
    const double startValue = slider->doubleValue();
    const int y = slider->height() / 2;
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() / 2, y));
    QTest::mouseMove(slider, QPoint(slider->width() / 5, y));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() / 5, y));
    endPass();
    EXPECT_NE(slider->doubleValue(), startValue);
    waitForPreview();

    // Apply: the panel, then the result, undoable under the look's name.
    applyLook(look->get_name());
    EXPECT_EQ(editor->image()->width(), size_t(kWidth));
    EXPECT_TRUE(undo().canUndo());
    EXPECT_TRUE(editor->undoButton()->isEnabled());
    const graphics::ImagePtr afterLook = editor->image();
    const QImage looked = pixels(afterLook);
    EXPECT_GT(channelDistance(looked.pixel(200, 150), original.pixel(200, 150)), 4);

    // A second look, painted onto a band only.
    clickColumn(3);
    PostProcess* second = editor->selectedPostProcess();
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(editor->tool(), Editor::kParameters);
    waitForPreview();
    click(editor->filterToolbarController()->drawButton());
    ASSERT_EQ(editor->tool(), Editor::kPainter);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->painterView() != nullptr; }, 30));
    endPass();
    CIMicroPaintView* canvas = editor->painterView();
    ASSERT_TRUE(canvas->isVisible());
    const double w = canvas->width(), h = canvas->height();
    synthetic::mouseDown(*canvas, {w * 0.3, h * 0.5});
    for (double x = 0.35; x <= 0.7; x += 0.05)
        synthetic::mouseDragged(*canvas, {w * x, h * 0.5});
    synthetic::mouseUp(*canvas, {w * 0.7, h * 0.5});
    endPass();
    EXPECT_FALSE(canvas->isMaskCleared());
    ASSERT_NE(editor->drawingToolbar(), nullptr);
    click(editor->drawingToolbar()->applyButton());
    endPass();
    EXPECT_EQ(editor->tool(), Editor::kParameters);
    EXPECT_EQ(editor->selectedPostProcess(), second);
    ASSERT_NE(manager.mask(), nullptr);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->painterView() == nullptr; }, 5));
    waitForPreview();
    applyLook(second->get_name());
    manager.setMask(nullptr);
    const QImage painted = pixels(editor->image());
    // Painted in the middle row, untouched at the top corner.
    EXPECT_LE(channelDistance(painted.pixel(5, 5), looked.pixel(5, 5)), 2);
    EXPECT_EQ(editor->tool(), Editor::kBrowser);

    // Crop to 3:4 through the proportions popover, then apply.
    click(editor->cropToolButton());
    endPass();
    ASSERT_EQ(editor->tool(), Editor::kCrop);
    CropToolbarView* crop = editor->cropToolbar();
    ASSERT_TRUE(runEventLoopUntil([&] { return crop->isVisible(); }, 2));
    runEventLoopUntil([] { return false; }, 0.8); // the fit's animation ends
    click(crop->proportionsComboBox());
    endPass();
    KXVQPopoverView* popover = editor->proportionsPopover();
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(popover->isVisible());
    click(popover->tableView(), popover->rowRect(5).center()); // 3:4
    endPass();
    EXPECT_EQ(crop->proportionsComboBox()->title(), "    " + editor->proportionsList().at(5));
    EXPECT_EQ(editor->proportionsPopover(), nullptr);
    EXPECT_TRUE(crop->applyCropButton()->isEnabled());
    click(crop->applyCropButton());
    endPass();
    EXPECT_EQ(undo().undoActionName(), "Crop");
    const size_t cropW = editor->image()->width(), cropH = editor->image()->height();
    EXPECT_LT(cropW, size_t(kWidth));
    EXPECT_NEAR(double(cropW) / double(cropH), 0.75, 0.02);

    // A quarter turn in the rotate tool: pending on screen, then the photo's when the tool is left.
    click(editor->rotateToolButton());
    endPass();
    ASSERT_EQ(editor->tool(), Editor::kRotate);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->isVisible(); }, 2));
    click(editor->rotationPanel()->rotateRightButton());
    endPass();
    EXPECT_NEAR(editor->imageView()->rotationAngle(), 90, 1e-3);
    EXPECT_EQ(undo().undoActionName(), "Rotate");
    click(editor->fxToolButton());
    endPass();
    ASSERT_EQ(editor->tool(), Editor::kBrowser);
    ASSERT_EQ(editor->image()->width(), cropH);
    ASSERT_EQ(editor->image()->height(), cropW);
    const graphics::ImagePtr turned = editor->image();

    // Undo through the menu back before the crop, then redo everything to the turned photo.
    while (editor->image()->width() != size_t(kWidth) && undo().canUndo()) {
        ASSERT_TRUE(menu->perform("buttonUndoClick:"));
        endPass();
    }
    EXPECT_EQ(editor->image()->width(), size_t(kWidth));
    EXPECT_EQ(pixels(editor->image()), painted);
    EXPECT_TRUE(undo().canRedo());
    EXPECT_TRUE(editor->redoButton()->isEnabled());
    while (undo().canRedo()) {
        ASSERT_TRUE(menu->perform("buttonRedoClick:"));
        endPass();
    }
    ASSERT_EQ(editor->image(), turned);

    // Save as JPEG through the editor's save and read the file back.
    const std::string saved = dir.path().string() + "/saved.jpg";
    ASSERT_TRUE(editor->saveImageAtPath(saved, "public.jpeg", editor->imageProperties(), false));
    auto in = OIIO::ImageInput::open(saved);
    ASSERT_TRUE(in);
    const OIIO::ImageSpec& spec = in->spec();
    EXPECT_EQ(spec.width, int(cropH));
    EXPECT_EQ(spec.height, int(cropW));
    EXPECT_EQ(spec.get_string_attribute("Exif:DateTimeOriginal"), "2024:06:01 10:20:30");
    EXPECT_EQ(spec.get_string_attribute("ImageDescription"), "journey photo");
    in->close();
    QImage file(QString::fromStdString(saved));
    ASSERT_FALSE(file.isNull());
    EXPECT_EQ(file.width(), int(cropH));
    // The saved middle is the edited photo's, not the original's colour at any turned position.
    const QImage mine = pixels(turned);
    EXPECT_LE(channelDistance(file.pixel(file.width() / 2, file.height() / 2),
                              mine.pixel(mine.width() / 2, mine.height() / 2)),
              12);
    EXPECT_GT(channelDistance(mine.pixel(mine.width() / 2, mine.height() / 2), original.pixel(200, 150)), 4);
}

// A quarter turn made in the rotate tool and left by the Effects button reaches the photo, exactly,
// as one undo step.
TEST_F(Journey, AQuarterTurnLeftInTheRotateToolReachesThePhoto) {
    controller.openDocumentWithContentsOfURL(writePhoto(dir.path().string() + "/photo.png"), true);
    endPass();
    ASSERT_NE(editor->image(), nullptr);
    click(editor->rotateToolButton());
    endPass();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->isVisible(); }, 2));
    const graphics::ImagePtr original = editor->image();
    const QImage before = pixels(original);
    click(editor->rotationPanel()->rotateRightButton());
    endPass();
    ASSERT_TRUE(
        runEventLoopUntil([&] { return editor->rotationPanel()->flipHorizontallyButton()->isEnabled(); }, 2));
    click(editor->rotationPanel()->flipHorizontallyButton());
    endPass();
    click(editor->fxToolButton());
    endPass();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->image()->width() == size_t(kHeight); }, 5));
    EXPECT_EQ(editor->image()->height(), size_t(kWidth));
    EXPECT_FALSE(editor->imageView()->hasPendingTransform());
    expectTurnedAndMirrored(before, pixels(editor->image()));
    EXPECT_EQ(undo().undoActionName(), "Rotate");
    undo().undo();
    endPass();
    EXPECT_EQ(editor->image(), original);
}

// A straightening left in the rotate tool becomes the photo's without the wedges the turn leaves
// outside it: the largest centred rectangle of the photo's proportions is kept.
TEST_F(Journey, AStraighteningLeftInTheRotateToolCutsAwayTheWedges) {
    open(writePhoto(dir.path().string() + "/photo.png"));
    click(editor->rotateToolButton());
    endPass();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->isVisible(); }, 2));
    for (int i = 0; i < 3; ++i)
        click(editor->rotationPanel()->cropRotateRightButton());
    endPass();
    ASSERT_NEAR(editor->imageView()->rotationAngle(), 3, 1e-3);
    click(editor->fxToolButton());
    endPass();
    ASSERT_FALSE(editor->imageView()->hasPendingTransform());
    const double c = std::cos(3 * M_PI / 180), s = std::sin(3 * M_PI / 180);
    const double fit = std::min(kWidth / (kWidth * c + kHeight * s), kHeight / (kWidth * s + kHeight * c));
    EXPECT_NEAR(double(editor->image()->width()), kWidth * fit, 1.0);
    EXPECT_NEAR(double(editor->image()->height()), kHeight * fit, 1.0);
    const QImage straight = pixels(editor->image());
    const int right = straight.width() - 1, bottom = straight.height() - 1;
    // The photo has no channel below 40 anywhere; a wedge would be black.
    for (const QPoint p : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
        EXPECT_GT(std::max({qRed(straight.pixel(p)), qGreen(straight.pixel(p)), qBlue(straight.pixel(p))}),
                  40)
            << p.x() << "," << p.y();
    EXPECT_EQ(undo().undoActionName(), "Rotate");
}

// Every tool once, from opening the photo to closing it, each step driven by the window's own
// controls and keys and checked on state and pixels.
TEST_F(Journey, EveryToolFromOpenToClose) {
    open(writePhoto(dir.path().string() + "/photo.png"));
    const QImage original = pixels(editor->image());
    std::vector<int> endings;
    editor->terminate = [&](int status) { endings.push_back(status); };

    // Step through looks with the window's arrow keys to one with two sliders, back one and on again.
    clickColumn(1);
    ASSERT_NE(editor->selectedPostProcess(), nullptr);
    ASSERT_EQ(editor->tool(), Editor::kParameters);
    graphics::ImagePtr preview = waitForNewPreview(nullptr, "choosing a look");
    FilterToolbarViewController* toolbar = editor->filterToolbarController();
    ASSERT_NE(toolbar, nullptr);
    PostProcess* previous = nullptr;
    for (int step = 0; step < 12 && !(previous && toolbar->param1() && toolbar->param2()); ++step) {
        previous = editor->selectedPostProcess();
        key(Qt::Key_Right);
        ASSERT_NE(editor->selectedPostProcess(), previous);
        preview = waitForNewPreview(preview, "the Right key");
    }
    ASSERT_TRUE(toolbar->param1() && toolbar->param2()) << "no look with two sliders near the strip's start";
    PostProcess* look = editor->selectedPostProcess();
    const QImage lookPreview = pixels(preview);
    key(Qt::Key_Left);
    EXPECT_EQ(editor->selectedPostProcess(), previous);
    preview = waitForNewPreview(preview, "the Left key");
    EXPECT_NE(pixels(preview), lookPreview);
    key(Qt::Key_Right);
    ASSERT_EQ(editor->selectedPostProcess(), look);
    preview = waitForNewPreview(preview, "the Right key");
    EXPECT_EQ(pixels(preview), lookPreview);

    // Tune two of its sliders by dragging them.
    for (KXJRVSlider* slider : {toolbar->firstSlider(), toolbar->secondSlider()}) {
        ASSERT_NE(slider, nullptr);
        ASSERT_TRUE(toolbar->rect().contains(slider->geometry())); // within reach of the mouse
        const double before = slider->doubleValue();
        const int y = slider->height() / 2;
        drag(slider, QPoint(slider->width() / 2, y), QPoint(slider->width() / 4, y));
        endPass();
        EXPECT_NE(slider->doubleValue(), before);
        preview = waitForNewPreview(preview, "a look's slider");
    }
    EXPECT_GT(channelDistance(pixels(preview).pixel(200, 150), original.pixel(200, 150)), 4);
    applyLook(look->get_name());
    const QImage looked = pixels(editor->image());
    EXPECT_EQ(looked, pixels(preview));

    // Paint a band where a second look goes, erase half of it, apply.
    clickColumn(3);
    PostProcess* second = editor->selectedPostProcess();
    ASSERT_NE(second, nullptr);
    waitForPreview();
    switchTool(editor->filterToolbarController()->drawButton(), Editor::kPainter);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->painterView() != nullptr; }, 30));
    endPass();
    CIMicroPaintView* canvas = editor->painterView();
    ASSERT_TRUE(canvas->isVisible());
    stroke(*canvas, 0.3, 0.7);
    endPass();
    const int painted = paintedInMiddleRow(*canvas);
    EXPECT_GT(painted, 0);
    DrawingToolbarController* brushes = editor->drawingToolbar();
    ASSERT_NE(brushes, nullptr);
    click(brushes->eraseMaskButton());
    endPass();
    EXPECT_TRUE(canvas->isEraseMask());
    stroke(*canvas, 0.5, 0.75);
    endPass();
    const int kept = paintedInMiddleRow(*canvas);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, painted * 3 / 4);
    click(brushes->applyButton());
    endPass();
    EXPECT_EQ(editor->tool(), Editor::kParameters);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->painterView() == nullptr; }, 5));
    waitForPreview();
    applyLook(second->get_name());
    manager.setMask(nullptr);
    const QImage masked = pixels(editor->image());
    EXPECT_LE(channelDistance(masked.pixel(5, 5), looked.pixel(5, 5)), 2); // unpainted
    int changed = 0;
    for (int x = 0; x < kWidth; ++x)
        changed += channelDistance(masked.pixel(x, kHeight / 2), looked.pixel(x, kHeight / 2)) > 2;
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, painted); // not where the band was erased

    // Exposure and levels in the Adjust tool, then its Apply.
    switchTool(editor->adjustButton(), Editor::kAdjust);
    SuperFilterToolbarViewController* adjust = editor->superFilterToolbarController();
    ASSERT_NE(adjust, nullptr);
    ASSERT_TRUE(runEventLoopUntil([&] { return adjust->isVisible(); }, 2));
    KXSlider* exposure = adjust->slider(SuperFilterToolbarViewController::kExposureSlider);
    const double exposureBefore = exposure->doubleValue();
    preview = editor->imageView()->previewImage();
    drag(exposure, QPoint(exposure->width() / 2, exposure->height() / 2),
         QPoint(exposure->width() * 3 / 4, exposure->height() / 2));
    endPass();
    EXPECT_GT(exposure->doubleValue(), exposureBefore);
    preview = waitForNewPreview(preview, "exposure");
    click(adjust->tabButton(SuperFilterToolbarViewController::kLevelsTab));
    endPass();
    HistogramSlider* levels = adjust->histogramSlider();
    ASSERT_TRUE(levels->isVisible());
    const double blackBefore = levels->valueForButtonWithIndex(0);
    const QPoint black = levels->buttons()[0]->geometry().center();
    drag(levels, black, black + QPoint(40, 0));
    endPass();
    EXPECT_GT(levels->valueForButtonWithIndex(0), blackBefore);
    preview = waitForNewPreview(preview, "levels");
    const graphics::ImagePtr beforeAdjust = editor->image();
    click(adjust->applyButton());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->image() != beforeAdjust; }, 30));
    endPass();
    EXPECT_EQ(undo().undoActionName(), editor->superFilterEffect()->get_name());
    const QImage adjusted = pixels(editor->image());
    EXPECT_GT(channelDistance(adjusted.pixel(200, 150), masked.pixel(200, 150)), 4);

    // Straighten with the fine turn buttons, then crop to 3:4 and apply.
    switchTool(editor->rotateToolButton(), Editor::kRotate);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->isVisible(); }, 2));
    for (int i = 0; i < 3; ++i)
        click(editor->rotationPanel()->cropRotateRightButton());
    endPass();
    EXPECT_NEAR(editor->imageView()->rotationAngle(), 3, 1e-3);
    EXPECT_EQ(editor->rotationPanel()->rotationDegrees()->text(), "   3°");
    switchTool(editor->cropToolButton(), Editor::kCrop);
    CropToolbarView* crop = editor->cropToolbar();
    ASSERT_TRUE(runEventLoopUntil([&] { return crop->isVisible(); }, 2));
    runEventLoopFor(0.8); // the fit's animation ends
    click(crop->proportionsComboBox());
    endPass();
    ASSERT_NE(editor->proportionsPopover(), nullptr);
    click(editor->proportionsPopover()->tableView(),
          editor->proportionsPopover()->rowRect(5).center()); // 3:4
    endPass();
    ASSERT_TRUE(crop->applyCropButton()->isEnabled());
    click(crop->applyCropButton());
    endPass();
    EXPECT_EQ(undo().undoActionName(), "Crop");
    const QImage cropped = pixels(editor->image());
    EXPECT_LT(cropped.width(), kWidth);
    EXPECT_NEAR(double(cropped.width()) / cropped.height(), 0.75, 0.02);

    // A quarter turn and a mirror in the rotate tool, the photo's on leaving it.
    switchTool(editor->rotateToolButton(), Editor::kRotate);
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->isVisible(); }, 2));
    click(editor->rotationPanel()->rotateRightButton());
    ASSERT_TRUE(
        runEventLoopUntil([&] { return editor->rotationPanel()->flipHorizontallyButton()->isEnabled(); }, 2));
    click(editor->rotationPanel()->flipHorizontallyButton());
    endPass();
    EXPECT_TRUE(editor->imageView()->isFlippedHorizontal());
    switchTool(editor->fxToolButton(), Editor::kBrowser);
    ASSERT_TRUE(runEventLoopUntil([&] { return !editor->imageView()->hasPendingTransform(); }, 5));
    const QImage turned = pixels(editor->image());
    expectTurnedAndMirrored(cropped, turned);

    // Compare a look's preview with the photo: on shows the photo beside it, off shows it no more.
    clickColumn(2);
    preview = waitForNewPreview(nullptr, "choosing a look to compare");
    ASSERT_TRUE(runEventLoopUntil([&] { return editor->imageView()->readyToEnterCompareMode(); }, 3));
    click(editor->compareButton());
    endPass();
    EXPECT_TRUE(editor->imageView()->isCompareMode());
    EXPECT_EQ(editor->compareButton()->state(), 1);
    runEventLoopFor(0.6); // the layers' move ends
    {
        const QImage screen = editor->imageView()->grab().toImage();
        // The photo's layer, y-up in the view.
        const graphics::Rect photo = editor->imageView()->imageLayer().frame();
        const QPoint centre(int(photo.midX()), int(screen.height() - photo.midY()));
        EXPECT_LE(
            channelDistance(screen.pixel(centre), turned.pixel(turned.width() / 2, turned.height() / 2)), 12);
    }
    click(editor->fakeCompareButton()->isVisible() ? editor->fakeCompareButton() : editor->compareButton());
    endPass();
    EXPECT_FALSE(editor->imageView()->isCompareMode());
    EXPECT_EQ(editor->compareButton()->state(), 0);
    click(editor->filterToolbarController()->cancelButton());
    endPass();
    EXPECT_EQ(editor->image()->width(), size_t(turned.width()));
    EXPECT_EQ(pixels(editor->image()), turned);

    // Save as JPEG and as TIFF.
    for (const auto& [name, type, tolerance] :
         {std::tuple{"saved.jpg", "public.jpeg", 12}, std::tuple{"saved.tif", "public.tiff", 1}}) {
        const std::string path = dir.path().string() + "/" + name;
        ASSERT_TRUE(editor->saveImageAtPath(path, type, editor->imageProperties(), false)) << name;
        expectSaved(path, turned, tolerance);
    }

    // A preset of the applied looks, named in the browser's dialog.
    SelectPostProcessViewController* browser = editor->selectPostProcessViewController();
    click(browser->tabButtonPresets());
    endPass();
    const int64_t columns = browser->numberOfColumns();
    click(browser->addPresetButton());
    endPass();
    ASSERT_NE(browser->currentDialog(), nullptr);
    VQTextView* field = browser->presetNameTextField();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, kPresetName);
    EXPECT_EQ(field->text(), kPresetName);
    click(browser->currentDialog()->okButton());
    endPass();
    EXPECT_EQ(browser->currentDialog(), nullptr);
    EXPECT_NE(CustomPresetsManager::sharedCustomPresetsManager().presetWithName(kPresetName), nullptr);
    EXPECT_EQ(browser->numberOfColumns(), columns + 1);

    // Undo everything back to the opened photo, then redo it all.
    while (undo().canUndo()) {
        ASSERT_TRUE(menu->perform("buttonUndoClick:"));
        endPass();
    }
    EXPECT_EQ(pixels(editor->image()), original);
    EXPECT_TRUE(editor->isDocumentEdited()) << "the undone photo is not the saved one";
    while (undo().canRedo()) {
        ASSERT_TRUE(menu->perform("buttonRedoClick:"));
        endPass();
    }
    EXPECT_EQ(pixels(editor->image()), turned);

    // Close: the unsaved work is asked about, and Don't Save ends the program.
    ASSERT_TRUE(menu->perform("closeApplication:"));
    QMessageBox* question = shownAlert(editor->window());
    ASSERT_NE(question, nullptr);
    answer(question, appkit::Alert::AlternateReturn);
    EXPECT_TRUE(runEventLoopUntil([&] { return !endings.empty(); }, 2));
    EXPECT_EQ(endings, std::vector<int>{0});
}

} // namespace
