// The editor window's events as Qt reports them: resizes (a pause ends a "live" resize, which
// Linux does not report), full screen with the panels hidden before and rebuilt after, minimising,
// activation, the Escape detector and the remembered window frame.
#include "editor/RivorezIduvivViewController.h"

#include "controls/KXButton.h"
#include "editor/CropToolbarView.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/RotationPanelView.h"
#include "editor/SelectPostProcessViewController.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Coordinates.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/KXServiceUtils.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QTimer>
#include <QWindowStateChangeEvent>
#include <sstream>

namespace {

constexpr const char* kWindowDidResize = "kWindowDidResize";
constexpr int kPanelTop = 140;

} // namespace

void RivorezIduvivViewController::installWindowEvents() {
    _resizeCoalesceTimer = new QTimer(this);
    _resizeCoalesceTimer->setSingleShot(true);
    _resizeCoalesceTimer->setInterval(kResizeCoalesceMs);
    connect(_resizeCoalesceTimer, &QTimer::timeout, this, [this] { windowDidResize(); });
    _liveResizeEndTimer = new QTimer(this);
    _liveResizeEndTimer->setSingleShot(true);
    _liveResizeEndTimer->setInterval(kLiveResizeEndMs);
    connect(_liveResizeEndTimer, &QTimer::timeout, this, [this] { windowDidEndLiveResize(); });

    _escapeDetector = new QShortcut(_window.get());
    _escapeDetector->setObjectName("escapeDetector");
    connect(_escapeDetector, &QShortcut::activated, this, [this] { escapeDetectorClick(); });
    restoreEscape();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) applicationDidUnhide();
    });
    restoreSavedWindowFrame();
    _window->installEventFilter(this);
}

void RivorezIduvivViewController::tearDownGeometry() {
    if (_window) _window->removeEventFilter(this);
    if (_window && _window->isVisible()) saveWindowFrame();
    for (QTimer* timer : {theTimer, _resizeCoalesceTimer, _liveResizeEndTimer})
        if (timer) timer->stop();
    appkit::DeferredCall::cancelPreviousPerformRequests(static_cast<const QObject*>(this));
    if (_popoverView) delete _popoverView.data();
    if (_undoManager) _undoManager->removeAllActionsWithTarget(&_pendingGeometryUndoTarget);
}

void RivorezIduvivViewController::handleWindowEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
        if (_fullScreenDidStep) {
            const QObject* self = this;
            appkit::DeferredCall::cancelPreviousPerformRequests(self, "finishFullScreenSwitch");
            appkit::DeferredCall::perform(self, "finishFullScreenSwitch", 0,
                                          [this] { finishFullScreenSwitch(); });
        }
        if (!_isLiveResize && !_fullScreenSwitchPending) windowWillStartLiveResize();
        _resizeCoalesceTimer->start();
        if (_isLiveResize) _liveResizeEndTimer->start();
        break;
    case QEvent::Move:
        if (!_isLiveResize && !_fullScreenSwitchPending && _window->isVisible()) saveWindowFrame();
        break;
    case QEvent::WindowActivate:
        windowDidBecomeKey();
        windowDidBecomeMain();
        break;
    case QEvent::WindowStateChange: {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const Qt::WindowStates now = _window->windowState();
        if ((now & Qt::WindowMinimized) && !(before & Qt::WindowMinimized)) windowDidMiniaturize();
        if (!(now & Qt::WindowMinimized) && (before & Qt::WindowMinimized)) windowDidDeminiaturize();
        const bool full = now & Qt::WindowFullScreen, wasFull = before & Qt::WindowFullScreen;
        if (full == wasFull) break;
        // A switch the window manager made has had no "will" step yet.
        if (!_fullScreenSwitchPending) {
            _fullScreenSwitchPending = true;
            if (full)
                windowWillEnterFullScreen();
            else
                windowWillExitFullScreen();
        }
        // The "did" step follows the resize the switch brings, or a short wait when none comes.
        _fullScreenDidStep = full ? 1 : 2;
        appkit::DeferredCall::perform(static_cast<const QObject*>(this), "finishFullScreenSwitch", 0.25,
                                      [this] { finishFullScreenSwitch(); });
        break;
    }
    default:
        break;
    }
}

void RivorezIduvivViewController::finishFullScreenSwitch() {
    const int step = _fullScreenDidStep;
    _fullScreenDidStep = 0;
    _fullScreenSwitchPending = false;
    if (step == 1) windowDidEnterFullScreen();
    if (step == 2) windowDidExitFullScreen();
}

// ---- Resizing

void RivorezIduvivViewController::windowWillStartLiveResize() {
    foundation::NotificationCenter::defaultCenter().postNotificationName(kWindowDidResize);
    _isLiveResize = true;
}

std::array<graphics::Rect, 3>
RivorezIduvivViewController::painterScrollerFrames(double IW, double TW, double CH, bool laterSystem) {
    const graphics::Rect square(IW - TW - 15, 0, 15, 15);
    if (laterSystem)
        return {graphics::Rect(-4, 0, IW - TW + 20, 18), graphics::Rect(IW - TW - 18, -15, 18, CH - 49 + 18),
                square};
    return {graphics::Rect(0, 0, IW - TW - 14, 18), graphics::Rect(IW - TW - 18, 14, 18, CH - 49 - 14),
            square};
}

QWidget* RivorezIduvivViewController::brushToolbarView() const {
    return _drawingToolbar;
}

void RivorezIduvivViewController::windowDidResize() {
    if (_tool == kParameters || _tool == kAdjust) {
        if (_imageView->isCompareMode())
            _imageView->fitCompareModeAnimated(false);
        else
            _imageView->zoomToFitAnimated(false);
    } else if (_tool == kPainter) {
        if (CIMicroPaintView* canvas = painterCanvas()) canvas->zoomToFitRect(graphics::Rect());
        const double toolbarWidth = brushToolbarView() ? brushToolbarView()->width() : 0;
        const double contentHeight = _contentView->height();
        const auto frames =
            painterScrollerFrames(_imageView->width(), toolbarWidth, contentHeight,
                                  services::KXServiceUtils::currentVersionCompare("10.7.0") == 1);
        const char* names[] = {"hScroller", "vScroller", "scrollerSquare"};
        for (int i = 0; i < 3; ++i)
            if (auto* view = _contentView->findChild<QWidget*>(names[i], Qt::FindDirectChildrenOnly))
                view->setGeometry(appkit::fromAppKit(frames[size_t(i)], contentHeight).toRect());
    } else {
        _imageView->centerImageAnimated(false);
        _imageView->zoomToFitAnimated(false);
        _imageView->commitChangesAnimated(false);
    }
    _selectPostProcessViewController->reloadEffectsTableView();
    validateResizebleButtons();
    if (!_isLiveResize) {
        _imageView->commitChangesAnimated(false);
        _isLiveResize = false;
    }
}

void RivorezIduvivViewController::windowDidEndLiveResize() {
    if (!_imageView->isCompareMode()) _imageView->commitChangesAnimated(false);
    _isLiveResize = false;
    if (_window->isVisible()) saveWindowFrame();
}

void RivorezIduvivViewController::delayedFit() {
    if (_imageView->isCompareMode()) {
        _imageView->fitCompareModeAnimated(true);
    } else {
        _imageView->zoomToFitAnimated(true);
        _imageView->commitChangesAnimated(true);
    }
}

// ---- Full screen

bool RivorezIduvivViewController::isWindowFullScreen() const {
    return _window->windowState() & Qt::WindowFullScreen;
}

void RivorezIduvivViewController::setWindowFullScreen(bool on) {
    if (on == isWindowFullScreen()) return;
    _fullScreenSwitchPending = true;
    if (on) {
        _frameBeforeFullScreen = _window->geometry();
        windowWillEnterFullScreen();
        _window->showFullScreen();
    } else {
        windowWillExitFullScreen();
        _window->showNormal();
    }
}

void RivorezIduvivViewController::windowWillEnterFullScreen() {
    foundation::NotificationCenter::defaultCenter().postNotificationName(kWindowDidResize);
    if (_tool == kPainter)
        if (QWidget* brush = brushToolbarView()) brush->hide();
    hideToolbars();
}

void RivorezIduvivViewController::windowWillExitFullScreen() {
    windowWillEnterFullScreen();
}

void RivorezIduvivViewController::windowDidEnterFullScreen() {
    if (_tool == kPainter) {
        if (QWidget* brush = brushToolbarView()) {
            // Pinned to the right edge from the bottom, 49 points short of the top.
            const int contentHeight = _contentView->height();
            brush->setGeometry(_contentView->width() - brush->width(), 49, brush->width(),
                               std::max(0, contentHeight - 49));
            brush->show();
        }
    }
    showToolbars();
    restoreEscape();
}

void RivorezIduvivViewController::windowDidExitFullScreen() {
    // The frame the window had before, whatever the platform restored.
    if (_frameBeforeFullScreen.isValid()) _window->setGeometry(_frameBeforeFullScreen);
    windowDidEnterFullScreen();
}

void RivorezIduvivViewController::hideToolbars() {
    if (_tool == kBrowser || _tool == kParameters)
        _selectPostProcessViewController->hidePostProcessesPreviewsAnimated(false, true);
    if (_tool == kCrop) _cropToolbarView->hide();
    if (_tool == kParameters && _filterToolbarController) {
        _filterToolbarController->hide();
        _filterToolbarController->deleteLater();
        _filterToolbarController = nullptr;
    }
}

void RivorezIduvivViewController::showToolbars() {
    if (_tool == kBrowser || _tool == kParameters)
        _selectPostProcessViewController->showPostProcessesPreviewsAnimated(true);
    if (_tool == kCrop) {
        _cropToolButton->setState(1);
        _fxToolButton->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        _adjustButton->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        _cropToolButton->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        // In from beyond the right edge.
        const int width = _contentView->width();
        _cropToolbarView->move(width, kPanelTop);
        _cropToolbarView->show();
        _cropToolbarView->raise();
        auto* slide = new QPropertyAnimation(_cropToolbarView, "pos", _cropToolbarView);
        slide->setDuration(250);
        slide->setEndValue(QPoint(width - _cropToolbarView->width(), kPanelTop));
        slide->start(QAbstractAnimation::DeleteWhenStopped);
    }
    if (_tool == kParameters) showEffectsSidebar();
    rearrangeTopView();
}

void RivorezIduvivViewController::restoreEscape() {
    _escapeDetector->setKey(QKeySequence(Qt::Key_Escape));
    // Escape only means something in full screen; elsewhere it stays with the focused view.
    _escapeDetector->setEnabled(isWindowFullScreen());
}

void RivorezIduvivViewController::escapeDetectorClick() {
    // The menu's full screen keeps the title and file to restore: leave through it.
    if (fullScreen)
        enterFullScreenMode();
    else if (isWindowFullScreen())
        setWindowFullScreen(false);
}

// ---- Minimising and activation

void RivorezIduvivViewController::windowDidMiniaturize() {
    _windowMinimizationHandler();
}

void RivorezIduvivViewController::windowDidDeminiaturize() {
    rearrangeTopView();
    if (std::function<void()> next = std::move(_continueAfterApplyingSelector)) {
        _continueAfterApplyingSelector = nullptr;
        next();
    }
}

void RivorezIduvivViewController::windowDidBecomeKey() {
    restoreEscape();
}

void RivorezIduvivViewController::windowDidBecomeMain() {
    if (std::function<void()> next = std::move(_continueAfterHiddenSelector)) {
        _continueAfterHiddenSelector = nullptr;
        foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), next = std::move(next)] {
            if (guard) next();
        });
    }
}

void RivorezIduvivViewController::applicationDidUnhide() {
    rearrangeTopView();
}

void RivorezIduvivViewController::rearrangeTopView() {
    const QObjectList& children = _contentView->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (auto* view = qobject_cast<QWidget*>(*it)) {
            view->raise();
            return;
        }
}

void RivorezIduvivViewController::setDisabledInteraction(bool disabled) {
    if (_tool != kPainter) _imageView->setDisabled(disabled);
    _isDisabledInteraction = disabled;
}

// ---- The remembered frame: "x y width height" of the normal window, in screen pixels.

void RivorezIduvivViewController::saveWindowFrame() {
    if (_window->windowState() & (Qt::WindowFullScreen | Qt::WindowMinimized | Qt::WindowMaximized)) return;
    const QRect frame = _window->geometry();
    std::ostringstream text;
    text << frame.x() << ' ' << frame.y() << ' ' << frame.width() << ' ' << frame.height();
    foundation::UserDefaults::standardUserDefaults().setObject(foundation::Value(text.str()),
                                                               kSavedFrameName);
}

bool RivorezIduvivViewController::restoreSavedWindowFrame() {
    const std::optional<std::string> stored =
        foundation::UserDefaults::standardUserDefaults().stringForKey(kSavedFrameName);
    if (!stored) return false;
    std::istringstream text(*stored);
    long x = 0, y = 0, width = 0, height = 0;
    std::string rest;
    if (!(text >> x >> y >> width >> height) || (text >> rest)) return false;
    // A damaged or foreign value keeps the window's own frame.
    constexpr long kLimit = 100000;
    if (width < _window->minimumWidth() || height < _window->minimumHeight() || width > kLimit ||
        height > kLimit || std::labs(x) > kLimit || std::labs(y) > kLimit)
        return false;
    _window->setGeometry(int(x), int(y), int(width), int(height));
    return true;
}
