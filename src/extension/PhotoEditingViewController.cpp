#include "extension/PhotoEditingViewController.h"

#include "app/MyDocument.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/PostProcessesManager.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "extension/ExtensionInfo.h"
#include "extension/KXExtensionContainerView.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Alert.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/foundation/MainQueue.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXStatistics.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <iostream>
#include <semaphore>
#include <thread>

namespace {

constexpr const char* kCloseSelector = "closePhotoEditing:";
constexpr double kCloseDelay = 3.0;
// The record's data: the same constant on every edit, never read back.
constexpr const char* kAdjustmentDataText = "VQExtentionAdjustData";

std::atomic<bool> gNeedTerminateProcess{false};
// The document of the latest edit, whose editor the container view hands keys to.
std::shared_ptr<MyDocument> gMainDocument;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

PhotoEditingViewController::PhotoEditingViewController(QWidget* parent)
    : QWidget(parent), terminate([](int status) { std::exit(status); }) {
    setObjectName("PhotoEditingViewController");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    _containerView = new KXExtensionContainerView(this);
    layout->addWidget(_containerView);
    viewDidLoad();
}

PhotoEditingViewController::~PhotoEditingViewController() {
    appkit::DeferredCall::cancelPreviousPerformRequests(this);
    returnContentToEditor();
    if (gMainDocument == _document) gMainDocument.reset();
}

void PhotoEditingViewController::viewDidLoad() {
    appkit::DeferredCall::cancelPreviousPerformRequests(this, kCloseSelector);
    gNeedTerminateProcess = false;
    services::KXStatistics::start();
}

bool PhotoEditingViewController::canHandleAdjustmentData(const photos::AdjustmentData& data) {
    (void)data;
    return false;
}

std::shared_ptr<const photos::ContentEditingInput> PhotoEditingViewController::input() const {
    std::lock_guard<std::mutex> lock(_inputLock);
    return _input;
}

RivorezIduvivViewController* PhotoEditingViewController::mainWindowController() {
    return gMainDocument ? gMainDocument->rivorezIduvivViewController() : nullptr;
}

bool PhotoEditingViewController::needTerminateProcess() {
    return gNeedTerminateProcess;
}

std::string PhotoEditingViewController::unsupportedMessage(const std::string& extension) {
    return "Oops, the file ." + extension + " can't be opened";
}

void PhotoEditingViewController::startContentEditingWithInput(
    std::shared_ptr<const photos::ContentEditingInput> input, graphics::ImagePtr placeholderImage) {
    (void)placeholderImage;
    _shouldProcces = true;
    {
        std::lock_guard<std::mutex> lock(_inputLock);
        _input = std::move(input);
    }
    gNeedTerminateProcess = false;
    appkit::DeferredCall::cancelPreviousPerformRequests(this, kCloseSelector);
    foundation::MainQueue::async([guard = QPointer<QObject>(this), this] {
        if (guard) openInput();
    });
}

void PhotoEditingViewController::openInput() {
    std::shared_ptr<const photos::ContentEditingInput> in = input();
    if (!in) return;
    const QString path = QString::fromStdString(in->fullSizeImageURL);
    const std::string extension = QFileInfo(path).suffix().toStdString();
    const auto& supported = ExtensionInfo::supportedTypeExtensions();
    if (std::find(supported.begin(), supported.end(), lowered(extension)) == supported.end()) {
        showUnsupportedRawAlertWithPathExtention(extension);
        return;
    }
    returnContentToEditor();
    _document = std::make_shared<MyDocument>();
    RivorezIduvivViewController* editor = _document->rivorezIduvivViewController();
    editor->terminate = nullptr; // the extension ends itself, never the editor's window
    _mainWindowController = editor;
    gMainDocument = _document;
    editor->openWithSavingCurrentImageURL(in->fullSizeImageURL);

    QWidget* content = editor->contentView();
    _containerView->layout()->addWidget(content);
    content->show();
    foundation::MainQueue::async([guard = QPointer<QObject>(this), this, editor] {
        if (guard && _mainWindowController == editor) editor->imageView()->zoomToFitAnimated(true);
    });
}

// The editor's views are destroyed with its window, which outlives neither the document nor its
// undo manager: the content view goes back there before the editor is replaced or released.
void PhotoEditingViewController::returnContentToEditor() {
    if (_mainWindowController && _mainWindowController->contentView() && _mainWindowController->window())
        _mainWindowController->window()->setCentralWidget(_mainWindowController->contentView());
}

void PhotoEditingViewController::showUnsupportedRawAlertWithPathExtention(const std::string& extension) {
    const std::string ok = services::KXSLocalization::localizedStringForKey("OK", "");
    appkit::Alert::alertWithMessageText(unsupportedMessage(extension), ok, "", "", "").runModal();
    if (terminate) terminate(1);
}

void PhotoEditingViewController::finishContentEditingWithCompletionHandler(
    CompletionHandler completionHandler) {
    if (foundation::MainQueue::isMainThread()) {
        // The main thread cannot wait for itself: the apply runs first and the writing follows it.
        applyCurrentToolThen(
            [guard = QPointer<QObject>(this), this, completionHandler](graphics::ImagePtr image) {
                if (guard) writeOutput(std::move(image), completionHandler);
            });
        return;
    }
    std::binary_semaphore applied(0);
    foundation::MainQueue::async([guard = QPointer<QObject>(this), this, completionHandler, &applied] {
        if (!guard) {
            // Gone before its turn: nothing was edited.
            foundation::MainQueue::async([completionHandler] { completionHandler(nullptr); });
            applied.release();
            return;
        }
        applyCurrentToolThen([guard, this, completionHandler, &applied](graphics::ImagePtr image) {
            if (guard)
                writeOutput(std::move(image), completionHandler);
            else
                completionHandler(nullptr);
            applied.release();
        });
    });
    applied.acquire();
}

void PhotoEditingViewController::applyCurrentToolThen(std::function<void(graphics::ImagePtr)> done) {
    RivorezIduvivViewController* editor = _mainWindowController;
    if (!editor || !editor->image()) {
        done(editor ? editor->image() : nullptr);
        return;
    }
    // Nothing the user does may cancel the apply while the host waits for it.
    _containerView->setEnabled(false);
    editor->applyCurrentToolThen([guard = QPointer<QObject>(this), this, done](ApplyWait::Result) {
        if (guard) _containerView->setEnabled(true);
        done(guard && _mainWindowController ? _mainWindowController->image() : nullptr);
    });
}

// Runs on the main thread; the encoding and the write run on a thread of their own, and the
// completion comes back to the main thread.
void PhotoEditingViewController::writeOutput(graphics::ImagePtr image, CompletionHandler completionHandler) {
    auto output = std::make_shared<photos::ContentEditingOutput>(input());
    const bool shouldProcces = _shouldProcces;
    std::thread([guard = QPointer<QObject>(this), this, image = std::move(image), output, shouldProcces,
                 completionHandler = std::move(completionHandler)] {
        bool written = true;
        if (shouldProcces) {
            written = false;
            if (!image) {
                std::cerr << "opalene extension: no edited image to hand back\n";
            } else if (auto destination = imageio::ImageDestination::createWithPath(
                           output->renderedContentURL(), "public.jpeg")) {
                destination->addImage(image, foundation::Dictionary{{imageio::kLossyCompressionQuality,
                                                                     foundation::Value(1.0)}});
                written = destination->finalize();
            }
            if (written)
                output->setAdjustmentData(photos::AdjustmentData(ExtensionInfo::bundleIdentifier(),
                                                                 ExtensionInfo::shortVersionString(),
                                                                 kAdjustmentDataText));
            else if (image)
                std::cerr << "opalene extension: cannot write the edited photo to "
                          << output->renderedContentURL() << "\n";
        }
        foundation::MainQueue::async([guard, this, completionHandler, output = written ? output : nullptr] {
            completionHandler(output);
            if (guard) clearContent();
        });
    }).detach();
}

void PhotoEditingViewController::cancelContentEditing() {
    foundation::MainQueue::async([guard = QPointer<QObject>(this), this] {
        if (guard) clearContent();
    });
}

void PhotoEditingViewController::clearContent() {
    gNeedTerminateProcess = true;
    appkit::DeferredCall::cancelPreviousPerformRequests(this, kCloseSelector);
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), kCloseSelector, kCloseDelay,
                                  [this] { closePhotoEditing(); });
}

void PhotoEditingViewController::closePhotoEditing() {
    if (!gNeedTerminateProcess) return;
    gNeedTerminateProcess = false;
    if (terminate) terminate(0);
}
