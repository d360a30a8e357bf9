// One whole edit as a user makes it in the real window: open a photo, choose and tune a look,
// apply it, paint where a second look goes, crop to a proportion, turn a quarter, undo and redo,
// save as JPEG; checked after every step and in the saved file.
#include "app/MainMenu.h"
#include "app/VQDocumentController.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXTableView.h"
#include "controls/KXVQPopoverView.h"
#include "editor/CropToolbarView.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ProgressViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/RotationPanelView.h"
#include "editor/SelectPostProcessViewController.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/EventLoop.h"
#include "support/SyntheticEvents.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imageio.h>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

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
  EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT16, pixels.data()) && out->close());
  return path;
}

void endPass() { foundation::RunLoop::runOnce(); }

// A click at a widget's centre (or a point in it), as the mouse gives it.
void click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
  ASSERT_NE(widget, nullptr);
  ASSERT_TRUE(widget->isVisible()) << widget->metaObject()->className();
  if (at == QPoint(-1, -1)) at = widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

QImage pixels(const graphics::ImagePtr& image) { return ImageAdditional::toQImage(image).convertToFormat(QImage::Format_RGB32); }

int channelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
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
    endPass();
  }
  void TearDown() override { manager.setMask(nullptr); }

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
    EXPECT_NE(editor->progressViewController(), nullptr) << "no progress panel while " << name << " applies";
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
  for (double x = 0.35; x <= 0.7; x += 0.05) synthetic::mouseDragged(*canvas, {w * x, h * 0.5});
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
  runEventLoopUntil([] { return false; }, 0.8);  // the fit's animation ends
  click(crop->proportionsComboBox());
  endPass();
  KXVQPopoverView* popover = editor->proportionsPopover();
  ASSERT_NE(popover, nullptr);
  ASSERT_TRUE(popover->isVisible());
  click(popover->tableView(), popover->rowRect(5).center());  // 3:4
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
  EXPECT_LE(channelDistance(file.pixel(file.width() / 2, file.height() / 2), mine.pixel(mine.width() / 2, mine.height() / 2)), 12);
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
  ASSERT_TRUE(runEventLoopUntil([&] { return editor->rotationPanel()->flipHorizontallyButton()->isEnabled(); }, 2));
  click(editor->rotationPanel()->flipHorizontallyButton());
  endPass();
  click(editor->fxToolButton());
  endPass();
  ASSERT_TRUE(runEventLoopUntil([&] { return editor->image()->width() == size_t(kHeight); }, 5));
  EXPECT_EQ(editor->image()->height(), size_t(kWidth));
  EXPECT_FALSE(editor->imageView()->hasPendingTransform());
  // As the screen showed it: mirrored in the photo's own frame, then turned clockwise, so the
  // photo's (x, y) lands at (H - 1 - y, W - 1 - x), pixel for pixel.
  const QImage after = pixels(editor->image());
  for (const QPoint p : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 299), QPoint(399, 299), QPoint(123, 77)})
    EXPECT_LE(channelDistance(after.pixel(kHeight - 1 - p.y(), kWidth - 1 - p.x()), before.pixel(p)), 1)
        << p.x() << "," << p.y();
  EXPECT_EQ(undo().undoActionName(), "Rotate");
  undo().undo();
  endPass();
  EXPECT_EQ(editor->image(), original);
}

}  // namespace
