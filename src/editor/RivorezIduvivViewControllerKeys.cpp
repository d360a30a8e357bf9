// Apply-and-wait, the window's keys and the clipboard of the editor.
#include "controls/KXButton.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ImageOpening.h"
#include "editor/ImagePasteboard.h"
#include "editor/RivorezIduvivViewController.h"
#include "editor/SelectPostProcessViewController.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>

namespace {

// Qt's Control plays Command, Meta plays Control, Alt plays Option.
constexpr Qt::KeyboardModifiers kStepBlockingModifiers =
    Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier;

bool isKey(const QKeyEvent& event, const char* text, Qt::Key key) {
    return event.text() == QLatin1String(text) || (event.text().isEmpty() && event.key() == key);
}

// A key handed on to the brush toolbar or the canvas, which they may leave unhandled: Qt then
// passes it up to the window, where it must end instead of being handed on again.
const QEvent* g_forwardedKey = nullptr;

void forwardKey(QWidget* receiver, const QKeyEvent& event) {
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                   event.count());
    g_forwardedKey = &copy;
    QCoreApplication::sendEvent(receiver, &copy);
    g_forwardedKey = nullptr;
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

} // namespace

// ---- Apply-and-wait

ApplyWait::Result RivorezIduvivViewController::applyCurrentToolAndWait() {
    auto wait = std::make_shared<ApplyWait>();
    if (foundation::MainQueue::isMainThread()) {
        _semaphore.push_back(wait);
        applyCurrentTool();
        // The apply's end comes through the main loop: turn it here instead of blocking it.
        while (!wait->isSignalled()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            foundation::RunLoop::runUntil([&] { return wait->isSignalled(); }, 0.005);
        }
        return *wait->result();
    }
    // The request reaches the main thread by value: the field is touched there only.
    foundation::MainQueue::async([guard = QPointer<QObject>(this), this, wait] {
        if (!guard) {
            wait->signal(ApplyWait::Result::Cancelled);
            return;
        }
        _semaphore.push_back(wait);
        applyCurrentTool();
    });
    return wait->wait();
}

void RivorezIduvivViewController::applyCurrentToolThen(std::function<void(ApplyWait::Result)> then) {
    _semaphore.push_back(std::make_shared<ApplyWait>(std::move(then)));
    applyCurrentTool();
}

// Starts the open tool's apply; a caller whose request finds nothing running is answered at once.
void RivorezIduvivViewController::applyCurrentTool() {
    bool cropped = false;
    if (_filterToolbarController) {
        applyButtonDidClick(_filterToolbarController);
    } else if (_superFilterToolbarController) {
        applyButtonDidClick(_superFilterToolbarController);
    } else if (_drawingToolbar) {
        // Leaving the painter returns to the effect's tool; its apply is the one waited for.
        applyButtonDidClick(_drawingToolbar);
        if (!_applying) generateImageForSelectedPostProcessOrPreset();
    } else {
        cropped = applyCropIfShown();
    }
    if (!_applying) endApplyWait(cropped ? ApplyWait::Result::Applied : ApplyWait::Result::NothingToApply);
}

void RivorezIduvivViewController::endApplyWait(ApplyWait::Result result) {
    std::vector<std::shared_ptr<ApplyWait>> waiting;
    waiting.swap(_semaphore);
    for (const auto& wait : waiting)
        wait->signal(result);
}

// A pending crop or turn on screen is applied at once.
bool RivorezIduvivViewController::applyCropIfShown() {
    if (_tool != kCrop || !applyCropButton() || !applyCropButton()->isEnabled()) return false;
    const graphics::ImagePtr before = _image;
    applyCropClick();
    return _image != before;
}

// ---- Keys

bool RivorezIduvivViewController::handleKeyEvent(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    if (event == g_forwardedKey) return true;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (isModifierKey(key.key())) {
        flagsChanged(key);
        return false;
    }
    if (event->type() == QEvent::KeyPress) return keyDown(key);
    keyUp(key);
    return true;
}

bool RivorezIduvivViewController::keyDown(const QKeyEvent& event) {
    if (_isDisabledInteraction) return false;
    // A held key repeats as press and release pairs: toggles and holds act on the first press only.
    const bool repeat = event.isAutoRepeat();
    auto* painter = _window->findChild<CIMicroPaintView*>();
    const bool step = _tool == kParameters && !(event.modifiers() & kStepBlockingModifiers);
    if (event.key() == Qt::Key_Escape) {
    } else if (event.key() == Qt::Key_Space) {
        if (_tool == kPainter && painter && !repeat) painter->setMoveImageUsingSpace(true);
    } else if (step && event.key() == Qt::Key_Left) {
        _selectPostProcessViewController->buttonShowPreviousEffectPreviewClick();
    } else if (step && event.key() == Qt::Key_Right) {
        _selectPostProcessViewController->buttonShowNextEffectPreviewClick();
    } else if (isKey(event, ";", Qt::Key_Semicolon)) {
        // The buttons' own commands decide their states, as a click would.
        if (_compareButton->isEnabled() && !repeat) emit _compareButton->clicked();
    } else if (isKey(event, "\\", Qt::Key_Backslash)) {
        if (!_quickCompareButton->state() && _compareButton->isEnabled() && !repeat) {
            if (_compareButton->state())
                emit _compareButton->clicked();
            else if (_quickCompareButton->isEnabled())
                emit _quickCompareButton->clicked();
        }
    }
    if (auto* toolbar = _window->findChild<DrawingToolbarController*>()) forwardKey(toolbar, event);
    return true;
}

void RivorezIduvivViewController::keyUp(const QKeyEvent& event) {
    // The release half of an autorepeat pair: the key is still held.
    if (event.isAutoRepeat()) return;
    if (event.key() == Qt::Key_Escape) return;
    if (event.key() == Qt::Key_Space) {
        auto* painter = _window->findChild<CIMicroPaintView*>();
        if (_tool == kPainter && painter) painter->setMoveImageUsingSpace(false);
    } else if (isKey(event, "\\", Qt::Key_Backslash)) {
        if (_quickCompareButton->state()) emit _quickCompareButton->clicked();
    }
}

void RivorezIduvivViewController::flagsChanged(const QKeyEvent& event) {
    if (_tool != kPainter) return;
    if (auto* painter = _window->findChild<CIMicroPaintView*>()) forwardKey(painter, event);
}

// ---- Clipboard and drops

std::vector<std::string> RivorezIduvivViewController::readablePasteboardTypes() const {
    return ImagePasteboard::readablePasteboardTypes();
}

std::vector<std::string> RivorezIduvivViewController::writableTypesForPasteboard() const {
    return _image ? ImagePasteboard::writableTypesForPasteboard() : std::vector<std::string>{};
}

QMimeData* RivorezIduvivViewController::writeDataToPasteboard() const {
    if (writableTypesForPasteboard().empty()) return nullptr;
    return new ImagePasteboard::ImageMimeData(_image);
}

void RivorezIduvivViewController::copy() {
    if (QMimeData* data = writeDataToPasteboard()) QApplication::clipboard()->setMimeData(data);
}

void RivorezIduvivViewController::paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (canReadDataFromPasteboard(data)) readDataFromPasteboard(data);
}

bool RivorezIduvivViewController::canReadDataFromPasteboard(const QMimeData* pasteboard) {
    return ImagePasteboard::canRead(pasteboard, ImageOpening::readableFileTypes());
}

// A list of files opens its first file only; image data opens as a new untitled picture.
void RivorezIduvivViewController::readDataFromPasteboard(const QMimeData* pasteboard) {
    const std::optional<std::string> path = ImagePasteboard::firstFilePath(pasteboard);
    if (path && ImagePasteboard::isReadableFile(*path, ImageOpening::readableFileTypes())) {
        openWithSavingCurrentImageURL(*path);
        return;
    }
    if (graphics::ImagePtr image = ImagePasteboard::imageFromPasteboard(pasteboard))
        openWithSavingCurrentImageNewImage(std::move(image));
}
