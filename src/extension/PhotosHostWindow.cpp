#include "extension/PhotosHostWindow.h"

#include "controls/KXButton.h"
#include "extension/PhotoEditingViewController.h"
#include "platform/appkit/Alert.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPalette>
#include <QPointer>
#include <QVBoxLayout>
#include <iostream>

namespace {
constexpr int kBarHeight = 44;
}

PhotosHostWindow::PhotosHostWindow(std::string photo, std::string outputDirectory,
                                   std::optional<std::string> adjustmentDataPath)
    : terminate([](int status) { QCoreApplication::exit(status); }), _photo(std::move(photo)),
      _outputDirectory(std::move(outputDirectory)), _adjustmentDataPath(std::move(adjustmentDataPath)) {
    setObjectName("PhotosHostWindow");
    setWindowTitle(QFileInfo(QString::fromStdString(_photo)).fileName() + " - Photos");
    resize(1280, 860);
    setMinimumSize(900, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    _extension = new PhotoEditingViewController(this);
    layout->addWidget(_extension, 1);
    _extension->terminate = [this](int status) {
        if (_ended) return;
        _ended = true;
        if (status != 0) _exitStatus = status;
        if (terminate) terminate(_exitStatus);
    };

    _bar = new QWidget(this);
    _bar->setObjectName("hostBar");
    _bar->setFixedHeight(kBarHeight);
    _bar->setAutoFillBackground(true);
    QPalette palette = _bar->palette();
    palette.setColor(QPalette::Window, QColor(28, 31, 36));
    _bar->setPalette(palette);
    layout->addWidget(_bar);
    auto button = [this](const char* name, const char* title) {
        auto* b = new KXButton(_bar);
        b->setObjectName(name);
        b->setTitle(title);
        b->resize(84, 26);
        b->initialize();
        return b;
    };
    _cancelButton = button("cancelButton", "Cancel");
    _doneButton = button("doneButton", "Done");
    connect(_cancelButton, &QAbstractButton::clicked, this, [this] { cancel(); });
    connect(_doneButton, &QAbstractButton::clicked, this, [this] { done(); });
    layoutBar();
}

PhotosHostWindow::~PhotosHostWindow() {
    if (_finisher.joinable()) _finisher.join();
}

void PhotosHostWindow::warn(std::string message) {
    std::cerr << "opalene-photos-host: " << message << "\n";
    _warnings.push_back(std::move(message));
}

void PhotosHostWindow::start() {
    auto input = std::make_shared<photos::ContentEditingInput>();
    input->fullSizeImageURL = _photo;
    input->outputDirectory = _outputDirectory;
    if (_adjustmentDataPath) {
        std::string error;
        std::optional<photos::AdjustmentData> stored =
            photos::AdjustmentData::readFromFile(*_adjustmentDataPath, &error);
        if (!stored)
            warn(error + "; the photo is edited afresh");
        else if (_extension->canHandleAdjustmentData(*stored))
            input->adjustmentData = std::move(stored);
    }
    _exitStatus = kCancelled;
    _extension->startContentEditingWithInput(input, nullptr);
}

void PhotosHostWindow::done() {
    if (!_doneButton->isEnabled()) return;
    _doneButton->setEnabled(false);
    _cancelButton->setEnabled(false);
    if (_finisher.joinable()) _finisher.join();
    QPointer<PhotosHostWindow> guard(this);
    _finisher = std::thread([guard, extension = _extension, this] {
        extension->finishContentEditingWithCompletionHandler(
            [guard, this](std::shared_ptr<photos::ContentEditingOutput> output) {
                if (guard) finished(std::move(output));
            });
    });
}

void PhotosHostWindow::finished(std::shared_ptr<photos::ContentEditingOutput> output) {
    if (_finisher.joinable()) _finisher.join();
    _output = output;
    _exitStatus = kFailed;
    if (!output) {
        warn("the extension handed back no edited photo; nothing was saved");
    } else if (!QFileInfo(QString::fromStdString(output->renderedContentURL())).isFile() ||
               !output->adjustmentData()) {
        warn("the extension's output has no edited photo; nothing was saved");
    } else {
        std::string error;
        if (output->adjustmentData()->writeToFile(output->adjustmentDataURL(), &error))
            _exitStatus = kSaved;
        else
            warn(error);
    }
    _doneButton->setEnabled(true);
    _cancelButton->setEnabled(true);
}

void PhotosHostWindow::cancel() {
    if (!_cancelButton->isEnabled()) return;
    if (!_extension->shouldShowCancelConfirmation()) {
        cancelConfirmed();
        return;
    }
    appkit::Alert::alertWithMessageText("Discard the changes made in the extension?", "Discard Changes",
                                        "Keep Editing", "", "")
        .beginSheetModalForWindow(this, [guard = QPointer<PhotosHostWindow>(this)](int code) {
            if (guard && code == appkit::Alert::DefaultReturn) guard->cancelConfirmed();
        });
}

void PhotosHostWindow::cancelConfirmed() {
    _doneButton->setEnabled(false);
    _cancelButton->setEnabled(false);
    _exitStatus = kCancelled;
    _extension->cancelContentEditing();
}

void PhotosHostWindow::closeEvent(QCloseEvent* event) {
    // Closing is cancelling; the extension ends the program once it has let the edit go.
    event->ignore();
    cancel();
}

void PhotosHostWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutBar();
}

void PhotosHostWindow::layoutBar() {
    const int y = (kBarHeight - _doneButton->height()) / 2;
    _doneButton->move(width() - _doneButton->width() - 14, y);
    _cancelButton->move(_doneButton->x() - _cancelButton->width() - 10, y);
}
