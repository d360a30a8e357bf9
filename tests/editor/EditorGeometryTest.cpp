// The editor's turns, flips, crop, proportions, crop fields, zoom and compare commands.
#include "editor/RivorezIduvivViewController.h"

#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQTextView.h"
#include "editor/CropToolbarView.h"
#include "editor/RotationPanelView.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/EventLoop.h"
#include "support/StubEffects.h"
#include "support/UiApplication.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using Editor = RivorezIduvivViewController;
constexpr const char* kProportionsKey = "k_Crop_Proportions_Popover_Selected_Cell_Key";

graphics::ImagePtr picture(int width, int height, QColor colour = QColor(40, 120, 200)) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    // A corner mark, so that turns and flips change the pixels.
    QPainter(&image).fillRect(0, 0, width / 4, height / 4, Qt::red);
    return ImageAdditional::fromQImage(image);
}

// Ends the main loop's pass: the undo manager closes the group of that event.
void endPass() {
    foundation::MainQueue::passDidEnd();
}

QMessageBox* visibleAlert(QWidget* window) {
    for (QMessageBox* box : window->findChildren<QMessageBox*>())
        if (box->isVisible()) return box;
    return nullptr;
}

// A frame that paints the picture's border white, keeping its size.
struct BorderFrame : StubWholeImageEffect {
    BorderFrame() {
        make = [](const graphics::ImagePtr& source) {
            QImage framed = ImageAdditional::toQImage(source);
            QPainter painter(&framed);
            painter.setPen(QPen(Qt::white, 2));
            painter.drawRect(framed.rect().adjusted(0, 0, -1, -1));
            painter.end();
            return ImageAdditional::fromQImage(framed);
        };
    }
    bool isFrame() override { return true; }
    bool smallPreview() const { return m_small_preview; }
};

TEST(EditorGeometryNumbers, QuarterTurnsLandOnTheNextQuarter) {
    struct Case {
        double from, left, right;
    };
    const Case cases[] = {{0, 270, 90},
                          {270, 180, 0},
                          {100, 90, 180},
                          {45, 0, 90},
                          {90, 0, 180},
                          {359, 270, 0},
                          {180, 90, 270},
                          {1, 0, 90},
                          {-90, 180, 0},
                          // Negative angles from fine turns still land on a quarter in [0, 360).
                          {-300, 0, 90},
                          {-100, 180, 270}};
    for (const Case& c : cases) {
        EXPECT_EQ(Editor::leftQuarterTurnFrom(c.from), c.left) << "left from " << c.from;
        EXPECT_EQ(Editor::rightQuarterTurnFrom(c.from), c.right) << "right from " << c.from;
    }
}

TEST(EditorGeometryNumbers, FineTurnsWrapAsTheButtonsDo) {
    EXPECT_EQ(Editor::fineTurnRightFrom(359, 1), 0);
    EXPECT_EQ(Editor::fineTurnRightFrom(358, 1), 359);
    EXPECT_EQ(Editor::fineTurnLeftFrom(-360, 1), -1);
    EXPECT_EQ(Editor::fineTurnLeftFrom(-359, 1), -360);
    EXPECT_EQ(Editor::fineTurnLeftFrom(0.4, 2), -2);
    EXPECT_EQ(Editor::fineTurnRightFrom(10, 8), 18);
}

TEST(EditorGeometryNumbers, StepGrowsWithTheClickCount) {
    const std::pair<int64_t, double> table[] = {{0, 1},  {5, 1},  {6, 2},  {10, 2},  {11, 3}, {15, 3},
                                                {16, 4}, {20, 4}, {21, 5}, {25, 5},  {26, 6}, {30, 6},
                                                {31, 7}, {40, 7}, {41, 8}, {1000, 8}};
    for (auto [speed, step] : table)
        EXPECT_EQ(Editor::degreesForSpeed(speed), step) << speed;
}

TEST(EditorGeometryNumbers, AngleFieldPadsToFiveCharacters) {
    const std::pair<double, const char16_t*> table[] = {{5, u"   5°"},    {-145, u"-145°"}, {0, u"   0°"},
                                                        {1234, u"1234°"}, {2.5, u"   3°"},  {-0.4, u"   0°"},
                                                        {270, u" 270°"}};
    for (auto [degrees, text] : table)
        EXPECT_EQ(Editor::rotationAngleText(degrees), QString::fromUtf16(text)) << degrees;
}

TEST(EditorGeometryNumbers, ProportionsRowsAndFieldArithmetic) {
    const int constraints[] = {0, 8, 1, 2, 3, 4, 5, 6, 7};
    for (int row = 0; row < 9; ++row)
        EXPECT_EQ(Editor::proportionsConstraintForIndex(row), constraints[row]);
    EXPECT_EQ(Editor::proportionsConstraintForIndex(9), -1);
    EXPECT_EQ(Editor::proportionsConstraintForIndex(-1), -1);
    const graphics::Point threeByTwo{3, 2};
    EXPECT_EQ(Editor::cropHeightForWidth(300, threeByTwo), 200);
    EXPECT_EQ(Editor::cropHeightForWidth(301, threeByTwo), 200); // 200.67 truncated
    EXPECT_EQ(Editor::cropWidthForHeight(200, threeByTwo), 300);
    EXPECT_EQ(Editor::cropWidthForHeight(201, threeByTwo), 301);           // 301.5 truncated
    EXPECT_EQ(Editor::cropHeightForWidth(300, graphics::Point{0, 0}), -1); // no aspect: nothing to follow
}

struct EditorGeometry : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    Editor editor{&undo};
    graphics::ImagePtr photo = picture(300, 200);

    EditorGeometry() {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(kProportionsKey);
        editor.window()->resize(1200, 800);
        editor.window()->show();
        editor.openNewImage(photo, "Photo");
        editor.imageView()->zoomToFitAnimated(false);
        endPass();
    }
    ~EditorGeometry() override {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(kProportionsKey);
    }

    KXImageView& view() { return *editor.imageView(); }
    RotationPanelView& rotation() { return *editor.rotationPanel(); }
    CropToolbarView& crop() { return *editor.cropToolbar(); }
    QString field() { return rotation().rotationDegrees()->text(); }

    void enterCrop() {
        editor.setTool(Editor::kCrop);
        view().setCropToolOn(true);
        endPass();
    }
    // Types a committed number into a crop size field.
    void type(VQTextView* field, int64_t value) {
        field->setStartIntValue(value);
        foundation::NotificationCenter::defaultCenter().postNotificationName(
            VQTextView::kStartIntValueDidChange, foundation::Value::reference(field, "VQTextView"));
    }
};

TEST_F(EditorGeometry, QuarterTurnsArePendingUndoableAndShownInTheField) {
    editor.rotateLeftButtonClick();
    EXPECT_NEAR(view().rotationAngle(), 270, 1e-3);
    EXPECT_EQ(field(), " 270°");
    EXPECT_EQ(view().image(), photo); // pending: the photo itself is unchanged
    endPass();
    ASSERT_TRUE(undo.canUndo());
    EXPECT_EQ(undo.undoActionName(), "Rotate");
    editor.rotateLeftButtonClick();
    EXPECT_NEAR(view().rotationAngle(), 180, 1e-3);
    endPass();

    undo.undo();
    EXPECT_NEAR(view().rotationAngle(), 270, 1e-3);
    EXPECT_EQ(field(), " 270°");
    undo.undo();
    EXPECT_NEAR(view().rotationAngle(), 0, 1e-3);
    EXPECT_EQ(field(), "   0°");
    EXPECT_FALSE(undo.canUndo());
    undo.redo();
    EXPECT_NEAR(view().rotationAngle(), 270, 1e-3);
    editor.rotateRightButtonClick();
    EXPECT_NEAR(view().rotationAngle(), 0, 1e-3);
}

TEST_F(EditorGeometry, FineTurnsAccelerateAndAPauseStartsAgain) {
    const double expected[] = {1, 2, 3, 4, 5, 7, 9, 11, 13, 15, 18};
    for (double angle : expected) {
        editor.cropRotateRigth();
        EXPECT_NEAR(view().rotationAngle(), angle, 1e-3);
    }
    EXPECT_EQ(field(), "  18°");
    EXPECT_TRUE(crop().applyCropButton()->isEnabled());
    EXPECT_EQ(editor.rotationSpeed(), 11);
    runEventLoopFor(0.15);
    EXPECT_EQ(editor.rotationSpeed(), 0);
    editor.cropRotateLeft();
    EXPECT_NEAR(view().rotationAngle(), 17, 1e-3);
}

TEST_F(EditorGeometry, TypedAngleReachesTheViewAndTheViewsAngleReachesTheField) {
    QLineEdit* angle = rotation().rotationDegrees();
    angle->setText("-45");
    emit angle->editingFinished();
    EXPECT_NEAR(view().rotationAngle(), -45, 1e-3);
    EXPECT_EQ(field(), " -45°");
    angle->setText("400°");
    emit angle->editingFinished();
    EXPECT_NEAR(view().rotationAngle(), 40, 1e-3);
    angle->setText("abc");
    emit angle->editingFinished();
    EXPECT_NEAR(view().rotationAngle(), 40, 1e-3);
    EXPECT_EQ(field(), "  40°");

    view().rotateImageForCropToAngle(12.6);
    foundation::NotificationCenter::defaultCenter().postNotificationName(kAngleDegreesChanged);
    EXPECT_EQ(field(), "  13°");
}

TEST_F(EditorGeometry, FlipsBlockTheButtonsBrieflyAndUndoAsOneStepEach) {
    editor.flipHorizontalClick();
    EXPECT_TRUE(view().isFlippedHorizontal());
    EXPECT_FALSE(rotation().flipHorizontallyButton()->isEnabled());
    EXPECT_FALSE(rotation().rotateLeftButton()->isEnabled());
    endPass();
    EXPECT_EQ(undo.undoActionName(), "Flip Horizontal");
    editor.flipVerticalClick();
    endPass();
    EXPECT_EQ(undo.undoActionName(), "Flip Vertical");
    EXPECT_TRUE(runEventLoopUntil([&] { return rotation().flipHorizontallyButton()->isEnabled(); }, 2.0));
    EXPECT_TRUE(rotation().rotateRightButton()->isEnabled());

    undo.undo();
    EXPECT_FALSE(view().isFlippedVertical());
    EXPECT_TRUE(view().isFlippedHorizontal());
    undo.undo();
    EXPECT_FALSE(view().isFlippedHorizontal());
    undo.redo();
    EXPECT_TRUE(view().isFlippedHorizontal());
    EXPECT_EQ(editor.image(), photo);
}

TEST_F(EditorGeometry, ApplyingTheCropFoldsPendingFlipsIntoOneStep) {
    enterCrop();
    view().setCropFrame(view().imageLayer().frame().inset(40, 40));
    editor.flipHorizontalClick();
    endPass();
    editor.applyCropClick();
    endPass();
    ASSERT_NE(editor.image(), photo);
    EXPECT_EQ(editor.image(), view().image());
    EXPECT_LT(editor.image()->width(), 300);
    EXPECT_EQ(undo.undoActionName(), "Crop");
    EXPECT_TRUE(editor.isDocumentEdited());
    EXPECT_EQ(field(), "0°");

    undo.undo();
    EXPECT_EQ(editor.image(), photo);
    EXPECT_NE(undo.undoActionName(), "Flip Horizontal"); // applied with the crop, no step of its own
}

TEST_F(EditorGeometry, EachProportionGivesItsAspectAndTheCropItsExactSize) {
    struct Case {
        int row;
        double aspect; // width / height of the crop
    };
    const Case cases[] = {{2, 1.0},     {3, 2.0 / 3},  {4, 3.0 / 2}, {5, 3.0 / 4},
                          {6, 4.0 / 3}, {7, 9.0 / 16}, {8, 16.0 / 9}};
    for (const graphics::ImagePtr& shape : {picture(300, 200), picture(200, 300)}) {
        editor.openNewImage(shape, "Shape");
        editor.imageView()->zoomToFitAnimated(false);
        enterCrop();
        for (const Case& c : cases) {
            view().setCropFrame(view().imageLayer().frame()); // from the whole photo each time
            editor.didSelectCellAtIndex(nullptr, c.row);
            EXPECT_EQ(foundation::UserDefaults::standardUserDefaults().integerForKey(kProportionsKey), c.row);
            EXPECT_EQ(view().proportionsConstrain(), Editor::proportionsConstraintForIndex(c.row));
            const graphics::Rect frame = view().cropFrame();
            EXPECT_NEAR(frame.width() / frame.height(), c.aspect, 0.02)
                << "row " << c.row << " on " << shape->width();
            EXPECT_EQ(crop().proportionsComboBox()->title(), "    " + editor.proportionsList().at(c.row));
        }
        // Sizes typed with 3:2 kept follow the Part's truncation and are what the crop gives.
        editor.didSelectCellAtIndex(nullptr, 4);
        type(crop().cropResolutionX(), 150);
        EXPECT_EQ(crop().cropResolutionY()->startIntValue(), 100);
        EXPECT_TRUE(crop().applyCropButton()->isEnabled());
        editor.applyCropClick();
        endPass();
        EXPECT_EQ(editor.image()->width(), 150u);
        EXPECT_EQ(editor.image()->height(), 100u);
    }
}

TEST_F(EditorGeometry, KeptProportionsDriveTheOtherField) {
    enterCrop();
    editor.didSelectCellAtIndex(nullptr, 4); // 3x2
    VQTextView* width = crop().cropResolutionX();
    VQTextView* height = crop().cropResolutionY();
    crop().applyCropButton()->setEnabled(false);
    type(width, 240);
    EXPECT_EQ(height->startIntValue(), 160);
    EXPECT_TRUE(crop().applyCropButton()->isEnabled());
    type(width, 241);
    EXPECT_EQ(height->startIntValue(), 160); // 160.67 truncated
    crop().applyCropButton()->setEnabled(false);
    type(height, 150);
    EXPECT_EQ(width->startIntValue(), 225);
    EXPECT_TRUE(crop().applyCropButton()->isEnabled());
    EXPECT_NEAR(view().cropFrame().width() / view().scale(), 225, 0.5);
    EXPECT_NEAR(view().cropFrame().height() / view().scale(), 150, 0.5);

    // Free proportions leave the other field alone.
    editor.didSelectCellAtIndex(nullptr, 0);
    type(width, 200);
    EXPECT_EQ(height->startIntValue(), 150);
}

TEST_F(EditorGeometry, LockAndPopoverChooseTheStoredProportions) {
    enterCrop();
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    editor.lockProportionsClick();
    EXPECT_EQ(defaults.integerForKey(kProportionsKey), 1);
    EXPECT_EQ(view().proportionsConstrain(), 8);
    EXPECT_EQ(crop().proportionsComboBox()->title(), "    " + editor.proportionsList().at(1));
    editor.lockProportionsClick();
    EXPECT_EQ(view().proportionsConstrain(), 0);
    EXPECT_EQ(crop().proportionsComboBox()->title(), "    " + editor.proportionsList().at(0));

    editor.proportionsComboBoxDidChange();
    KXVQPopoverView* popover = editor.proportionsPopover();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(editor.cropProportionsPopupActive());
    EXPECT_EQ(editor.kxPopoverViewTableViewCellsArray().size(), 9);
    EXPECT_EQ(editor.kxPopoverViewSelectedCellIndex(), 0); // stored 1, but no constraint now
    editor.didSelectCellAtIndex(popover, 6);
    editor.wantsRelease(popover, true);
    EXPECT_EQ(defaults.integerForKey(kProportionsKey), 6);
    EXPECT_EQ(view().proportionsConstrain(), 5);
    EXPECT_EQ(editor.proportionsPopover(), nullptr);
    EXPECT_FALSE(editor.cropProportionsPopupActive());
    EXPECT_TRUE(editor.kxPopoverViewTableViewCellsArray().isEmpty());
    EXPECT_EQ(editor.kxPopoverViewSelectedCellIndex(), 6);

    // A row from another list, or no such row, changes nothing.
    editor.didSelectCellAtIndex(nullptr, 42);
    EXPECT_EQ(defaults.integerForKey(kProportionsKey), 6);
}

TEST_F(EditorGeometry, CropWithAFrameShownDrawsTheFrameAgainAndUndoesBoth) {
    BorderFrame frame;
    frame.setIsSmallPreview(true);
    enterCrop();
    graphics::ImagePtr framed = picture(300, 200, Qt::white);
    editor.setCurrentFrameEffect(&frame);
    editor.setFrameParametr(0.5);
    editor.setSavedImageWithoutFrame(photo);
    editor._setImage(framed, false);
    endPass();
    view().setCropFrame(view().imageLayer().frame().inset(30, 30));
    editor.applyCropClick();
    endPass();
    const graphics::ImagePtr cropped = editor.savedImageWithoutFrame();
    ASSERT_NE(cropped, photo);
    ASSERT_NE(editor.image(), cropped);
    EXPECT_EQ(editor.image()->width(), cropped->width());
    EXPECT_EQ(editor.image()->height(), cropped->height());
    EXPECT_EQ(ImageAdditional::toQImage(editor.image()).pixelColor(0, 0), QColor(Qt::white));
    EXPECT_NE(ImageAdditional::toQImage(cropped).pixelColor(0, 0), QColor(Qt::white));
    EXPECT_FALSE(frame.smallPreview());

    undo.undo();
    EXPECT_EQ(editor.image(), framed);
    EXPECT_EQ(editor.savedImageWithoutFrame(), photo);
}

TEST_F(EditorGeometry, ACropOverThePixelCapIsRefusedWithTheError) {
    graphics::ImagePtr huge = picture(4200, 4000);
    editor.openNewImage(huge, "Huge");
    editor.imageView()->zoomToFitAnimated(false);
    enterCrop();
    view().setCropFrame(view().extraVisibleRect());
    ASSERT_TRUE(view().isCanCrop());
    const bool couldUndo = undo.canUndo();
    editor.applyCropClick();
    endPass();
    EXPECT_EQ(editor.image(), huge);
    EXPECT_TRUE(crop().applyCropButton()->isEnabled());
    EXPECT_EQ(undo.canUndo(), couldUndo);
    QMessageBox* alert = visibleAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    alert->reject();
}

TEST_F(EditorGeometry, ACropErrorWithoutAMessageShowsNothing) {
    crop().applyCropButton()->setEnabled(false);
    editor.showCropErrorWithMessage("", "kCropBigSizeInfoString");
    runEventLoopFor(0.05);
    EXPECT_EQ(visibleAlert(editor.window()), nullptr);
    EXPECT_FALSE(crop().applyCropButton()->isEnabled());
    // A message with format characters is shown as it is.
    editor.showCropErrorWithMessage("100% %s %n", "%@ %d");
    QMessageBox* alert = nullptr;
    runEventLoopUntil([&] { return (alert = visibleAlert(editor.window())) != nullptr; }, 2.0);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "100% %s %n");
    EXPECT_EQ(alert->informativeText(), "%@ %d");
    EXPECT_TRUE(crop().applyCropButton()->isEnabled());
    alert->reject();
}

TEST_F(EditorGeometry, TheRotationGestureBecomesAnOrdinaryUndoableChange) {
    view().rotateImageForCropToAngle(88); // the gesture's turn, validated to a quarter
    editor.finalizeRotationGesture();
    endPass();
    ASSERT_NE(editor.image(), photo);
    EXPECT_EQ(editor.image()->width(), 200u);
    EXPECT_EQ(editor.image()->height(), 300u);
    EXPECT_NEAR(view().rotationAngle(), 0, 1e-6);
    EXPECT_EQ(undo.undoActionName(), "rotate image");
    const graphics::ImagePtr turned = editor.image();
    undo.undo();
    EXPECT_EQ(editor.image(), photo);
    undo.redo();
    EXPECT_EQ(editor.image(), turned);

    // No turn: nothing registered, nothing changed.
    endPass();
    view().rotateImageForCropToAngle(20);
    editor.finalizeRotationGesture();
    endPass();
    EXPECT_EQ(editor.image(), turned);
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.undoActionName(), "rotate image");
}

TEST_F(EditorGeometry, ZoomButtonsFollowTheToolAndActAfterTheEvent) {
    editor.openNewImage(picture(2400, 1600), "Large");
    view().zoomToFitAnimated(false);
    editor.validateResizebleButtons();
    EXPECT_EQ(editor.fitToScreenButton()->isEnabled(), view().canZoomToFit());
    EXPECT_EQ(editor.zoomInButton()->isEnabled(), view().canZoomIn());
    const double fitted = view().scale();
    editor.zoomInClick();
    EXPECT_EQ(view().scale(), fitted); // not before the current event is done
    EXPECT_TRUE(runEventLoopUntil([&] { return view().scale() > fitted; }, 2.0));

    editor.setTool(Editor::kAdjust);
    editor.validateResizebleButtons();
    for (KXButton* b : {editor.fitToScreenButton(), editor.actualSizeButton(), editor.zoomInButton(),
                        editor.zoomOutButton()})
        EXPECT_FALSE(b->isEnabled());

    // The painter without its canvas: every button on, and a click does no harm.
    editor.setTool(Editor::kPainter);
    editor.validateResizebleButtons();
    for (KXButton* b : {editor.fitToScreenButton(), editor.actualSizeButton(), editor.zoomInButton(),
                        editor.zoomOutButton()})
        EXPECT_TRUE(b->isEnabled());
    const double before = view().scale();
    editor.zoomOutClick();
    editor.zoomToFitClick();
    editor.zoomToActualSizeClick();
    runEventLoopFor(0.05);
    EXPECT_EQ(view().scale(), before);
}

TEST_F(EditorGeometry, CompareNeedsAReadyViewAndAToolThatPreviews) {
    editor.compareButton()->setState(1);
    ASSERT_FALSE(view().readyToEnterCompareMode()); // no preview shown
    editor.buttonCompareClick();
    EXPECT_EQ(editor.compareButton()->state(), 0);
    EXPECT_FALSE(view().isCompareMode());
    EXPECT_TRUE(editor.fakeCompareButton()->isHidden());

    editor.setTool(Editor::kParameters);
    view().setPreviewImage(picture(300, 200, Qt::green), false);
    ASSERT_TRUE(runEventLoopUntil([&] { return view().readyToEnterCompareMode(); }, 3.0));
    editor.buttonCompareClick();
    EXPECT_TRUE(view().isCompareMode());
    EXPECT_EQ(editor.compareButton()->state(), 1);
    EXPECT_FALSE(editor.fakeCompareButton()->isHidden());
    EXPECT_FALSE(editor.quickCompareButton()->isEnabled());
    editor.fakeCompareButtonClick();
    EXPECT_FALSE(view().isCompareMode());
    EXPECT_EQ(editor.compareButton()->state(), 0);
    EXPECT_TRUE(editor.fakeCompareButton()->isHidden());
    EXPECT_TRUE(editor.quickCompareButton()->isEnabled());
}

TEST_F(EditorGeometry, TheSpinnerSitsOnThePreviewCentreAndTurnsByTwelfths) {
    editor.validateSpinnerCenter();
    const graphics::Point c = view().previewCenter();
    AMIndeterminateProgressIndicatorCell* spinner = editor.effectCenterProgress();
    const QPoint middle = spinner->geometry().center() + QPoint(1, 1);
    EXPECT_NEAR(middle.x(), view().x() + c.x, 1.0);
    EXPECT_NEAR(middle.y(), view().y() + view().height() - c.y, 1.0);
    EXPECT_TRUE(editor.spinnerBackground()->isHidden());
    EXPECT_EQ(editor.spinnerBackground()->geometry().center(), spinner->geometry().center());
    spinner->setDoubleValue(0.95);
    editor.spinnerAnimation();
    EXPECT_NEAR(spinner->doubleValue(), 0.95 + 1.0 / 12 - 1, 1e-12);
    editor.spinnerAnimation();
    EXPECT_NEAR(spinner->doubleValue(), 0.95 + 2.0 / 12 - 1, 1e-12);
}

} // namespace
