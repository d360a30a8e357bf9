#pragma once
// The one window controller of the editor. It owns the window, the views and the toolbars, and
// holds the whole editing state: the working image and the image it was opened as, the metadata
// kept for saving, the selection, the frame shown over the image and the current tool. Every
// user-visible change of the image goes through `_setImage(image, animated)` so that it can be
// undone; the frame state setters register their old values the same way.
#include "editor/FilterToolbarViewControllerDelegate.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "imageview/DrawingToolbarControllerDelegate.h"
#include "imageview/KXImageViewDelegate.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CIMicroPaintView;
class CustomPreset;
class DrawingToolbarController;
class KXScroller;
class SuperFilterToolbarViewController;
class FilterToolbarViewController;
class KXButton;
class KXImageView;
class SelectPostProcessViewController;
class PostProcess;
class QLabel;
class QMainWindow;
class QWidget;
namespace foundation {
class UndoManager;
struct Notification;
}  // namespace foundation

inline constexpr const char* RivorezIduvivOriginalImageDidChange = "RivorezIduvivOriginalImageDidChange";
inline constexpr const char* kAngleDegreesChanged = "kAngleDegreesChanged";
inline constexpr const char* effectsSidebarStateWasChanged = "effectsSidebarStateWasChanged";

class RivorezIduvivViewController : public QObject,
                                    public PostProcessesManagerDelegate,
                                    public KXImageViewDelegate,
                                    public SelectPostProcessViewControllerOwner,
                                    public FilterToolbarViewControllerDelegate,
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
  const graphics::ImagePtr& savedImageWithoutFrame() const { return _savedImageWithoutFrame ? _savedImageWithoutFrame : _image; }
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
  void setDisabledInteraction(bool disabled) { _isDisabledInteraction = disabled; }

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
  void saveDocumentIfUserNeededWithContinueSelector(std::function<void()> continuation, bool continuationCloses = false);
  void alertDidEnd(int returnCode, std::function<void()> continuation, bool continuationCloses);
  void saveImage();
  bool saveImageAtPath(const std::string& path, const std::string& type, const foundation::Dictionary& properties,
                       bool silent);
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
  void finishPreset(PostProcessesManager& manager, const std::shared_ptr<CustomPreset>& preset, graphics::ImagePtr result,
                    graphics::ImagePtr beforeFrame, bool isPreview) override;
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
  void setStateForCropButton(bool state) override { (void)state; }
  int64_t currentMainTool() override { return _tool; }

  KXImageView* imageView() const { return _imageView; }
  SelectPostProcessViewController* selectPostProcessViewController() const { return _selectPostProcessViewController; }
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
  QWidget* contentView() const { return _contentView; }
  QWidget* topBarView() const { return _topBarView; }
  QWidget* backgroundView() const { return _backgroundView; }
  QLabel* versionLabel() const { return _versionLabel; }

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
  SuperFilterToolbarViewController* superFilterToolbarController() const { return _superFilterToolbarController; }
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

 private:
  void buildWindow();
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
  // Stand-ins for the geometry commands' own methods.
  void applyCropClick();
  void validateResizebleButtons();
  QWidget* _rotationView = nullptr;
  QWidget* _cropToolbarView = nullptr;
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
};
