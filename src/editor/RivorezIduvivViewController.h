#pragma once
// The one window controller of the editor. It owns the window, the views and the toolbars, and
// holds the whole editing state: the working image and the image it was opened as, the metadata
// kept for saving, the selection, the frame shown over the image and the current tool. Every
// user-visible change of the image goes through `_setImage(image, animated)` so that it can be
// undone; the frame state setters register their old values the same way.
#include "controls/KXPopoverViewDataSource.h"
#include "controls/KXPopoverViewDelegate.h"
#include "controls/KXShareManager.h"
#include "controls/KXVQPopoverView.h"
#include "editor/ApplyWait.h"
#include "editor/FilterToolbarViewControllerDelegate.h"
#include "editor/ProgressViewControllerControllerDelegate.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "imageview/DrawingToolbarControllerDelegate.h"
#include "imageview/KXImageViewDelegate.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Rect.h"

#include <QBrush>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AMIndeterminateProgressIndicatorCell;
class CIMicroPaintView;
class CropToolbarView;
class CustomPreset;
class DrawingToolbarController;
class KXScroller;
class SuperFilterToolbarViewController;
class FilterToolbarViewController;
class KXBatchProcessing;
class KXButton;
class KXImageView;
class KXShareViewController;
class QFileDialog;
class QMenu;
class SelectPostProcessViewController;
class PostProcess;
class ProgressViewController;
class QLabel;
class QMainWindow;
class QShortcut;
class QTimer;
class RotationPanelView;
class VQTextView;
class QKeyEvent;
class QLabel;
class QMainWindow;
class QMimeData;
class QWidget;
class VQDialog;
namespace foundation {
class UndoManager;
struct Notification;
} // namespace foundation

inline constexpr const char* RivorezIduvivOriginalImageDidChange = "RivorezIduvivOriginalImageDidChange";
inline constexpr const char* kAngleDegreesChanged = "kAngleDegreesChanged";
inline constexpr const char* effectsSidebarStateWasChanged = "effectsSidebarStateWasChanged";

class RivorezIduvivViewController : public QObject,
                                    public PostProcessesManagerDelegate,
                                    public KXImageViewDelegate,
                                    public SelectPostProcessViewControllerOwner,
                                    public FilterToolbarViewControllerDelegate,
                                    public ProgressViewControllerControllerDelegate,
                                    public KXPopoverViewDataSource,
                                    public KXPopoverViewDelegate,
                                    public SuperFilterToolbarViewControllerDelegate,
                                    public DrawingToolbarControllerDelegate,
                                    public CIMicroPaintViewOwner {
    Q_OBJECT
  public:
    // Tool numbers; 3 is not used.
    enum Tool : int32_t { kBrowser = 0, kRotate = 1, kCrop = 2, kParameters = 4, kPainter = 5, kAdjust = 6 };
    static bool isValidTool(int32_t tool);

    // The window is built at once; the undo manager (the document's) is not owned.
    explicit RivorezIduvivViewController(foundation::UndoManager* undoManager);
    ~RivorezIduvivViewController() override;

    QMainWindow* window() const { return _window.get(); }

    // Working image.
    graphics::ImagePtr image() const override { return _image; }
    void setImage(graphics::ImagePtr image);
    void _setImage(graphics::ImagePtr image, bool animated);
    const graphics::ImagePtr& originalImage() const { return _originalImage; }
    void setOriginalImage(graphics::ImagePtr image) { _originalImage = std::move(image); }
    const foundation::Dictionary& imageProperties() const { return _imageProperties; }
    void setImageProperties(foundation::Dictionary properties) { _imageProperties = std::move(properties); }
    const std::string& imageUTType() const { return _imageUTType; }
    void setImageUTType(std::string type) { _imageUTType = std::move(type); }

    // Frame state; every setter registers its old value for undo.
    const graphics::ImagePtr& savedImageWithoutFrame() const {
        return _savedImageWithoutFrame ? _savedImageWithoutFrame : _image;
    }
    void setSavedImageWithoutFrame(graphics::ImagePtr image);
    PostProcess* currentFrameEffect() override { return _currentFrameEffect; }
    PostProcess* currentFrameEffect() const override { return _currentFrameEffect; }
    void setCurrentFrameEffect(PostProcess* effect);
    double frameParametr() override { return _frameParametr; }
    void setFrameParametr(double value);
    PostProcess* savedFrameEffect() const { return _savedFrameEffect; }
    void setSavedFrameEffect(PostProcess* effect);
    double savedFrameParametr() const { return _savedFrameParametr; }
    void setSavedFrameParametr(double value);
    void frameButtonClick() override;
    void validateTools();

    // Selection made in the browser: at most one of the two is set.
    PostProcess* selectedPostProcess() const { return _selectedPostProcess; }
    void setSelectedPostProcess(PostProcess* effect) { _selectedPostProcess = effect; }
    const std::shared_ptr<CustomPreset>& selectedPreset() const { return _selectedPreset; }
    void setSelectedPreset(std::shared_ptr<CustomPreset> preset) { _selectedPreset = std::move(preset); }

    // Tools.
    int32_t tool() const { return _tool; }
    int32_t currentMainTool() const { return _tool; }
    void setTool(int32_t tool) override;
    void fxToolButtonClick();

    // Undo and redo.
    foundation::UndoManager* undoManager() override { return _undoManager; }
    void validateUndoRedoButtonsState() override;
    void buttonUndoClick();
    void buttonRedoClick();
    bool isDisabledInteraction() const { return _isDisabledInteraction; }
    void setDisabledInteraction(bool disabled);

    graphics::ImagePtr imageForHistogram() const;

    // Opening a photo. The first two offer to save unsaved work first.
    void openWithSavingCurrentImageURL(const std::string& path);
    void openWithSavingCurrentImageNewImage(graphics::ImagePtr image);
    void openImageURL(const std::string& path);
    graphics::ImagePtr imageFromURL(const std::string& path, bool shouldBeOpened);
    void continueOpenImage(graphics::ImagePtr image);
    void openNewImage(graphics::ImagePtr image, const std::string& title);
    void openImage();
    void revertImageToOriginal();
    void addRecentWithURL(const std::string& path);

    // Saving and closing.
    bool needSaveDocument() const;
    bool isCurrentSaveDestinationExist() const;
    bool isDocumentEdited() const;
    void setDocumentEdited(bool edited);
    const std::string& representedFilename() const { return _representedFilename; }
    // The save question: Save (1) saves with a panel and runs the continuation after it, Don't
    // Save (0) runs it at once (a close ends the program), Cancel (-1) does nothing.
    void saveDocumentIfUserNeededWithContinueSelector(std::function<void()> continuation,
                                                      bool continuationCloses = false);
    void alertDidEnd(int returnCode, std::function<void()> continuation, bool continuationCloses);
    void saveImage();
    bool saveImageAtPath(const std::string& path, const std::string& type,
                         const foundation::Dictionary& properties, bool silent);
    void saveMenuItemClick();
    bool shouldCloseDocument();
    void closeDocumentWithSaving();
    void close();
    // How the program ends; tests replace it.
    std::function<void(int status)> terminate;

    // Stored settings repaired at start.
    void validatePreviewQualityParametr();
    void _validateDoubleClickActionParameter();

    // Parameter sidebar size remembered per browser tab.
    void newTabSelected(int32_t tab) override;
    bool savedToolbarEffectIsSmallSize() const { return _savedToolbarEffectIsSmallSize; }
    const std::map<int, bool>& effectsSideBarStates() const { return _effectsSideBarStates; }
    // The browser's tab, until the browser reports its own.
    int browserSelectedTab() const { return _browserSelectedTab; }
    void setBrowserSelectedTab(int tab) { _browserSelectedTab = tab; }

    // The browser's choice: previewed in the image view, tuned in the parameter toolbar.
    void selectPostProcess(PostProcess* effect) override;
    void selectPreset(std::shared_ptr<CustomPreset> preset) override;
    void showEffectsSidebar() override;
    void reloadPreview();
    bool imageViewIsDisabled() const override;
    void clearPreviewImage() override;
    void forceCustomCursorSet() override {}
    void stopEffectCenterProgress() override {}
    void startEffectCenterProgress() override {}
    void slidersDidChange() override { reloadPreview(); }
    void setImageViewBottomMargin(double margin) override;
    void zoomImageViewToFit(bool animated) override;

    // Renders the engine finishes.
    void finishPostProcess(PostProcessesManager& manager, PostProcess* effect, graphics::ImagePtr result,
                           graphics::ImagePtr beforeFrame, bool isPreview) override;
    void finishPreset(PostProcessesManager& manager, const std::shared_ptr<CustomPreset>& preset,
                      graphics::ImagePtr result, graphics::ImagePtr beforeFrame, bool isPreview) override;
    void generateImageForSelectedPostProcessOrPreset();

    // The parameter toolbar's buttons and sliders.
    void applyButtonDidClick(FilterToolbarViewController* toolbar) override;
    void slidersDidChange(FilterToolbarViewController* toolbar) override;
    void smallSizeClick(FilterToolbarViewController* toolbar) override;
    void cancelButtonDidClick(FilterToolbarViewController* toolbar) override;
    void drawButtonDidClick(FilterToolbarViewController* toolbar) override;
    void hideMaskButtonDidClick(FilterToolbarViewController* toolbar) override;
    void frameButtonClick(FilterToolbarViewController* toolbar) override;

    // The image view's questions.
    void showCropErrorWithMessage(const std::string& message, const std::string& infoString) override;
    void setStateForCropButton(bool state) override;
    int64_t currentMainTool() override { return _tool; }

    KXImageView* imageView() const { return _imageView; }
    SelectPostProcessViewController* selectPostProcessViewController() const {
        return _selectPostProcessViewController;
    }
    FilterToolbarViewController* filterToolbarController() const { return _filterToolbarController; }

    // Continuations kept for later Parts of the editor.
    std::function<void()> _continueAfterApplyingSelector;
    std::function<void()> _additionalSelectorAfterSaving;
    std::function<void()> _continueAfterHiddenSelector;

    KXButton* undoButton() const { return _undoButton; }
    KXButton* redoButton() const { return _redoButton; }
    KXButton* fxToolButton() const { return _fxToolButton; }
    KXButton* cropToolButton() const { return _cropToolButton; }
    KXButton* rotateToolButton() const { return _rotateToolButton; }
    KXButton* adjustButton() const { return _adjustButton; }
    KXButton* compareButton() const { return _compareButton; }
    KXButton* quickCompareButton() const { return _quickCompareButton; }
    KXButton* fullScreenButton() const { return _fullScreenButton; }
    KXButton* openImageButton() const { return _opentImageButton; }
    KXButton* saveButton() const { return _saveButton; }
    QWidget* contentView() const { return _contentView; }
    QWidget* topBarView() const { return _topBarView; }
    QWidget* backgroundView() const { return _backgroundView; }
    QLabel* versionLabel() const { return _versionLabel; }

    // The progress panel of a full-size apply: it exists from the request to the end or the cancel.
    void didChangedProgress(PostProcessesManager& manager, int64_t progress) override;
    void modalViewControllerDidFinish(QObject* controller, bool isCanceled) override;
    ProgressViewController* progressViewController() const { return _progressViewController; }
    VQDialog* currentDialog() const { return _currentDialog; }

    // ---- Geometry: the rotation panel and crop toolbar, turns, flips, crop, zoom and compare.
    // Quarter turn targets from an angle in degrees (each lands on a multiple of 90 in [0, 360)).
    static double leftQuarterTurnFrom(double angle);
    static double rightQuarterTurnFrom(double angle);
    // A fine step from an angle, wrapped into (-360, 360) as the buttons do.
    static double fineTurnLeftFrom(double angle, double step);
    static double fineTurnRightFrom(double angle, double step);
    static double degreesForSpeed(int64_t speed);
    // The angle field's text: the whole degrees, left-padded with blanks to five characters.
    static QString rotationAngleText(double degrees);
    // The image view's proportions code for a row of the proportions list; -1 for no such row.
    static int proportionsConstraintForIndex(int64_t index);
    static int64_t cropHeightForWidth(int64_t width, graphics::Point aspect);
    static int64_t cropWidthForHeight(int64_t height, graphics::Point aspect);

    void rotateLeftButtonClick();
    void rotateRightButtonClick();
    void cropRotateLeft();
    void cropRotateRigth();
    void cropRotate(int64_t degrees);
    void rotateByDegrees(double degrees);
    void resetRotationSpeed();
    double degreesForCurrentSpeed() const { return degreesForSpeed(_rotationSpeed); }
    int64_t rotationSpeed() const { return _rotationSpeed; }
    void validateRotationAngleLabel();
    void rotationAngleFieldDidChange();
    void flipHorizontalClick();
    void flipVerticalClick();
    void blockRotateControlsOnTime(double seconds);
    void unblockRotateControls();

    void applyCropClick();
    void updateProportion();
    void lockProportionsClick();
    void proportionsComboBoxDidChange();
    const QStringList& proportionsList() const { return cropProportionsArray; }
    KXVQPopoverView* proportionsPopover() const { return _popoverView; }
    bool cropProportionsPopupActive() const { return _cropProportionsPopupActive; }
    int kxPopoverViewTableCellHeight() override { return 20; }
    int kxPopoverViewTableViewWidth() override;
    QStringList kxPopoverViewTableViewCellsArray() override;
    int kxPopoverViewSelectedCellIndex() override;
    int kxPopoverViewMaxPopoverHeight() override { return 800; }
    QFont kxPopoverViewFont() override;
    void didSelectCellAtIndex(KXVQPopoverView* popover, int index) override;
    void wantsRelease(KXVQPopoverView* popover, bool release) override;
    bool hasBottomSeparatorAtIndex(KXVQPopoverView*, int) override { return false; }
    void _windowMinimizationHandler();

    void zoomInClick();
    void zoomOutClick();
    void zoomToActualSizeClick();
    void zoomToFitClick();
    void validateResizebleButtons();

    void buttonCompareClick();
    void fakeCompareButtonClick();
    void quickCompareButtonClick();
    void compareModeIsReady(bool ready) override;
    void validateSpinnerCenter();
    void spinnerAnimation();

    void cropResolutionWidth(uint64_t width, uint64_t height, KXImageView* view) override;
    void imageScaleDidChange(double scale, KXImageView* view) override;
    void cropResolutionWidthFieldDidChange();
    void cropResolutionHeightFieldDidChange();
    void setCropSize(int64_t width, int64_t height);
    void finalizeRotationGesture() override;

    RotationPanelView* rotationPanel() const;
    CropToolbarView* cropToolbar() const;
    KXButton* fitToScreenButton() const { return _fitToScreenButton; }
    KXButton* actualSizeButton() const { return _actualSizeButton; }
    KXButton* zoomInButton() const { return _zoomInButton; }
    KXButton* zoomOutButton() const { return _zoomOutButton; }
    KXButton* fakeCompareButton() const { return _fakeCompareButton; }
    AMIndeterminateProgressIndicatorCell* effectCenterProgress() const { return _effectCenterProgress; }
    QWidget* spinnerBackground() const { return _spinnerBackground; }

    // ---- Window events, full screen and the remembered window frame.
    static constexpr const char* kSavedFrameName = "RivorezIduvivSavedFrame";
    // Resize events are coalesced to one refit per frame; a pause this long ends a live resize.
    static constexpr int kResizeCoalesceMs = 16, kLiveResizeEndMs = 200;
    // The painter's horizontal scroller, vertical scroller and corner square (y-up) from the image
    // view's width, the brush toolbar's width and the content height.
    static std::array<graphics::Rect, 3> painterScrollerFrames(double imageViewWidth, double toolbarWidth,
                                                               double contentHeight, bool laterSystem);
    void windowWillStartLiveResize();
    void windowDidResize();
    void windowDidEndLiveResize();
    bool isLiveResize() const { return _isLiveResize; }
    // Full screen on Linux: the toolbars are hidden before the switch and rebuilt after it.
    void setWindowFullScreen(bool on);
    bool isWindowFullScreen() const;
    void windowWillEnterFullScreen();
    void windowDidEnterFullScreen();
    void windowWillExitFullScreen();
    void windowDidExitFullScreen();
    void windowDidMiniaturize();
    void windowDidDeminiaturize();
    void windowDidBecomeKey();
    void windowDidBecomeMain();
    void applicationDidUnhide();
    void restoreEscape();
    void escapeDetectorClick();
    QShortcut* escapeDetector() const { return _escapeDetector; }
    void rearrangeTopView();
    void delayedFit();
    void hideToolbars();
    void showToolbars();
    void saveWindowFrame();
    bool restoreSavedWindowFrame();
    // ---- Menus: which commands may run, backgrounds, the program's own full screen
    struct UserInterfaceItem {
        std::string action; // the command's selector name, "copy:"
        int64_t tag = 0;
        int state = 0; // the check mark, set by validation where the item has one
    };
    // Whether the command may run now; decided afresh at every call.
    bool validateUserInterfaceItem(UserInterfaceItem& item);
    // Whether the editor has the command: one of its own, or one set in `menuCommands`.
    bool respondsToMenuAction(const std::string& action) const;
    // Runs the command only when it exists and validation allows it now; false when it did not run.
    bool performMenuAction(const std::string& action, int64_t tag = 0);
    // Commands other parts of the editor own, by selector name. Until one is set its item stays
    // disabled. `enabled` answers where the rule asks about a control that owner holds (zoom).
    struct MenuCommand {
        std::function<void()> run;
        std::function<bool()> enabled;
    };
    std::map<std::string, MenuCommand> menuCommands;
    // Sets `menuCommands` for the commands the editor's other parts carry.
    void wireMenuCommands();
    void buttonShareClick();
    // Whether the splash screen is up; unset means never.
    std::function<bool()> splashViewIsShown;
    // How addresses are opened; unset, the desktop's browser opens them.
    std::function<bool(const std::string& url)> openURL;

    static constexpr int kBackgroundCount = 4;
    static std::string backgroundName(int index);
    static std::string backgroundImageName(int index);
    // The stored choice, 0 when absent or out of range.
    static int selectedBackgroundIndex();
    int getStateForBackgroundWithIndex(int index) const { return index == selectedBackgroundIndex() ? 1 : 0; }
    // The pattern brush of a background; no brush above the last one.
    static QBrush getBackgroundColorForIndex(int index);
    void validateBackgroundForIndex(int index);
    void onBackgroundMenuItemClick(int64_t tag);

    bool isFullScreen() const { return fullScreen; }
    void toggleFullScreen() { enterFullScreenMode(); }
    // Enters or leaves the program's own full screen.
    void enterFullScreenMode();
    void supportMenuItemClick();
    void aboutMenuItemClick();
    // After the preferences close: a changed preview quality drops the shared working image and
    // renders the shown preview again.
    void preferencesDidClose();
    // ---- Apply-and-wait, keys and clipboard ----
    // Applies the open tool and waits for that apply's end (applied, failed, cancelled, or nothing
    // to apply). From another thread the work is queued to the main thread; on the main thread it
    // runs at once and the main loop turns until the apply ends.
    ApplyWait::Result applyCurrentToolAndWait();
    // Main thread: starts the same apply and calls `then` once at its end, without waiting.
    void applyCurrentToolThen(std::function<void(ApplyWait::Result)> then);
    // The window's keys; answers whether the key was taken.
    bool keyDown(const QKeyEvent& event);
    void keyUp(const QKeyEvent& event);
    void flagsChanged(const QKeyEvent& event);
    std::vector<std::string> readablePasteboardTypes() const;
    std::vector<std::string> writableTypesForPasteboard() const;
    // New clipboard data offering the working image (null without one).
    QMimeData* writeDataToPasteboard() const;
    void copy();
    void paste();
    bool canReadDataFromPasteboard(const QMimeData* pasteboard) override;
    void readDataFromPasteboard(const QMimeData* pasteboard) override;
    // ---- Export to other applications, preset backup and sharing
    // Whether a save, export or share must apply the chosen look (or painted mask) first.
    bool needApplyCurrentPostProcessOrPreset() const;
    // The targets by menu title ("Adobe Photoshop", ..., "Dockline"); any other name does nothing.
    void preExportToApplicationWithName(const std::string& name);
    // The file handed over: "<temporary folder>/<photo name>.tiff", or the first free
    // "<photo name> n.tiff" from n = 2; kept until the next export by name.
    const std::string& exportPath();
    void saveExportedImage();
    void exportToPhotoshop();
    void exportToPhotoshopElements();
    void exportToLightroom();
    void exportToBrellin();
    void exportToVarnoc();
    void exportToDockline();
    // The first edition of the product the desktop has; empty when neither is installed.
    static std::string availableBrellinIdentifier();
    static std::string availableVarnocIdentifier();
    static std::string availableLightroomIdentifier();
    // Menu commands; the string is the sender's title.
    void exportToPhotoshopItemClick(const std::string& title);
    void exportToPhotoshopElementsItemClick(const std::string& title);
    void exportToLightroomItemClick(const std::string& title);
    void exportToBrellin(const std::string& title);
    void exportToVarnoc(const std::string& title);
    void exportToIPhotoItemClick();
    void exportToApertureItemClick();
    // The photo-library export of the application layer (it sits above the editor): hands the
    // image and its properties to the application of that identifier; false with the error text.
    // Unset, the two commands above do nothing.
    std::function<bool(const std::string& applicationId, const graphics::ImagePtr& image,
                       const foundation::Dictionary& properties, std::string* errorText)>
        photoLibraryExport;
    // The launcher screen's hand-over, called once with the export path, then cleared.
    std::function<void(const std::string& path)> _docklinePrepareBlock;
    void backupPresetsClick();
    void restorePresetsClick();
    void restorePresetsWithURL(const std::string& path);
    void showReplacingPresetsAlert();
    void alertSavePresetsDidEnd(int returnCode);
    void saveBackupPanelDidEnd(int returnCode, const std::string& path);
    void openBackupPanelDidEnd(int returnCode, const std::string& path);

    // Sharing: the File menu's share and open-in items and the share popover.
    void createSharingMenu();
    // The submenu of the menu bar's item tagged 5 (the "tag" property); null without one.
    QMenu* fileMenu() const;
    // Writes the working image to "<temporary folder>/<photo name>_edit.tiff" and hands its path
    // to the waiting handler, else to the given one; a failed write hands on an empty list.
    void continueCompletionHandler(KXShareManager::CompletionHandler handler);
    bool saveImage(const graphics::ImagePtr& image, const std::string& path, const std::string& type,
                   const foundation::Dictionary& properties);
    KXShareViewController* shareViewController();
    bool canShare() const { return true; }
    KXShareManager::PrepareBlock sharePrepareBlock();
    KXShareManager::CompletionHandler _continueShareCompletionHandler;
    KXButton* shareButton() const { return _shareButton; }
    // ---- Tools: the switch between tools, their buttons, side panels and the painter
    void buttonAdjustClick();
    void enterRotationMode();
    void buttonCropClick();
    void buttonPaintClick();
    void showEffectsToolbar();
    void hideEffectsToolbarAnimated(bool animated);
    void hideEffectSidebarAnimated(bool animated);
    void hideSuperfilterToolbarAnimated(bool animated);
    void hideCropToolbarAnimated(bool animated);
    void removeFromSuperviewSubview(QWidget* view);
    bool isEffectsSidebarShowed() const;
    void _beginEnterPainter();
    void _finalizeEnterPainter();
    void _beginLeavePainter();
    void hideImageView();
    void changeEnabledStateForCompareButton(bool enabled) override;
    // The kept rotation and crop panels: made by their commands' owner and handed in.
    QWidget* rotationView() const { return _rotationView; }
    void setRotationView(QWidget* view) { _rotationView = view; }
    QWidget* cropToolbarView() const { return _cropToolbarView; }
    void setCropToolbarView(QWidget* view) { _cropToolbarView = view; }
    SuperFilterToolbarViewController* superFilterToolbarController() const {
        return _superFilterToolbarController;
    }
    DrawingToolbarController* drawingToolbar() const { return _drawingToolbar; }
    CIMicroPaintView* painterView() const { return _painterView; }
    KXScroller* hScroller() const { return _hScroller; }
    KXScroller* vScroller() const { return _vScroller; }
    QWidget* scrollerSquare() const { return _scrollerSquare; }
    PostProcess* superFilterEffect() const { return superFilter.get(); }
    bool enteringPainter() const { return isEnteringPainter; }
    const graphics::ImagePtr& painterFrontImageForCanvas() const { return painterFrontImage; }

    // The adjustments toolbar.
    graphics::ImagePtr imageForHistogram() override;
    void applyButtonDidClick(SuperFilterToolbarViewController* toolbar) override;
    void slidersDidChange(SuperFilterToolbarViewController* toolbar) override;
    void smallSizeClick(SuperFilterToolbarViewController* toolbar) override;
    void cancelButtonDidClick(SuperFilterToolbarViewController* toolbar) override;
    void drawButtonDidClick(SuperFilterToolbarViewController* toolbar) override;
    void hideMaskButtonDidClick(SuperFilterToolbarViewController* toolbar) override;

    // ---- Painter: leaving by apply or cancel, their undo, the brush toolbar's messages
    void applyButtonDidClick(DrawingToolbarController* toolbar) override;
    void cancelButtonDidClick(DrawingToolbarController* toolbar) override;
    void invertMaskForDrawingToolbarController(DrawingToolbarController* toolbar) override;
    void showMask(DrawingToolbarController* toolbar, bool show) override;
    void eraseMask(DrawingToolbarController* toolbar, bool erase) override;
    void moveImage(DrawingToolbarController* toolbar, bool move) override;
    void clearMaskForDrawingToolbarController(DrawingToolbarController* toolbar) override;
    void brushSizeDidChange(DrawingToolbarController* toolbar, double size) override;
    void softnessDidChange(DrawingToolbarController* toolbar, double softness) override;
    void opacityDidChange(DrawingToolbarController* toolbar, double opacity) override;
    graphics::ImagePtr previewImageForDrawingToolbarController(DrawingToolbarController* toolbar, QSize size,
                                                               double brushSize, double brushSoftness,
                                                               double brushOpacity) override;
    void applyMask(DrawingToolbarController* toolbar, coreimage::ImagePtr mask) override;
    void applyMask(coreimage::ImagePtr mask) override;
    coreimage::ImagePtr laterMaskApplying() const override { return _laterMaskApplying; }
    void setLaterMaskApplying(coreimage::ImagePtr mask) override { _laterMaskApplying = std::move(mask); }
    void setToolbarBrushSize(double size) override;
    void exitFromPainter();
    void cancelFromPainter();
    void enterToPainterWithEffect(PostProcess* effect);
    void enterToPainterAfterCancelWithEffect(PostProcess* effect);
    void drawButtonDidClick();
    void hideMaskButtonDidClick();
    void hideMaskButtonStateWasChanged(const foundation::Notification& notification);
    bool showingMask() const { return _showingMask; }
    // ---- Save panel options
    // What the save panel's options chose: the type to write and the properties handed to the writer.
    struct SaveOptions {
        std::string type;
        foundation::Dictionary properties;
    };
    // Set by the application layer (the options view sits above the editor): puts the export options
    // into the save panel for the image's properties and type, and answers what reads the choice
    // once the panel is accepted. Unset, the panel writes the type of the name's extension.
    std::function<std::function<SaveOptions()>(QFileDialog& panel, const foundation::Dictionary& metadata,
                                               const std::string& type)>
        saveOptionsAccessory;
    // A save or export command first applies the look being tuned (a painted mask in the painter),
    // then runs `again`; true when it waits for that apply.
    bool applyPendingLookThen(std::function<void()> again);

    // ---- Adjustments: the moved slider's value into the adjustment effect, the busy indicator
    // Writes the control that `activeSlider` names into its parameter of the adjustment effect.
    void takeAdjustmentValue(int64_t activeSlider, const SuperFilterToolbarViewController& toolbar);
    void showAdjustmentsSpinner();
    void hideAdjustmentsSpinner();
    // ---- Splash screen: shown while no photo is open; photos dropped on it or on the image view open.
    void _showSplashView();
    void _hideSplashView();
    void delayedAlphaAnimation();
    void openImageFromSplashClick();
    void openRecentFromSplashClick();
    void closeSplashClick();
    // Set-up's deferred show, which an open arriving first cancels.
    void scheduleSplashView();
    bool isSplashViewShown() const { return _splashView != nullptr; }
    QWidget* splashView() const { return _splashView; }
    bool respondsToReadDataFromPasteboard() const override { return true; }
    // The camera import the program offers on the splash screen; unset hides its button.
    std::function<void()> importFromCamera;

  private:
    void buildWindow();
    // A button of the top bar, sized and named.
    KXButton* topBarButton(const char* name, const char* title, int width);
    void awakeFromNib();
    void configureTopBar();
    void effectsSidebarStateDidChange(const foundation::Notification& notification);
    void restoreSuperFilterDefaults();
    void resetManagerSource();
    void layoutContent();
    void setTitleForPath(const std::string& path);
    void showErrorOpeningFile();
    bool eventFilter(QObject* watched, QEvent* event) override;

    foundation::UndoManager* _undoManager;
    std::unique_ptr<QMainWindow> _window;

    graphics::ImagePtr _image;
    graphics::ImagePtr _originalImage;
    graphics::ImagePtr _savedImageWithoutFrame;
    PostProcess* _currentFrameEffect = nullptr;
    double _frameParametr = 0;
    PostProcess* _savedFrameEffect = nullptr;
    double _savedFrameParametr = 0;
    foundation::Dictionary _imageProperties;
    std::string _imageUTType;
    PostProcess* _selectedPostProcess = nullptr;
    std::shared_ptr<CustomPreset> _selectedPreset;
    std::unique_ptr<PostProcess> superFilter;
    int32_t _tool = kBrowser;
    int32_t _tempTool = kBrowser;
    std::map<int, bool> _effectsSideBarStates{{0, false}, {1, false}, {2, false}};
    bool _savedToolbarEffectIsSmallSize = false;
    int _browserSelectedTab = 0;
    bool _showingMask = true;
    bool _hideShowFrameButtonClicked = false;
    bool afterApplyingEffect = false;
    bool _isDisabledInteraction = false;
    bool _isLiveResize = false;
    bool _cropProportionsPopupActive = false;
    bool _isAlreadyLoaded = false;
    bool fullScreen = false;
    bool _validateButtonsPending = false;
    std::string _representedFilename;
    std::string _savedURL;
    graphics::ImagePtr _savedImage;

    QWidget* _contentView = nullptr;
    QWidget* _topBarView = nullptr;
    QWidget* _backgroundView = nullptr;
    KXImageView* _imageView = nullptr;
    SelectPostProcessViewController* _selectPostProcessViewController = nullptr;
    FilterToolbarViewController* _filterToolbarController = nullptr;
    double _browserHeight = 0;
    bool _applying = false;
    KXButton* _undoButton = nullptr;
    KXButton* _redoButton = nullptr;
    KXButton* _fxToolButton = nullptr;
    KXButton* _cropToolButton = nullptr;
    KXButton* _rotateToolButton = nullptr;
    KXButton* _adjustButton = nullptr;
    KXButton* _compareButton = nullptr;
    KXButton* _quickCompareButton = nullptr;
    KXButton* _fakeCompareButton = nullptr;
    KXButton* _fullScreenButton = nullptr;
    KXButton* _saveButton = nullptr;
    KXButton* _shareButton = nullptr;
    KXButton* _opentImageButton = nullptr;
    QLabel* _versionLabel = nullptr;

    // Full-size apply.
    void startProgressPanel();
    void endProgressPanel();
    void applyResult(PostProcess* effect, graphics::ImagePtr result, graphics::ImagePtr beforeFrame);
    void applyPresetResult(const std::shared_ptr<CustomPreset>& preset, graphics::ImagePtr result,
                           graphics::ImagePtr beforeFrame);
    ProgressViewController* _progressViewController = nullptr;
    VQDialog* _currentDialog = nullptr;
    // ---- Geometry and window events.
    void buildGeometryControls();
    void layoutGeometryControls();
    void installWindowEvents();
    void tearDownGeometry();
    void handleWindowEvent(QEvent* event);
    void finishFullScreenSwitch();
    void setProportionsTitleIndex(int64_t index);
    void setLockImages(bool locked);
    void showRotationAngle(double degrees);
    void countRotationClick();
    void setPendingRotationAngle(double degrees, const graphics::ImagePtr& shownImage);
    void flipPending(bool horizontal, const graphics::ImagePtr& shownImage);
    void dropPendingGeometrySteps();
    // Leaving the rotate tool: what it shows becomes the photo, as one undo step.
    void applyPendingTurnsAndFlips();
    // The image view's baked picture becomes the working image (reframed when a frame is shown).
    void takeTransformedImage(const char* actionName);
    void cropFieldDidChange(bool widthChanged);
    CIMicroPaintView* painterCanvas() const;
    QWidget* brushToolbarView() const;
    KXButton* applyCropButton() const;

    QWidget* _rotationView = nullptr;
    QWidget* _cropToolbarView = nullptr;
    int64_t _rotationSpeed = 0;
    QStringList cropProportionsArray;
    QPointer<KXVQPopoverView> _popoverView;
    KXButton* _fitToScreenButton = nullptr;
    KXButton* _actualSizeButton = nullptr;
    KXButton* _zoomInButton = nullptr;
    KXButton* _zoomOutButton = nullptr;
    AMIndeterminateProgressIndicatorCell* _effectCenterProgress = nullptr;
    QWidget* _spinnerBackground = nullptr;
    QTimer* theTimer = nullptr;
    QTimer* _resizeCoalesceTimer = nullptr;
    QTimer* _liveResizeEndTimer = nullptr;
    QShortcut* _escapeDetector = nullptr;
    // Target of the undo steps of pending turns and flips, dropped once those are applied or dropped.
    char _pendingGeometryUndoTarget = 0;
    QRect _frameBeforeFullScreen;
    bool _fullScreenSwitchPending = false;
    // The full-screen state the next resize completes: 0 none, 1 entered, 2 left.
    int _fullScreenDidStep = 0;
    // ---- Menus
    // The window as it was on entering full screen; a file opened or saved meanwhile replaces the
    // path and title shown on leaving.
    struct FullScreenSaved {
        QByteArray geometry;
        std::string path; // empty: no file
        QString title;
    };
    std::optional<FullScreenSaved> _fullScreenSaved;
    // Whether the clipboard holds a picture, asked once per clipboard change.
    std::optional<bool> _pasteboardReadable;
    bool _watchingClipboard = false;
    bool pasteboardReadable();
    // Shows a file's name as the title, or `untitled` when there is no file; in full screen the
    // pair waits for the leaving.
    void showTitleForPath(const std::string& path, const QString& untitled);
    // ---- Apply-and-wait, keys and clipboard ----
    void applyCurrentTool();
    // Wakes every caller waiting for the apply in flight.
    void endApplyWait(ApplyWait::Result result);
    bool applyCropIfShown();
    bool handleKeyEvent(QEvent* event);
    // Callers waiting for the apply in flight; main thread only.
    std::vector<std::shared_ptr<ApplyWait>> _semaphore;
    // Extension build: saves counted for the review prompt.
    void countSaveInExtension();
    // Export and sharing.
    std::function<void()> exportActionForName(const std::string& name);
    void showExportAlert(const std::string& message, const std::string& informative);
    void openExportedIn(const std::string& identifier, const char* title);
    std::string _exportPath;
    std::unique_ptr<KXShareViewController> _shareViewController;
    // ---- Tools and painter
    void leaveTool(int32_t old, int32_t next);
    void enterTool(int32_t tool, int32_t old);
    void configureFilterToolbar();
    void slideInPanel(QWidget* panel, int top, const char* removal);
    void slideOutPanel(QWidget* panel, const char* removal, bool release);
    void setToolButton(KXButton* button, bool current);
    void placePainterControls();
    void layoutToolPanels();
    void syncScrollers();
    bool applyCropButtonEnabled() const;
    SuperFilterToolbarViewController* _superFilterToolbarController = nullptr;
    DrawingToolbarController* _drawingToolbar = nullptr;
    CIMicroPaintView* _painterView = nullptr;
    KXScroller* _hScroller = nullptr;
    KXScroller* _vScroller = nullptr;
    QWidget* _scrollerSquare = nullptr;
    graphics::ImagePtr painterBackImage;
    graphics::ImagePtr painterFrontImage;
    bool isEnteringPainter = false;
    bool _superFilterLaunching = false;
    bool _askingToApplyCrop = false;
    coreimage::ImagePtr _laterMaskApplying;
    // ---- Splash screen
    class SplashDropDelegate;
    void buildSplashView();
    void layoutSplashView();
    void loadRecentThumbnail(const std::string& path);
    QWidget* _splashView = nullptr;
    QWidget* _splashViewContent = nullptr;
    std::shared_ptr<SplashDropDelegate> _splashDropDelegate;
    QTimer* _showSplashTimer = nullptr;
    // ---- Batch processing from the menu.
  public:
    void batchProcessingButtonPressed();
    KXBatchProcessing* batchProcessing() const { return _batchProcessing; }

  private:
    KXBatchProcessing* _batchProcessing = nullptr; // owned by the window
    // ---- Density: the engine's backing scale factor follows the window's screen.
    void trackBackingScaleFactor();
};
