// The editor's geometry commands: quarter and fine turns, flips, the crop with its proportions
// list and size fields, zoom, compare and the effect-centre spinner. The image view does the
// geometry; these decide the numbers it gets, the undo steps and the controls' states.
#include "editor/RivorezIduvivViewController.h"

#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/KXButton.h"
#include "controls/KXVQPopoverView.h"
#include "controls/SharedBundle.h"
#include "controls/VQTextView.h"
#include "controls/ViewAlpha.h"
#include "editor/CropToolbarView.h"
#include "editor/RotationPanelView.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Alert.h"
#include "platform/appkit/Coordinates.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXStatistics.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>
#include <cmath>

namespace {

constexpr const char* kProportionsKey = "k_Crop_Proportions_Popover_Selected_Cell_Key";
constexpr const char* kCancelChangesForRotationTab = "CancelChangesForRotationTab";
constexpr int kProportionsConstraints[] = {0, 8, 1, 2, 3, 4, 5, 6, 7};

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

// The stored row of the proportions list, when there is one.
std::optional<int64_t> storedProportionsIndex() {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    if (!defaults.objectForKey(kProportionsKey)) return std::nullopt;
    return defaults.integerForKey(kProportionsKey);
}

void storeProportionsIndex(int64_t index) {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setInteger(index, kProportionsKey);
    defaults.synchronize();
}

// A turn's result as a whole angle in [0, 360): the buttons' arithmetic adds 360 once, which
// leaves angles below -90 negative.
double wrapIntoTurn(double b) {
    while (b < 0)
        b += 360;
    while (b >= 360)
        b -= 360;
    return b;
}

} // namespace

// ---- Numbers

double RivorezIduvivViewController::leftQuarterTurnFrom(double a) {
    double b = wrapIntoTurn(graphics::roundf32(graphics::f32(a - 90)));
    if (b > 270 && b < 360)
        b = 0;
    else if (b > 180 && b < 270)
        b = 270;
    else if (b > 90 && b < 180)
        b = 180;
    else if (b > 0 && b < 90)
        b = 90;
    return b;
}

double RivorezIduvivViewController::rightQuarterTurnFrom(double a) {
    double b = wrapIntoTurn(graphics::roundf32(graphics::f32(a + 90)));
    if (b > 270 && b < 360)
        b = 270;
    else if (b > 180 && b < 270)
        b = 180;
    else if (b > 90 && b < 180)
        b = 90;
    else if (b > 0 && b < 90)
        b = 0;
    return b;
}

double RivorezIduvivViewController::fineTurnLeftFrom(double a, double step) {
    double b = std::round(a - step);
    if (b < -360) b += 360;
    return b;
}

double RivorezIduvivViewController::fineTurnRightFrom(double a, double step) {
    double b = std::round(a + step);
    if (b >= 360) b -= 360;
    return b;
}

double RivorezIduvivViewController::degreesForSpeed(int64_t speed) {
    if (speed <= 5) return 1;
    if (speed <= 10) return 2;
    if (speed <= 15) return 3;
    if (speed <= 20) return 4;
    if (speed <= 25) return 5;
    if (speed <= 30) return 6;
    if (speed <= 40) return 7;
    return 8;
}

QString RivorezIduvivViewController::rotationAngleText(double degrees) {
    const double whole = std::isfinite(degrees) ? std::round(degrees) : 0;
    // Padding counts characters: the degree sign is one, though two bytes in UTF-8.
    return (QString::number(qint64(whole)) + QChar(0x00B0)).rightJustified(5, QLatin1Char(' '));
}

int RivorezIduvivViewController::proportionsConstraintForIndex(int64_t index) {
    if (index < 0 || index >= int64_t(std::size(kProportionsConstraints))) return -1;
    return kProportionsConstraints[index];
}

int64_t RivorezIduvivViewController::cropHeightForWidth(int64_t width, graphics::Point aspect) {
    if (!(aspect.x > 0 && aspect.y > 0)) return -1;
    return int64_t(std::trunc(double(width) / aspect.x * aspect.y));
}

int64_t RivorezIduvivViewController::cropWidthForHeight(int64_t height, graphics::Point aspect) {
    if (!(aspect.x > 0 && aspect.y > 0)) return -1;
    return int64_t(std::trunc(double(height) / aspect.y * aspect.x));
}

// ---- Set-up

RotationPanelView* RivorezIduvivViewController::rotationPanel() const {
    return static_cast<RotationPanelView*>(_rotationView);
}

CropToolbarView* RivorezIduvivViewController::cropToolbar() const {
    return static_cast<CropToolbarView*>(_cropToolbarView);
}

KXButton* RivorezIduvivViewController::applyCropButton() const {
    return cropToolbar()->applyCropButton();
}

void RivorezIduvivViewController::buildGeometryControls() {
    auto* rotation = new RotationPanelView(_contentView);
    rotation->hide();
    _rotationView = rotation;
    auto* crop = new CropToolbarView(_contentView);
    crop->hide();
    _cropToolbarView = crop;

    connect(rotation->rotateLeftButton(), &QAbstractButton::clicked, this,
            [this] { rotateLeftButtonClick(); });
    connect(rotation->rotateRightButton(), &QAbstractButton::clicked, this,
            [this] { rotateRightButtonClick(); });
    connect(rotation->cropRotateLeftButton(), &QAbstractButton::clicked, this, [this] { cropRotateLeft(); });
    connect(rotation->cropRotateRightButton(), &QAbstractButton::clicked, this,
            [this] { cropRotateRigth(); });
    connect(rotation->flipHorizontallyButton(), &QAbstractButton::clicked, this,
            [this] { flipHorizontalClick(); });
    connect(rotation->flipVerticallyButton(), &QAbstractButton::clicked, this,
            [this] { flipVerticalClick(); });
    connect(rotation->rotationDegrees(), &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        QString typed = rotationPanel()->rotationDegrees()->text();
        typed.remove(QChar(0x00B0));
        const qint64 value = typed.trimmed().toLongLong(&ok);
        // Anything but a whole number shows the angle as it is.
        if (ok)
            cropRotate(value);
        else
            validateRotationAngleLabel();
    });
    showRotationAngle(0);

    cropProportionsArray = {
        localized("Free"), localized("Image size"), "1x1", "2x3", "3x2", "3x4", "4x3", "9x16", "16x9"};
    KXButton* proportions = crop->proportionsComboBox();
    proportions->setButtonFontColor(Qt::white);
    QFont font("Helvetica");
    font.setPixelSize(14);
    proportions->setFont(font);
    proportions->setTitle("   " + cropProportionsArray.front());
    connect(proportions, &QAbstractButton::clicked, this, [this] { proportionsComboBoxDidChange(); });
    connect(crop->lockButton(), &QAbstractButton::clicked, this, [this] { lockProportionsClick(); });
    connect(crop->applyCropButton(), &QAbstractButton::clicked, this, [this] { applyCropClick(); });
    ViewAlpha::setAlpha(crop->lockOnStripes(), 0);
    crop->applyCropButton()->setEnabled(false);
    for (VQTextView* field : {crop->cropResolutionX(), crop->cropResolutionY()})
        field->setMaxIntValue(500000);

    auto& center = foundation::NotificationCenter::defaultCenter();
    center.addObserver(this, VQTextView::kStartIntValueDidChange,
                       static_cast<const void*>(crop->cropResolutionX()),
                       [this](const foundation::Notification&) { cropResolutionWidthFieldDidChange(); });
    center.addObserver(this, VQTextView::kStartIntValueDidChange,
                       static_cast<const void*>(crop->cropResolutionY()),
                       [this](const foundation::Notification&) { cropResolutionHeightFieldDidChange(); });
    center.addObserver(this, kAngleDegreesChanged, nullptr,
                       [this](const foundation::Notification&) { rotationAngleFieldDidChange(); });
    // Declined pending changes go with their undo steps.
    center.addObserver(this, kCancelChangesForRotationTab, nullptr, [this](const foundation::Notification&) {
        dropPendingGeometrySteps();
        showRotationAngle(0);
    });

    _fitToScreenButton = topBarButton("fitToScreenButton", "Fit", 44);
    _actualSizeButton = topBarButton("actualSizeButton", "1:1", 44);
    _zoomInButton = topBarButton("zoomInButton", "+", 32);
    _zoomOutButton = topBarButton("zoomOutButton", "−", 32);
    connect(_fitToScreenButton, &QAbstractButton::clicked, this, [this] { zoomToFitClick(); });
    connect(_actualSizeButton, &QAbstractButton::clicked, this, [this] { zoomToActualSizeClick(); });
    connect(_zoomInButton, &QAbstractButton::clicked, this, [this] { zoomInClick(); });
    connect(_zoomOutButton, &QAbstractButton::clicked, this, [this] { zoomOutClick(); });
    connect(_compareButton, &QAbstractButton::clicked, this, [this] { buttonCompareClick(); });
    connect(_fakeCompareButton, &QAbstractButton::clicked, this, [this] { fakeCompareButtonClick(); });
    connect(_quickCompareButton, &QAbstractButton::clicked, this, [this] { quickCompareButtonClick(); });

    _spinnerBackground = new QWidget(_contentView);
    _spinnerBackground->setObjectName("spinnerBackground");
    _spinnerBackground->setStyleSheet("background: rgba(0, 0, 0, 130); border-radius: 40px;");
    _spinnerBackground->resize(80, 80);
    _spinnerBackground->hide();
    _effectCenterProgress = new AMIndeterminateProgressIndicatorCell(_contentView);
    _effectCenterProgress->setObjectName("effectCenterProgress");
    _effectCenterProgress->resize(32, 32);
    _effectCenterProgress->setDisplayedWhenStopped(false);
    _effectCenterProgress->setSpinning(false);
    theTimer = new QTimer(this);
    theTimer->setInterval(int(std::lround(_effectCenterProgress->animationDelay() * 1000)));
    connect(theTimer, &QTimer::timeout, this, [this] { spinnerAnimation(); });
    theTimer->start();
}

void RivorezIduvivViewController::layoutGeometryControls() {
    if (!_zoomInButton) return;
    int x = _compareButton->isHidden() ? _fullScreenButton->x() - 6 : _compareButton->x() - 16;
    for (KXButton* b : {_zoomOutButton, _zoomInButton, _actualSizeButton, _fitToScreenButton}) {
        x -= b->width();
        b->move(x, (_topBarView->height() - b->height()) / 2);
        x -= 4;
    }
    // Shown panels stay pinned to the right edge, 140 points below the top.
    for (QWidget* panel : {_rotationView, _cropToolbarView})
        if (panel && panel->isVisible()) panel->move(_contentView->width() - panel->width(), 140);
}

// ---- Turns

void RivorezIduvivViewController::showRotationAngle(double degrees) {
    rotationPanel()->rotationDegrees()->setText(rotationAngleText(degrees));
}

void RivorezIduvivViewController::countRotationClick() {
    ++_rotationSpeed;
    const QObject* self = this;
    appkit::DeferredCall::cancelPreviousPerformRequests(self, "resetRotationSpeed");
    appkit::DeferredCall::perform(self, "resetRotationSpeed", 0.1, [this] { resetRotationSpeed(); });
}

void RivorezIduvivViewController::resetRotationSpeed() {
    _rotationSpeed = 0;
}

// A quarter turn is pending until the crop is applied; its undo step puts the old angle back
// while the same picture is shown.
void RivorezIduvivViewController::setPendingRotationAngle(double degrees,
                                                          const graphics::ImagePtr& shownImage) {
    if (_imageView->image() != shownImage) return;
    if (_undoManager)
        _undoManager->registerUndo(&_pendingGeometryUndoTarget,
                                   [this, old = _imageView->rotationAngle(), shownImage] {
                                       setPendingRotationAngle(old, shownImage);
                                   });
    showRotationAngle(degrees);
    _imageView->rotateImageForCropToAngle(degrees, false);
    _imageView->zoomToFitAnimated(false);
    validateResizebleButtons();
}

void RivorezIduvivViewController::rotateLeftButtonClick() {
    const double a = _imageView->rotationAngle();
    countRotationClick();
    if (_undoManager) _undoManager->setActionName(localized("Rotate").toStdString());
    setPendingRotationAngle(leftQuarterTurnFrom(a), _imageView->image());
}

void RivorezIduvivViewController::rotateRightButtonClick() {
    const double a = _imageView->rotationAngle();
    countRotationClick();
    if (_undoManager) _undoManager->setActionName(localized("Rotate").toStdString());
    setPendingRotationAngle(rightQuarterTurnFrom(a), _imageView->image());
}

void RivorezIduvivViewController::cropRotateLeft() {
    applyCropButton()->setEnabled(true);
    const double a = _imageView->rotationAngle();
    countRotationClick();
    const double b = fineTurnLeftFrom(a, degreesForCurrentSpeed());
    showRotationAngle(b);
    _imageView->rotateImageForCropToAngle(b);
    validateResizebleButtons();
}

void RivorezIduvivViewController::cropRotateRigth() {
    applyCropButton()->setEnabled(true);
    const double a = _imageView->rotationAngle();
    countRotationClick();
    const double b = fineTurnRightFrom(a, degreesForCurrentSpeed());
    showRotationAngle(b);
    _imageView->rotateImageForCropToAngle(b);
    validateResizebleButtons();
}

void RivorezIduvivViewController::cropRotate(int64_t degrees) {
    // Whole turns add nothing: a typed 400 is 40.
    const double angle = std::fmod(double(degrees), 360.0);
    _imageView->rotateImageForCropToAngle(angle);
    showRotationAngle(angle);
    validateResizebleButtons();
}

void RivorezIduvivViewController::rotateByDegrees(double degrees) {
    if (_undoManager) _undoManager->setActionName(localized("rotate image").toStdString());
    _imageView->setRotationAngle(degrees, graphics::Point{0, 0}, _tool == kRotate);
    _setImage(_imageView->image(), false);
}

void RivorezIduvivViewController::validateRotationAngleLabel() {
    showRotationAngle(_imageView->rotationAngle());
}

void RivorezIduvivViewController::rotationAngleFieldDidChange() {
    validateRotationAngleLabel();
}

// ---- Flips

void RivorezIduvivViewController::flipPending(bool horizontal, const graphics::ImagePtr& shownImage) {
    if (_imageView->image() != shownImage) return;
    if (_undoManager) {
        _undoManager->setActionName(
            localized(horizontal ? "Flip Horizontal" : "Flip Vertical").toStdString());
        _undoManager->registerUndo(&_pendingGeometryUndoTarget,
                                   [this, horizontal, shownImage] { flipPending(horizontal, shownImage); });
    }
    if (horizontal)
        _imageView->flipHorizontalAnimated(true);
    else
        _imageView->flipVerticalAnimated(true);
}

void RivorezIduvivViewController::flipHorizontalClick() {
    blockRotateControlsOnTime(0.3);
    flipPending(true, _imageView->image());
}

void RivorezIduvivViewController::flipVerticalClick() {
    blockRotateControlsOnTime(0.3);
    flipPending(false, _imageView->image());
}

void RivorezIduvivViewController::blockRotateControlsOnTime(double seconds) {
    RotationPanelView* panel = rotationPanel();
    for (KXButton* b : {panel->rotateLeftButton(), panel->rotateRightButton(),
                        panel->flipHorizontallyButton(), panel->flipVerticallyButton()})
        b->setEnabled(false);
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), "unblockRotateControls", seconds,
                                  [this] { unblockRotateControls(); });
}

void RivorezIduvivViewController::unblockRotateControls() {
    RotationPanelView* panel = rotationPanel();
    for (KXButton* b : {panel->rotateLeftButton(), panel->rotateRightButton(),
                        panel->flipHorizontallyButton(), panel->flipVerticallyButton()})
        b->setEnabled(true);
}

void RivorezIduvivViewController::dropPendingGeometrySteps() {
    if (_undoManager) _undoManager->removeAllActionsWithTarget(&_pendingGeometryUndoTarget);
    validateUndoRedoButtonsState();
}

// ---- Crop

void RivorezIduvivViewController::applyCropClick() {
    KXButton* button = applyCropButton();
    button->setFocus(Qt::OtherFocusReason); // ends the typing in a size field, which commits it
    button->setEnabled(false);
    if (_imageView->isCanCrop()) {
        showCropErrorWithMessage(localized("kStringNoIntersectionAlertText").toStdString(),
                                 localized("kCropBigSizeInfoString").toStdString());
        button->setEnabled(true);
        return;
    }
    services::KXStatistics::usingCrop();
    if (!_imageView->applyCrop()) {
        // Nothing of the photo inside the frame: the photo stays, and the button lets the user retry.
        button->setEnabled(true);
        return;
    }
    takeTransformedImage("Crop");
    rotationPanel()->rotationDegrees()->setText(QString::number(0) + QChar(0x00B0));
}

void RivorezIduvivViewController::applyPendingTurnsAndFlips() {
    if (!_imageView->hasPendingTransform() || !_imageView->applyPendingTransform()) return;
    takeTransformedImage("Rotate");
}

void RivorezIduvivViewController::takeTransformedImage(const char* actionName) {
    graphics::ImagePtr cropped = _imageView->image();
    // The pending turns and flips are now part of the picture and of this one undo step.
    dropPendingGeometrySteps();
    if (_undoManager) _undoManager->setActionName(localized(actionName).toStdString());
    PostProcess* frame = _currentFrameEffect;
    if (frame && _savedImageWithoutFrame) {
        frame->setIsSmallPreview(false);
        graphics::ImagePtr framed =
            PostProcessesManager::sharedPostProcessesManager().getFramedImageForPPFrame(frame, _frameParametr,
                                                                                        cropped);
        setSavedImageWithoutFrame(cropped);
        // A frame that cannot be drawn leaves the cropped picture rather than nothing.
        _setImage(framed ? framed : cropped, true);
    } else {
        setSavedImageWithoutFrame(nullptr);
        _setImage(cropped, true);
    }
    setDocumentEdited(true);
}

void RivorezIduvivViewController::setLockImages(bool locked) {
    cropToolbar()->lockButton()->setImage(imageNamedAdditional(locked ? "lock_on" : "lock_off"));
    ViewAlpha::setAlpha(cropToolbar()->lockOnStripes(), locked ? 1 : 0, true);
}

void RivorezIduvivViewController::setProportionsTitleIndex(int64_t index) {
    if (index < 0 || index >= cropProportionsArray.size()) return;
    cropToolbar()->proportionsComboBox()->setTitle("    " + cropProportionsArray.at(int(index)));
}

void RivorezIduvivViewController::updateProportion() {
    const std::optional<int64_t> stored = storedProportionsIndex();
    const int constraint = stored ? proportionsConstraintForIndex(*stored) : 0;
    if (constraint <= 0) {
        _imageView->setProportionsConstrain(0);
        setLockImages(false);
    } else {
        _imageView->setProportionsConstrain(constraint);
        setLockImages(true);
    }
}

void RivorezIduvivViewController::lockProportionsClick() {
    if (_imageView->proportionsConstrain() != 0) {
        setLockImages(false);
        _imageView->setProportionsConstrain(0);
        setProportionsTitleIndex(0);
        return;
    }
    setLockImages(true);
    const std::optional<int64_t> stored = storedProportionsIndex();
    if (!stored || *stored == 0 || proportionsConstraintForIndex(*stored) < 0) storeProportionsIndex(1);
    updateProportion();
    setProportionsTitleIndex(storedProportionsIndex().value_or(1));
}

void RivorezIduvivViewController::proportionsComboBoxDidChange() {
    _cropProportionsPopupActive = !_cropProportionsPopupActive;
    if (!_cropProportionsPopupActive) {
        if (_popoverView) _popoverView->deleteLater();
        _popoverView = nullptr;
        return;
    }
    // The list hangs below the button; the popover takes y-up points in the content view.
    const QRect toolbar = _cropToolbarView->geometry();
    const QRect button = cropToolbar()->proportionsComboBox()->geometry();
    const double contentHeight = _contentView->height();
    const double toolbarY = contentHeight - (toolbar.y() + toolbar.height());
    const double buttonY = toolbar.height() - (button.y() + button.height());
    const QPointF origin(toolbar.x() + button.x(), toolbarY + buttonY - button.height() - 160);
    auto* popover = new KXVQPopoverView(_contentView->rect(), origin, _contentView);
    popover->setObjectName("proportionsPopover");
    popover->setDelegate(this);
    popover->setDataSource(this);
    _popoverView = popover;
    popover->raise();
    popover->show();
}

int RivorezIduvivViewController::kxPopoverViewTableViewWidth() {
    return cropToolbar()->proportionsComboBox()->width();
}

QStringList RivorezIduvivViewController::kxPopoverViewTableViewCellsArray() {
    return _cropProportionsPopupActive ? cropProportionsArray : QStringList();
}

int RivorezIduvivViewController::kxPopoverViewSelectedCellIndex() {
    const std::optional<int64_t> stored = storedProportionsIndex();
    if (stored && _imageView->proportionsConstrain() != 0 && proportionsConstraintForIndex(*stored) >= 0)
        return int(*stored);
    return 0;
}

QFont RivorezIduvivViewController::kxPopoverViewFont() {
    QFont font("Helvetica");
    font.setPixelSize(13);
    return font;
}

void RivorezIduvivViewController::didSelectCellAtIndex(KXVQPopoverView* popover, int index) {
    const bool fromProportions = popover ? popover == _popoverView : !_popoverView;
    if (!fromProportions || proportionsConstraintForIndex(index) < 0) return;
    storeProportionsIndex(index);
    setProportionsTitleIndex(index);
    updateProportion();
}

void RivorezIduvivViewController::wantsRelease(KXVQPopoverView* popover, bool) {
    if (popover) popover->deleteLater();
    if (popover == _popoverView) _popoverView = nullptr;
    _cropProportionsPopupActive = false;
}

void RivorezIduvivViewController::_windowMinimizationHandler() {
    if (_popoverView) _popoverView->deleteLater();
    _popoverView = nullptr;
    _cropProportionsPopupActive = false;
}

// ---- Crop fields and the image view's callbacks

void RivorezIduvivViewController::cropResolutionWidth(uint64_t width, uint64_t height, KXImageView* view) {
    if (view != _imageView) return;
    cropToolbar()->cropResolutionX()->setStartIntValue(int64_t(width));
    cropToolbar()->cropResolutionY()->setStartIntValue(int64_t(height));
}

void RivorezIduvivViewController::imageScaleDidChange(double, KXImageView* view) {
    if (view != _imageView) return;
    validateResizebleButtons();
    const double side = _imageView->minimumCropSide();
    if (!std::isfinite(side)) return; // no picture yet
    const int64_t minimum = int64_t(std::trunc(side));
    cropToolbar()->cropResolutionX()->setMinIntValue(minimum);
    cropToolbar()->cropResolutionY()->setMinIntValue(minimum);
}

void RivorezIduvivViewController::cropFieldDidChange(bool widthChanged) {
    applyCropButton()->setEnabled(true);
    VQTextView* x = cropToolbar()->cropResolutionX();
    VQTextView* y = cropToolbar()->cropResolutionY();
    if (_imageView->proportionsConstrain() != 0) {
        const graphics::Point aspect = _imageView->proportionsConstrainAspect();
        if (widthChanged) {
            const int64_t height = cropHeightForWidth(x->startIntValue(), aspect);
            if (height > 0) y->setStartIntValue(height);
        } else {
            const int64_t width = cropWidthForHeight(y->startIntValue(), aspect);
            if (width > 0) x->setStartIntValue(width);
        }
    }
    setCropSize(x->startIntValue(), y->startIntValue());
}

void RivorezIduvivViewController::cropResolutionWidthFieldDidChange() {
    cropFieldDidChange(true);
}

void RivorezIduvivViewController::cropResolutionHeightFieldDidChange() {
    cropFieldDidChange(false);
}

void RivorezIduvivViewController::setCropSize(int64_t width, int64_t height) {
    _imageView->setCropSize(graphics::Size{double(width), double(height)});
}

void RivorezIduvivViewController::setStateForCropButton(bool state) {
    applyCropButton()->setEnabled(state);
}

void RivorezIduvivViewController::showCropErrorWithMessage(const std::string& message,
                                                           const std::string& infoString) {
    if (message.empty()) return;
    applyCropButton()->setEnabled(true);
    // The texts are shown as given, never used as a format.
    appkit::Alert::alertWithMessageText(message, localized("Ok").toStdString(), "", "", infoString)
        .beginSheetModalForWindow(static_cast<QWidget*>(_window.get()), [](int) {});
}

// The gesture's turn becomes an ordinary undoable change of the working image, so saving keeps it
// and Redo works.
void RivorezIduvivViewController::finalizeRotationGesture() {
    double validated = std::round(_imageView->rotationAngle() / 90) * 90;
    validated = std::fmod(validated, 360.0);
    const double angle = validated == 0 ? 0 : -validated;
    _imageView->rotate(0);
    if (angle != 0) rotateByDegrees(angle);
    validateRotationAngleLabel();
}

// ---- Zoom

CIMicroPaintView* RivorezIduvivViewController::painterCanvas() const {
    return _painterView;
}

void RivorezIduvivViewController::zoomInClick() {
    foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
        if (!guard) return;
        if (CIMicroPaintView* canvas = _tool == kPainter ? painterCanvas() : nullptr)
            canvas->zoomIn();
        else if (_tool != kPainter)
            _imageView->zoomInAnimated(true);
    });
}

void RivorezIduvivViewController::zoomOutClick() {
    foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
        if (!guard) return;
        if (CIMicroPaintView* canvas = _tool == kPainter ? painterCanvas() : nullptr)
            canvas->zoomOut();
        else if (_tool != kPainter)
            _imageView->zoomOutAnimated(true);
    });
}

void RivorezIduvivViewController::zoomToActualSizeClick() {
    if (_tool == kPainter) {
        if (CIMicroPaintView* canvas = painterCanvas()) canvas->zoomToActualSize();
        return;
    }
    _imageView->zoomToActualSizeAnimated(true);
}

void RivorezIduvivViewController::zoomToFitClick() {
    if (_tool == kPainter) {
        if (CIMicroPaintView* canvas = painterCanvas()) canvas->zoomToFitRect(graphics::Rect());
        return;
    }
    _imageView->zoomToFitAnimated(true);
    _imageView->commitChangesAnimated(true);
}

void RivorezIduvivViewController::validateResizebleButtons() {
    if (!_zoomInButton) return;
    const bool frameEffect = _selectedPostProcess && _selectedPostProcess->isFrame();
    if (_tool == kAdjust || (_tool == kParameters && !frameEffect)) {
        for (KXButton* b : {_fitToScreenButton, _actualSizeButton, _zoomInButton, _zoomOutButton})
            b->setEnabled(false);
    } else if (_tool == kPainter) {
        for (KXButton* b : {_fitToScreenButton, _actualSizeButton, _zoomInButton, _zoomOutButton})
            b->setEnabled(true);
    } else {
        _fitToScreenButton->setEnabled(_imageView->canZoomToFit());
        _actualSizeButton->setEnabled(_imageView->canZoomToActualSize());
        _zoomInButton->setEnabled(_imageView->canZoomIn());
        _zoomOutButton->setEnabled(_imageView->canZoomOut());
    }
}

// ---- Compare

void RivorezIduvivViewController::buttonCompareClick() {
    _quickCompareButton->setState(0);
    if (!_imageView->readyToEnterCompareMode()) {
        _compareButton->setState(0);
        return;
    }
    if (_imageView->isCompareMode()) {
        _compareButton->setState(0);
        _fakeCompareButton->hide();
        _quickCompareButton->setEnabled(true);
        _imageView->leaveCompareMode();
    } else if (_tool == kParameters || _tool == kAdjust) {
        _compareButton->setState(1);
        _fakeCompareButton->show();
        _fakeCompareButton->raise();
        _quickCompareButton->setEnabled(false);
        _imageView->enterCompareMode();
    } else {
        _imageView->setIsCompareMode(false);
    }
    validateSpinnerCenter();
}

void RivorezIduvivViewController::fakeCompareButtonClick() {
    _compareButton->setState(_compareButton->state() ? 0 : 1);
    buttonCompareClick();
}

void RivorezIduvivViewController::quickCompareButtonClick() {
    const int pushed = _quickCompareButton->state() ? 0 : 1;
    _quickCompareButton->setState(pushed);
    _imageView->showQuickCompare(pushed == 1);
}

void RivorezIduvivViewController::compareModeIsReady(bool ready) {
    if (!ready || _compareButton->isEnabled() || !_imageView->readyToEnterCompareMode()) return;
    // The adjustments toolbar re-validates its own buttons in its tool.
    if (_tool != kAdjust) _compareButton->setEnabled(true);
}

void RivorezIduvivViewController::validateSpinnerCenter() {
    const graphics::Point centre = _imageView->previewCenter();
    const QPointF inView = appkit::fromAppKit(centre, _imageView->height());
    const QPointF inContent = QPointF(_imageView->pos()) + inView;
    const QSize size = _effectCenterProgress->size();
    _effectCenterProgress->move(int(std::lround(inContent.x() - size.width() / 2.0)),
                                int(std::lround(inContent.y() - size.height() / 2.0)));
    _spinnerBackground->move(_effectCenterProgress->x() - 24, _effectCenterProgress->y() - 24);
    _effectCenterProgress->setSpinning(true);
    _effectCenterProgress->setSpinning(false);
    _spinnerBackground->hide();
}

void RivorezIduvivViewController::spinnerAnimation() {
    _effectCenterProgress->setDoubleValue(std::fmod(_effectCenterProgress->doubleValue() + 1.0 / 12, 1.0));
    _effectCenterProgress->update();
}
