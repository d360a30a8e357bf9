#include "editor/RivorezIduvivViewController.h"

#include "controls/KXButton.h"
#include "controls/KXShareViewController.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ImageOpening.h"
#include "editor/ProgressViewController.h"
#include "editor/RecentDocuments.h"
#include "editor/SelectPostProcessViewController.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/Alert.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "platform/services/ExtensionBuild.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXServiceUtils.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPalette>
#include <algorithm>
#include <cctype>
#include <iostream>

#ifndef OPALENE_VERSION
#define OPALENE_VERSION ""
#endif

namespace {

constexpr const char* kDoubleClickActionKey = "k_Double_Click_Action";
constexpr const char* kLastVersionKey = "PictavoLastVersionAppFloatValue";
constexpr const char* kLastVersionStringKey = "PictavoLastVersionAppString";
constexpr const char* kNeverShowReviewKey = "PictavoNeverShowReviewAppBoolValue";
constexpr const char* kCropProportionsKey = "k_Crop_Proportions_Popover_Selected_Cell_Key";
constexpr int kTopBarHeight = 42;

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void setBackground(QWidget* view, QColor colour) {
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, colour);
    view->setPalette(palette);
    view->setAutoFillBackground(true);
}

} // namespace

bool RivorezIduvivViewController::isValidTool(int32_t tool) {
    return tool >= kBrowser && tool <= kAdjust && tool != 3;
}

RivorezIduvivViewController::RivorezIduvivViewController(foundation::UndoManager* undoManager)
    : terminate([](int status) { QCoreApplication::exit(status); }), _undoManager(undoManager) {
    auto& center = foundation::NotificationCenter::defaultCenter();
    center.addObserver(this, effectsSidebarStateWasChanged, nullptr,
                       [this](const foundation::Notification& n) { effectsSidebarStateDidChange(n); });
    buildWindow();
    awakeFromNib();
    wireMenuCommands();
}

RivorezIduvivViewController::~RivorezIduvivViewController() {
    endApplyWait(ApplyWait::Result::Cancelled);
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    tearDownGeometry();
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    // No render may outlive the window that asked for it.
    manager.cleanGeneratedEffectsPresets();
    manager.setGeneratingOn(false);
    manager.cancelGeneratingPreview();
    if (manager.delegate() == this) manager.setDelegate(nullptr);
    if (manager.undoManager() == _undoManager) manager.setUndoManager(nullptr);
    if (manager.superFilter() == superFilter.get()) manager.setSuperFilter(nullptr);
    if (_undoManager) {
        _undoManager->removeAllActionsWithTarget(this);
        _undoManager->removeAllActionsWithTarget(static_cast<CIMicroPaintViewOwner*>(this));
    }
}

// The window in code: the top bar with the tool buttons over the content area, where the image
// view lies on the dark background.
void RivorezIduvivViewController::buildWindow() {
    _window = std::make_unique<QMainWindow>();
    _window->setObjectName("MainOpalene");
    _window->setWindowTitle("Opalene");
    _window->resize(1440, 900);
    _window->setMinimumSize(900, 600);
    _contentView = new QWidget;
    _contentView->setObjectName("contentView");
    setBackground(_contentView, QColor(18, 22, 27));
    _window->setCentralWidget(_contentView);
    _contentView->installEventFilter(this);
    _window->installEventFilter(this);

    _backgroundView = new QWidget(_contentView);
    _backgroundView->setObjectName("backgroundView");
    _imageView = new KXImageView(_contentView);
    _imageView->setObjectName("imageView");
    _imageView->setDelegate(this);
    _selectPostProcessViewController = new SelectPostProcessViewController(_contentView);
    _selectPostProcessViewController->setObjectName("effectBrowser");
    _selectPostProcessViewController->setOwner(this);
    _selectPostProcessViewController->setUndoManager(_undoManager);
    _browserHeight = SelectPostProcessViewController::kPanelHeight;

    _topBarView = new QWidget(_contentView);
    _topBarView->setObjectName("topBarView");
    setBackground(_topBarView, QColor(33, 37, 43));

    _opentImageButton = topBarButton("openImageButton", "Open", 70);
    _saveButton = topBarButton("saveButton", "Save", 70);
    _shareButton = topBarButton("shareButton", "Share", 70);
    _undoButton = topBarButton("undoButton", "Undo", 64);
    _redoButton = topBarButton("redoButton", "Redo", 64);
    _fxToolButton = topBarButton("fxToolButton", "Effects", 84);
    _cropToolButton = topBarButton("cropToolButton", "Crop", 70);
    _rotateToolButton = topBarButton("rotateToolButton", "Rotate", 74);
    _adjustButton = topBarButton("adjustButton", "Adjust", 74);
    _compareButton = topBarButton("compareButton", "Compare", 86);
    _quickCompareButton = topBarButton("quickCompareButton", "Quick Compare", 120);
    _fakeCompareButton = topBarButton("fakeCompareButton", "Compare", 86);
    _fullScreenButton = topBarButton("fullScreenButton", "Full Screen", 100);
    QObject::connect(_undoButton, &QAbstractButton::clicked, this, [this] { buttonUndoClick(); });
    QObject::connect(_redoButton, &QAbstractButton::clicked, this, [this] { buttonRedoClick(); });
    QObject::connect(_fxToolButton, &QAbstractButton::clicked, this, [this] { fxToolButtonClick(); });
    QObject::connect(_cropToolButton, &QAbstractButton::clicked, this, [this] { buttonCropClick(); });
    QObject::connect(_rotateToolButton, &QAbstractButton::clicked, this, [this] { enterRotationMode(); });
    QObject::connect(_adjustButton, &QAbstractButton::clicked, this, [this] { buttonAdjustClick(); });
    QObject::connect(_opentImageButton, &QAbstractButton::clicked, this, [this] { openImage(); });
    QObject::connect(_saveButton, &QAbstractButton::clicked, this, [this] { saveImage(); });
    QObject::connect(_fullScreenButton, &QAbstractButton::clicked, this, [this] { enterFullScreenMode(); });

    _versionLabel = new QLabel(_contentView);
    _versionLabel->setObjectName("versionLabel");
    _versionLabel->setStyleSheet("color: rgb(140, 146, 153); font: 11px 'Helvetica';");
    _versionLabel->hide();
    buildGeometryControls();
    trackBackingScaleFactor();
    layoutContent();
}

void RivorezIduvivViewController::layoutContent() {
    const int width = _contentView->width(), height = _contentView->height();
    _topBarView->setGeometry(0, 0, width, kTopBarHeight);
    _backgroundView->setGeometry(0, kTopBarHeight, width, std::max(0, height - kTopBarHeight));
    const int browser = int(_browserHeight);
    _imageView->setGeometry(0, kTopBarHeight, width, std::max(0, height - kTopBarHeight - browser));
    _imageView->raise();
    _selectPostProcessViewController->setGeometry(0, height - browser, width, browser);
    _selectPostProcessViewController->raise();
    _topBarView->raise();
    layoutToolPanels();

    // Left: file commands and undo; middle: the tools; right: comparing and full screen.
    int x = 10;
    for (KXButton* b : {_opentImageButton, _saveButton, _shareButton, _undoButton, _redoButton}) {
        if (b->isHidden()) continue;
        b->move(x, (kTopBarHeight - b->height()) / 2);
        x += b->width() + 6;
    }
    int tools = 0;
    for (KXButton* b : {_fxToolButton, _cropToolButton, _rotateToolButton, _adjustButton})
        tools += b->width() + 6;
    x = std::max(x + 20, (width - tools) / 2);
    for (KXButton* b : {_fxToolButton, _cropToolButton, _rotateToolButton, _adjustButton}) {
        b->move(x, (kTopBarHeight - b->height()) / 2);
        x += b->width() + 6;
    }
    x = width - 10;
    for (KXButton* b : {_fullScreenButton, _quickCompareButton, _compareButton}) {
        if (b->isHidden()) continue;
        x -= b->width();
        b->move(x, (kTopBarHeight - b->height()) / 2);
        x -= 6;
    }
    _fakeCompareButton->move(_compareButton->pos());
    _versionLabel->adjustSize();
    _versionLabel->move(width - _versionLabel->width() - 10, height - _versionLabel->height() - 6);
    layoutGeometryControls();
    layoutSplashView();
}

bool RivorezIduvivViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _contentView && event->type() == QEvent::Resize) layoutContent();
    if (watched == _window.get()) handleWindowEvent(event);
    if (watched == _window.get() && handleKeyEvent(event)) return true;
    return QObject::eventFilter(watched, event);
}

void RivorezIduvivViewController::awakeFromNib() {
    if (_isAlreadyLoaded) return;
    _isAlreadyLoaded = true;
    auto& center = foundation::NotificationCenter::defaultCenter();
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    auto& manager = PostProcessesManager::sharedPostProcessesManager();

    _effectsSideBarStates = {{0, false}, {1, false}, {2, false}};
    _hideShowFrameButtonClicked = false;
    center.addObserver(this, UndoManagerStackChanged, nullptr,
                       [this](const foundation::Notification&) { validateUndoRedoButtonsState(); });
    // The undo manager's own changes refresh the buttons too: Qt has no responder chain to do it.
    for (const char* name : {foundation::kUndoManagerDidCloseUndoGroupNotification,
                             foundation::kUndoManagerDidUndoChangeNotification,
                             foundation::kUndoManagerDidRedoChangeNotification})
        center.addObserver(this, name, nullptr,
                           [this](const foundation::Notification&) { validateUndoRedoButtonsState(); });
    // An undone or redone change leaves the photo other than the one saved: closing asks again.
    if (_undoManager)
        for (const char* name : {foundation::kUndoManagerDidUndoChangeNotification,
                                 foundation::kUndoManagerDidRedoChangeNotification})
            center.addObserver(this, name, _undoManager, [this](const foundation::Notification&) {
                if (_image) setDocumentEdited(true);
            });
    center.addObserver(this, PostProcessesManagerHideMaskDidChange, nullptr,
                       [this](const foundation::Notification& n) { hideMaskButtonStateWasChanged(n); });
    _showingMask = true;

    if (services::KXServiceUtils::currentVersionCompare("10.7.0") == 1)
        _quickCompareButton->hide();
    else
        _fullScreenButton->hide();

    // Versions compare number by number: "1.10" is newer than "1.9". The float key is still
    // written for settings files of earlier runs.
    const std::string version = OPALENE_VERSION;
    const std::string last = defaults.stringForKey(kLastVersionStringKey)
                                 .value_or(std::to_string(defaults.floatForKey(kLastVersionKey)));
    if (!version.empty() && services::KXServiceUtils::compareVersions(version, last) > 0) {
        defaults.setObject(foundation::Value(version), kLastVersionStringKey);
        defaults.setFloat(std::strtof(version.c_str(), nullptr), kLastVersionKey);
        defaults.setBool(false, kNeverShowReviewKey);
        defaults.synchronize();
    }
    _versionLabel->setText(QString("version ") + QString::fromStdString(version));

    validatePreviewQualityParametr();

    manager.setUndoManager(_undoManager);
    manager.setDelegate(this);

    // The first switch is set-up, not an edit: there is nothing for Undo to go back to.
    _tool = kAdjust;
    afterApplyingEffect = true;
    if (_undoManager) _undoManager->disableUndoRegistration();
    setTool(kBrowser);
    if (_undoManager) _undoManager->enableUndoRegistration();
    validateUndoRedoButtonsState();
    defaults.removeObjectForKey(kCropProportionsKey);
    _isLiveResize = false;
    installWindowEvents();
    splashViewIsShown = [this] { return isSplashViewShown(); };
    scheduleSplashView();
    configureTopBar();
}

void RivorezIduvivViewController::configureTopBar() {
    _quickCompareButton->setTitle(localized("Quick Compare"));
    _compareButton->setTitle(localized("Compare"));
    _quickCompareButton->setEnabled(false);
    _compareButton->setEnabled(false);
    _fakeCompareButton->hide();
    if (services::ExtensionBuild::isOn()) {
        _opentImageButton->hide();
        _shareButton->hide();
    }
}

void RivorezIduvivViewController::resetManagerSource() {
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    manager.setOriginalImage(savedImageWithoutFrame());
    CustomPresetsManager::sharedCustomPresetsManager().resetAllPreviewImages();
    for (const auto& effect : manager.postProcesses())
        effect->setPreviewImage(nullptr);
    manager.cleanGeneratedEffectsPresets();
}

void RivorezIduvivViewController::setImage(graphics::ImagePtr image) {
    if (image == _image) return;
    fxToolButtonClick();
    _image = std::move(image);
    auto& center = foundation::NotificationCenter::defaultCenter();
    if (_image)
        center.postNotificationName(
            RivorezIduvivOriginalImageDidChange, {},
            foundation::Dictionary{{"image", foundation::Value::object(savedImageWithoutFrame(), "Image")}});

    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    if (manager.originalImage() != savedImageWithoutFrame()) resetManagerSource();

    const bool replaying = _undoManager && (_undoManager->isUndoing() || _undoManager->isRedoing());
    if (!_currentFrameEffect && !replaying) {
        if (_hideShowFrameButtonClicked)
            _hideShowFrameButtonClicked = false;
        else
            manager.setMask(nullptr);
    }
    manager.cancelGeneratingImage();
    if (!(_selectedPostProcess && _selectedPostProcess->isFrame()))
        for (PostProcess* effect : manager.nonFrameProcesses())
            effect->resetParametrs();
    manager.cleanWorkingImage();

    if (auto* adjust = dynamic_cast<PP_SuperFilter*>(superFilter.get())) adjust->clearCashes();
    restoreSuperFilterDefaults();

    if (replaying) {
        if (_currentFrameEffect && _browserSelectedTab == 1)
            foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
                if (guard) validateTools();
            });
        else
            validateTools();
    }
    validateUndoRedoButtonsState();
    if (replaying)
        foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
            if (guard) _selectPostProcessViewController->reloadEffectsTableView();
        });
    else
        _selectPostProcessViewController->reloadEffectsTableView();
}

void RivorezIduvivViewController::_setImage(graphics::ImagePtr image, bool animated) {
    if (image == _image) return;
    if (_image) {
        if (_undoManager)
            _undoManager->registerUndo(this, [this, old = _image, animated] { _setImage(old, animated); });
    } else {
        animated = false;
    }
    setImage(std::move(image));
    if (_tool == kCrop)
        _imageView->setImage(savedImageWithoutFrame(), animated);
    else
        _imageView->setImage(_image, animated);
}

void RivorezIduvivViewController::setSavedImageWithoutFrame(graphics::ImagePtr image) {
    if (_undoManager)
        _undoManager->registerUndo(this,
                                   [this, old = _savedImageWithoutFrame] { setSavedImageWithoutFrame(old); });
    _savedImageWithoutFrame = std::move(image);
    if (_undoManager && (_undoManager->isUndoing() || _undoManager->isRedoing())) resetManagerSource();
}

void RivorezIduvivViewController::setCurrentFrameEffect(PostProcess* effect) {
    if (_undoManager)
        _undoManager->registerUndo(this, [this, old = _currentFrameEffect] { setCurrentFrameEffect(old); });
    _currentFrameEffect = effect;
}

void RivorezIduvivViewController::setFrameParametr(double value) {
    if (_undoManager)
        _undoManager->registerUndo(this, [this, old = _frameParametr] { setFrameParametr(old); });
    _frameParametr = value;
}

void RivorezIduvivViewController::setSavedFrameEffect(PostProcess* effect) {
    if (_undoManager)
        _undoManager->registerUndo(this, [this, old = _savedFrameEffect] { setSavedFrameEffect(old); });
    _savedFrameEffect = effect;
}

void RivorezIduvivViewController::setSavedFrameParametr(double value) {
    if (_undoManager)
        _undoManager->registerUndo(this, [this, old = _savedFrameParametr] { setSavedFrameParametr(old); });
    _savedFrameParametr = value;
}

void RivorezIduvivViewController::frameButtonClick() {
    _hideShowFrameButtonClicked = true;
    foundation::UndoManager* undo = _undoManager;
    if (_currentFrameEffect) {
        if (undo) undo->beginUndoGrouping();
        _setImage(savedImageWithoutFrame(), true);
        setSavedImageWithoutFrame(nullptr);
        setSavedFrameEffect(_currentFrameEffect);
        setSavedFrameParametr(_frameParametr);
        setCurrentFrameEffect(nullptr);
        setFrameParametr(0);
        if (undo) {
            undo->setActionName(localized("Hide frame").toStdString());
            undo->endUndoGrouping();
        }
        if (_selectedPostProcess && _selectedPostProcess->isFrame()) {
            _selectedPostProcess->freeMemory();
            _selectedPostProcess = nullptr;
            setTool(kBrowser);
        }
    } else if (_savedFrameEffect) {
        if (undo) undo->beginUndoGrouping();
        graphics::ImagePtr unframed = savedImageWithoutFrame();
        graphics::ImagePtr framed =
            PostProcessesManager::sharedPostProcessesManager().getFramedImageForPPFrame(
                _savedFrameEffect, _savedFrameParametr, unframed);
        PostProcess* frame = _savedFrameEffect;
        const double width = _savedFrameParametr;
        setCurrentFrameEffect(frame);
        setFrameParametr(width);
        setSavedFrameEffect(nullptr);
        setSavedFrameParametr(0);
        setSavedImageWithoutFrame(unframed);
        // A frame that could not be drawn leaves the picture as it is rather than showing nothing.
        _setImage(framed ? framed : unframed, true);
        if (undo) {
            undo->setActionName(localized("Show frame").toStdString());
            undo->endUndoGrouping();
        }
    }
}

void RivorezIduvivViewController::validateTools() {
    if (_tool == kParameters && (!_currentFrameEffect || _browserSelectedTab != 1)) {
        setTool(kBrowser);
    } else if ((_tool == kBrowser || _tool == kParameters) && _currentFrameEffect &&
               _browserSelectedTab == 1) {
        if (_undoManager) _undoManager->disableUndoRegistration();
        setTool(kBrowser);
        _selectedPostProcess = _currentFrameEffect;
        if (auto* first = _currentFrameEffect->param_1()) first->setValue(_frameParametr);
        setTool(kParameters);
        if (_undoManager) _undoManager->enableUndoRegistration();
    }
}

void RivorezIduvivViewController::fxToolButtonClick() {
    if (_tool != kParameters) setTool(kBrowser);
}

void RivorezIduvivViewController::validateUndoRedoButtonsState() {
    if (!_undoManager) {
        _undoButton->setEnabled(false);
        _redoButton->setEnabled(false);
        return;
    }
    if (_undoManager->isUndoing() || _undoManager->isRedoing()) {
        if (_validateButtonsPending) return;
        _validateButtonsPending = true;
        foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
            if (!guard) return;
            _validateButtonsPending = false;
            validateUndoRedoButtonsState();
        });
        return;
    }
    _undoButton->setEnabled(_undoManager->canUndo());
    _redoButton->setEnabled(_undoManager->canRedo());
}

void RivorezIduvivViewController::buttonUndoClick() {
    if (_isDisabledInteraction || !_undoManager) return;
    _undoManager->undo();
}

void RivorezIduvivViewController::buttonRedoClick() {
    if (_isDisabledInteraction || !_undoManager) return;
    _undoManager->redo();
}

graphics::ImagePtr RivorezIduvivViewController::imageForHistogram() const {
    return _imageView->previewImage() ? _imageView->previewImage() : _imageView->image();
}

void RivorezIduvivViewController::restoreSuperFilterDefaults() {
    if (!superFilter) return;
    for (const auto& parameter : superFilter->params())
        parameter->setValue(parameter->default_value());
}

void RivorezIduvivViewController::validatePreviewQualityParametr() {
    ::validatePreviewQualityParametr();
    _validateDoubleClickActionParameter();
}

void RivorezIduvivViewController::_validateDoubleClickActionParameter() {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    const std::optional<std::string> stored = defaults.stringForKey(kDoubleClickActionKey);
    const std::string value = lowered(stored.value_or(""));
    if (!stored || (value != "hide bottom menu" && value != "image fit to screen"))
        defaults.setObject(foundation::Value("Hide Bottom Menu"), kDoubleClickActionKey);
    defaults.synchronize();
}

void RivorezIduvivViewController::newTabSelected(int32_t tab) {
    _browserSelectedTab = tab;
    _savedToolbarEffectIsSmallSize = _effectsSideBarStates[tab];
}

void RivorezIduvivViewController::effectsSidebarStateDidChange(const foundation::Notification& notification) {
    if (std::optional<bool> small = notification.object.getBool())
        _effectsSideBarStates[_browserSelectedTab] = *small;
}

// ---- Opening

void RivorezIduvivViewController::openWithSavingCurrentImageURL(const std::string& path) {
    if (_showSplashTimer) _showSplashTimer->stop();
    if (needSaveDocument()) {
        _savedURL = path;
        saveDocumentIfUserNeededWithContinueSelector([this] {
            const std::string waiting = std::move(_savedURL);
            _savedURL.clear();
            openImageURL(waiting);
        });
    } else {
        openImageURL(path);
    }
}

void RivorezIduvivViewController::openWithSavingCurrentImageNewImage(graphics::ImagePtr image) {
    if (needSaveDocument()) {
        _savedImage = std::move(image);
        saveDocumentIfUserNeededWithContinueSelector([this] {
            graphics::ImagePtr waiting = std::move(_savedImage);
            _savedImage = nullptr;
            openNewImage(waiting, "Untitled");
        });
    } else {
        openNewImage(std::move(image), "Untitled");
    }
}

graphics::ImagePtr RivorezIduvivViewController::imageFromURL(const std::string& path, bool shouldBeOpened) {
    ImageOpening::OpenedPhoto opened = ImageOpening::readPhoto(path);
    if (!opened.hasSource || !opened.image) return nullptr;
    (void)shouldBeOpened; // the metadata panel is rebuilt by its owner from imageProperties()
    _imageProperties = std::move(opened.keptProperties);
    _imageUTType = std::move(opened.utType);
    _hideSplashView();
    return opened.image;
}

void RivorezIduvivViewController::openImageURL(const std::string& path) {
    _hideSplashView();
    graphics::ImagePtr image = imageFromURL(path, true);
    if (!image) {
        showErrorOpeningFile();
        return;
    }
    PostProcessesManager::sharedPostProcessesManager().setRecentMask(nullptr);
    if (ImageOpening::needsResize(image->width(), image->height()))
        image = ImageOpening::resizeInBackgroundImage(image);
    continueOpenImage(image);
    setTitleForPath(path);
    addRecentWithURL(path);
}

void RivorezIduvivViewController::continueOpenImage(graphics::ImagePtr image) {
    if (!image) return;
    if (_image) {
        setTool(kBrowser);
        setImage(nullptr);
        setDocumentEdited(false);
    }
    setSavedImageWithoutFrame(nullptr);
    setCurrentFrameEffect(nullptr);
    _savedFrameEffect = nullptr;
    _savedFrameParametr = 0;
    _frameParametr = 0;
    CustomPresetsManager::sharedCustomPresetsManager().setCurrentPostProcessesAndPresetsArray(nullptr);
    _setImage(image, false);
    for (const auto& effect : PostProcessesManager::sharedPostProcessesManager().postProcesses())
        effect->resetParametrs();
    setOriginalImage(image);
    if (_undoManager) _undoManager->removeAllActions();
    validateUndoRedoButtonsState();
}

void RivorezIduvivViewController::openNewImage(graphics::ImagePtr image, const std::string& title) {
    if (!image) return;
    _imageProperties.clear();
    _imageUTType.clear();
    _hideSplashView();
    continueOpenImage(std::move(image));
    _representedFilename = title;
    showTitleForPath("", QString::fromStdString(title));
}

void RivorezIduvivViewController::openImage() {
    QStringList patterns;
    for (const std::string& extension : ImageOpening::readableFileTypes())
        patterns << QString("*.%1").arg(QString::fromStdString(extension));
    auto* panel = new QFileDialog(_window.get(), localized("Open"));
    panel->setObjectName("openPanel");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setNameFilter(localized("Images") + " (" + patterns.join(' ') + ")");
    panel->setOption(QFileDialog::DontUseNativeDialog);
    if (!_representedFilename.empty())
        panel->setDirectory(QFileInfo(QString::fromStdString(_representedFilename)).absolutePath());
    QObject::connect(panel, &QFileDialog::fileSelected, this,
                     [this](const QString& file) { openWithSavingCurrentImageURL(file.toStdString()); });
    QObject::connect(panel, &QDialog::rejected, this, [this] {
        if (!_image) scheduleSplashView();
    });
    panel->open();
}

void RivorezIduvivViewController::revertImageToOriginal() {
    appkit::Alert alert = appkit::Alert::alertWithMessageText(
        localized("kStringRevertToOriginalMessageAlertText").toStdString(), localized("Revert").toStdString(),
        localized("Cancel").toStdString(), "",
        localized("kStringRevertToOriginalAdditionalAlertText").toStdString());
    alert.beginSheetModalForWindow(_window.get(), [guard = QPointer<QObject>(this), this](int code) {
        if (guard && code == appkit::Alert::DefaultReturn) continueOpenImage(_originalImage);
    });
}

void RivorezIduvivViewController::addRecentWithURL(const std::string& path) {
    RecentDocuments::noteNewRecentDocumentURL(path);
}

void RivorezIduvivViewController::setTitleForPath(const std::string& path) {
    _representedFilename = path;
    showTitleForPath(path, QString());
}

void RivorezIduvivViewController::showErrorOpeningFile() {
    appkit::Alert::alertWithMessageText(localized("kStringCantOpenImageAlertText").toStdString(),
                                        localized("Ok").toStdString(), "", "",
                                        localized("kStringCantOpenImageAlertInfo").toStdString())
        .beginSheetModalForWindow(_window.get(), [guard = QPointer<QObject>(this), this](int) {
            if (guard && !_image) scheduleSplashView();
        });
}

// ---- Saving and closing

bool RivorezIduvivViewController::isCurrentSaveDestinationExist() const {
    return !_representedFilename.empty() && QFileInfo(QString::fromStdString(_representedFilename)).isFile();
}

bool RivorezIduvivViewController::needSaveDocument() const {
    return _image && (isDocumentEdited() || !isCurrentSaveDestinationExist());
}

bool RivorezIduvivViewController::isDocumentEdited() const {
    return _window->isWindowModified();
}

KXButton* RivorezIduvivViewController::topBarButton(const char* name, const char* title, int width) {
    auto* b = new KXButton(_topBarView);
    b->setObjectName(name);
    b->setTitle(title);
    b->resize(width, 26);
    b->initialize();
    return b;
}

void RivorezIduvivViewController::setDocumentEdited(bool edited) {
    _window->setWindowModified(edited);
}

void RivorezIduvivViewController::saveDocumentIfUserNeededWithContinueSelector(
    std::function<void()> continuation, bool continuationCloses) {
    appkit::Alert alert = appkit::Alert::alertWithMessageText(
        localized("kStringSaveDialogText").toStdString(), localized("Save").toStdString(),
        localized("Don't Save").toStdString(), localized("Cancel").toStdString(),
        localized("kStringSaveDialogAdditionalText").toStdString());
    alert.beginSheetModalForWindow(_window.get(),
                                   [guard = QPointer<QObject>(this), this,
                                    continuation = std::move(continuation), continuationCloses](int code) {
                                       if (guard) alertDidEnd(code, continuation, continuationCloses);
                                   });
}

void RivorezIduvivViewController::alertDidEnd(int returnCode, std::function<void()> continuation,
                                              bool continuationCloses) {
    if (returnCode == appkit::Alert::DefaultReturn) {
        _additionalSelectorAfterSaving = std::move(continuation);
        foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), this] {
            if (guard) saveImage();
        });
    } else if (returnCode == appkit::Alert::AlternateReturn) {
        if (continuationCloses) {
            if (terminate) terminate(0);
            return;
        }
        setDocumentEdited(false);
        foundation::MainQueue::after(
            0, [guard = QPointer<QObject>(this), continuation = std::move(continuation)] {
                if (guard && continuation) continuation();
            });
    }
}

void RivorezIduvivViewController::saveImage() {
    if (!_image) return;
    if (applyPendingLookThen([this] { saveImage(); })) return;
    auto* panel = new QFileDialog(_window.get(), localized("Save"));
    panel->setObjectName("savePanel");
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setOption(QFileDialog::DontUseNativeDialog);
    const QFileInfo current(QString::fromStdString(_representedFilename));
    if (current.isAbsolute()) panel->setDirectory(current.absolutePath());
    const std::string type = _imageUTType.empty() ? std::string("public.jpeg") : _imageUTType;
    const std::vector<std::string> extensions = imageio::extensionsForType(type);
    const QString extension =
        extensions.empty() ? QString("jpg") : QString::fromStdString(extensions.front());
    panel->selectFile(current.completeBaseName().isEmpty() ? "Untitled." + extension
                                                           : current.completeBaseName() + "." + extension);
    std::function<SaveOptions()> chosenOptions;
    if (saveOptionsAccessory) chosenOptions = saveOptionsAccessory(*panel, _imageProperties, _imageUTType);
    QObject::connect(
        panel, &QFileDialog::fileSelected, this, [this, type, chosenOptions](const QString& file) {
            if (chosenOptions) {
                const SaveOptions options = chosenOptions();
                if (!options.type.empty()) {
                    saveImageAtPath(file.toStdString(), options.type, options.properties, false);
                    return;
                }
            }
            // The name's extension chooses the format; an unknown one keeps the photo's own.
            std::string chosen = imageio::typeForExtension(QFileInfo(file).suffix().toLower().toStdString());
            const auto& writable = imageio::destinationTypeIdentifiers();
            if (chosen.empty() || std::find(writable.begin(), writable.end(), chosen) == writable.end())
                chosen = type;
            saveImageAtPath(file.toStdString(), chosen, _imageProperties, false);
        });
    panel->open();
}

bool RivorezIduvivViewController::saveImageAtPath(const std::string& path, const std::string& type,
                                                  const foundation::Dictionary& properties, bool silent) {
    // A temporary copy for another program does not change what the quick save writes.
    if (!silent) _imageUTType = type;
    if (_image) {
        std::unique_ptr<imageio::ImageDestination> destination =
            imageio::ImageDestination::createWithPath(path, type);
        bool written = false;
        if (destination) {
            destination->addImage(_image, properties);
            written = destination->finalize();
        }
        if (!silent) addRecentWithURL(path);
        if (!written) {
            appkit::Alert::alertWithMessageText(localized("Image cannot be saved").toStdString(),
                                                localized("OK").toStdString(), "", "", "")
                .beginSheetModalForWindow(_window.get(), [](int) {});
            return false;
        }
        countSaveInExtension();
    } else if (services::ExtensionBuild::isOn()) {
        std::cerr << "*** saveImageToPath - no image\n";
    }
    if (!silent) {
        setTitleForPath(path);
        setDocumentEdited(false);
    }
    if (_additionalSelectorAfterSaving) {
        std::function<void()> next = std::move(_additionalSelectorAfterSaving);
        _additionalSelectorAfterSaving = nullptr;
        foundation::MainQueue::after(0, [guard = QPointer<QObject>(this), next = std::move(next)] {
            if (guard) next();
        });
    }
    return true;
}

void RivorezIduvivViewController::saveMenuItemClick() {
    if (_imageUTType.empty() || _representedFilename.empty()) {
        saveImage();
        return;
    }
    if (applyPendingLookThen([this] { saveMenuItemClick(); })) return;
    std::unique_ptr<imageio::ImageDestination> destination =
        imageio::ImageDestination::createWithPath(_representedFilename, _imageUTType);
    if (!destination) {
        saveImage();
        return;
    }
    destination->addImage(_image, _imageProperties);
    // A failed write keeps the old file and the unsaved state, and says so.
    if (!destination->finalize()) {
        appkit::Alert::alertWithMessageText(localized("Image cannot be saved").toStdString(),
                                            localized("OK").toStdString(), "", "", "")
            .beginSheetModalForWindow(_window.get(), [](int) {});
        return;
    }
    setDocumentEdited(false);
}

bool RivorezIduvivViewController::shouldCloseDocument() {
    if (!isDocumentEdited()) return true;
    saveDocumentIfUserNeededWithContinueSelector([this] { close(); }, true);
    return false;
}

void RivorezIduvivViewController::closeDocumentWithSaving() {
    if (!needSaveDocument())
        close();
    else
        saveDocumentIfUserNeededWithContinueSelector([this] { close(); }, true);
}

void RivorezIduvivViewController::close() {
    _window->hide();
    if (terminate) terminate(0);
}

// ---- Selection, preview and apply

void RivorezIduvivViewController::selectPostProcess(PostProcess* effect) {
    if (!effect || !_image) return;
    _selectedPostProcess = effect;
    _selectedPreset = nullptr;
    if (_tool != kParameters)
        setTool(kParameters);
    else {
        configureFilterToolbar();
        showEffectsSidebar();
    }
    reloadPreview();
}

void RivorezIduvivViewController::selectPreset(std::shared_ptr<CustomPreset> preset) {
    if (!preset || !_image) return;
    _selectedPreset = std::move(preset);
    _selectedPostProcess = nullptr;
    if (_tool != kParameters)
        setTool(kParameters);
    else {
        configureFilterToolbar();
        showEffectsSidebar();
    }
    reloadPreview();
}

void RivorezIduvivViewController::reloadPreview() {
    // A preview run would replace the apply in flight, which then never finishes.
    if (_applying) return;
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    if (_selectedPostProcess)
        manager.generateImageForPostProcess(_selectedPostProcess, true, this);
    else if (_selectedPreset)
        manager.generateImageForPreset(_selectedPreset, true, this);
}

void RivorezIduvivViewController::generateImageForSelectedPostProcessOrPreset() {
    if ((!_selectedPostProcess && !_selectedPreset) || !_image) {
        appkit::Alert::alertWithMessageText(localized("kStringNoFilterSelected").toStdString(),
                                            localized("OK").toStdString(), "", "", "")
            .beginSheetModalForWindow(_window.get(), [](int) {});
        return;
    }
    auto& manager = PostProcessesManager::sharedPostProcessesManager();
    _applying = true;
    if (_filterToolbarController) _filterToolbarController->setEnabledStateForButtons(false);
    startProgressPanel();
    // The render is requested first, the title set right after.
    if (_selectedPostProcess) {
        PostProcess* effect = _selectedPostProcess;
        manager.generateImageForPostProcess(effect, false, this);
        if (_progressViewController)
            _progressViewController->setTitle(
                _tool == kAdjust ? localized("Applying changes")
                                 : localized("Applying %@ filter")
                                       .replace("%@", QString::fromStdString(effect->get_name())));
    } else {
        std::shared_ptr<CustomPreset> preset = _selectedPreset;
        manager.generateImageForPreset(preset, false, this);
        if (_progressViewController)
            _progressViewController->setTitle(
                localized("Applying %@ preset").replace("%@", QString::fromStdString(preset->name())));
    }
}

void RivorezIduvivViewController::finishPostProcess(PostProcessesManager& manager, PostProcess* effect,
                                                    graphics::ImagePtr result, graphics::ImagePtr beforeFrame,
                                                    bool isPreview) {
    hideAdjustmentsSpinner();
    if (isPreview) {
        const bool adjusting = _tool == kAdjust && effect && effect == superFilter.get();
        const bool selected = effect ? effect == _selectedPostProcess : _selectedPreset != nullptr;
        if (result && ((selected && _tool == kParameters) || adjusting))
            _imageView->setPreviewImage(result, true);
        return;
    }
    // The finish of an apply the user cancelled may already have been on its way.
    if (!_applying) return;
    _applying = false;
    if (_filterToolbarController) _filterToolbarController->setEnabledStateForButtons(true);
    // The panel goes whatever the outcome: a failed run must not leave the window blocked.
    if (_progressViewController) _progressViewController->processFinish();
    if (isEnteringPainter) {
        // The effect at full size without the mask: the canvas paints it in over the photo.
        manager.setGenerateWithoutMask(false);
        painterFrontImage = beforeFrame ? beforeFrame : result;
        _finalizeEnterPainter();
        return;
    }
    // A run that could not make a picture leaves the photo as it was, with nothing to undo.
    if (!result) {
        endApplyWait(ApplyWait::Result::Failed);
        return;
    }
    applyResult(effect, std::move(result), std::move(beforeFrame));
    endApplyWait(ApplyWait::Result::Applied);
}

void RivorezIduvivViewController::finishPreset(PostProcessesManager& manager,
                                               const std::shared_ptr<CustomPreset>& preset,
                                               graphics::ImagePtr result, graphics::ImagePtr beforeFrame,
                                               bool isPreview) {
    if (isPreview) {
        if (preset == _selectedPreset)
            finishPostProcess(manager, nullptr, std::move(result), std::move(beforeFrame), true);
        return;
    }
    if (!_applying) return;
    _applying = false;
    if (_filterToolbarController) _filterToolbarController->setEnabledStateForButtons(true);
    if (_progressViewController) _progressViewController->processFinish();
    if (!result) {
        endApplyWait(ApplyWait::Result::Failed);
        return;
    }
    applyPresetResult(preset, std::move(result), std::move(beforeFrame));
    endApplyWait(ApplyWait::Result::Applied);
}

bool RivorezIduvivViewController::imageViewIsDisabled() const {
    return _imageView->isDisabled();
}

void RivorezIduvivViewController::clearPreviewImage() {
    _imageView->setPreviewImage(nullptr, true);
}

void RivorezIduvivViewController::setImageViewBottomMargin(double margin) {
    _browserHeight = margin;
    layoutContent();
}

void RivorezIduvivViewController::zoomImageViewToFit(bool animated) {
    _imageView->zoomToFitAnimated(animated);
}

void RivorezIduvivViewController::applyButtonDidClick(FilterToolbarViewController* toolbar) {
    (void)toolbar;
    if (!_applying) generateImageForSelectedPostProcessOrPreset();
}

void RivorezIduvivViewController::slidersDidChange(FilterToolbarViewController* toolbar) {
    (void)toolbar;
    reloadPreview();
}

void RivorezIduvivViewController::cancelButtonDidClick(FilterToolbarViewController* toolbar) {
    (void)toolbar;
    setTool(kBrowser);
}

void RivorezIduvivViewController::frameButtonClick(FilterToolbarViewController* toolbar) {
    (void)toolbar;
    frameButtonClick();
}
