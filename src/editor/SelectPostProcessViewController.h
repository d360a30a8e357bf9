#pragma once
// The effect browser at the bottom of the editor window: three tabs (Effects, Frames, Presets), a
// category drop-down, a favourites switch, a search field and the column strip of thumbnail cells.
// The lists come from SelectPostProcessListModel; this widget keeps the strip, its cells and the
// thumbnail queue in step with them and remembers a scroll position per tab.
#include "controls/KXPopoverViewDataSource.h"
#include "controls/KXPopoverViewDelegate.h"
#include "controls/KXTableView.h"
#include "controls/KXVQPopoverView.h"
#include "controls/VQDialogDelegate.h"
#include "controls/VQTextView.h"
#include "controls/VQTextViewTextDelegate.h"
#include "editor/KXFilterTableViewCell.h"
#include "editor/KXTableViewCell.h"
#include "editor/SelectPostProcessListModel.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class KXButton;
class QLabel;
class QScrollArea;
class SelectPostProcessViewControllerOwner;
class VQDialog;
class VQTextView;
namespace foundation {
class UndoManager;
}

class SelectPostProcessViewController : public QWidget,
                                        public KXTableViewDataSource,
                                        public KXTableViewDelegate,
                                        public VQTextViewTextDelegate,
                                        public KXTableViewCellDelegate,
                                        public KXPopoverViewDataSource,
                                        public KXPopoverViewDelegate,
                                        public VQDialogDelegate,
                                        public KXFilterTableViewCellDelegate {
    Q_OBJECT
  public:
    static constexpr int kEffectColumnWidth = 180, kPresetColumnWidth = 224;
    static constexpr int kPanelHeight = 184;

    explicit SelectPostProcessViewController(QWidget* parent = nullptr);
    ~SelectPostProcessViewController() override;

    SelectPostProcessViewControllerOwner* owner() const { return _owner; }
    void setOwner(SelectPostProcessViewControllerOwner* owner) { _owner = owner; }
    foundation::UndoManager* undoManager() const { return _undoManager; }
    void setUndoManager(foundation::UndoManager* undoManager) { _undoManager = undoManager; }

    // ---- Strip data source and delegate ----
    int64_t numberOfColumns() override;
    int64_t widthForColumnAtIndex(int64_t index) override;
    QWidget* cellForColumnAtIndex(int64_t index) override;
    void didSelectColumnAtIndex(KXTableView* tableView, int64_t index) override;
    void kxTableViewDidScroll() override;

    // ---- Category list: its rows, the checked row and a choice ----
    int kxPopoverViewMaxPopoverHeight() override { return 800; }
    int kxPopoverViewTableCellHeight() override { return 20; }
    int kxPopoverViewTableViewWidth() override;
    QFont kxPopoverViewFont() override;
    QStringList kxPopoverViewTableViewCellsArray() override;
    int kxPopoverViewSelectedCellIndex() override;
    bool hasBottomSeparatorAtIndex(KXVQPopoverView* popover, int index) override;
    // Also sent by the browser itself (no popover) to re-apply the remembered category.
    void didSelectCellAtIndex(KXVQPopoverView* popover, int row) override;
    void wantsRelease(KXVQPopoverView* popover, bool release) override;

    // ---- Search field ----
    void textDidChangeInTextView(VQTextView* textView) override;

    // ---- Lists ----
    SelectPostProcessListModel& listModel() { return _model; }
    const std::string& filterString() const { return _model.filterString(); }
    // An unset text clears the filter; the same filter (unset and empty alike) changes nothing.
    void setFilterString(const std::optional<std::string>& text);

    // ---- Tabs and controls ----
    int32_t selectedTab() const { return _model.selectedTab(); }
    std::optional<std::string> selectedTabIdentifier() const;
    void selectTab(int32_t tab);
    void effectsTabButtonClick();
    void framesTabButtonClick();
    void presetsTabButtonClick();
    void favoritesCheckBoxClick(QObject* sender);
    void categoriesPopupButtonClick();
    void validateTabButtonsImages();
    void favoritesChanged();
    void presetsDidChange();
    void validateInfoTableLabel();
    void validateShadows();
    void scrollEffectsLeft();
    void scrollEffectsRight();
    void reloadEffectsTableView();
    void saveCurrentTabScrollPosition();
    void restoreCurrentTabScrollPosition();
    void resetTabScrollPositions() { _tabScrollPositions.clear(); }
    void cleanSelectedItems();

    // ---- Selection and navigation ----
    // Selects a column as a click would (-1: the current column), clearing the filter first.
    void selectEffectIndex(int64_t index, bool scroll);
    void deselectCurrentEffect();
    // Without undo and without telling the owner.
    void deselectAll();
    void buttonShowNextEffectPreviewClick();
    void buttonShowPreviousEffectPreviewClick();
    void randomButtonClick();
    void scrollToSelectedEffectIfNeaded();
    // The bottom panel's height for the image view, 0 while the strip is collapsed.
    int64_t appButtomContentViewHeight() const;
    bool needsToShowCrosshairCursor() const;
    // A click on the preview at `point` (y-up, in the preview's frame) sets the effect's centre.
    void previewClickedAtPoint(QPointF point, QRectF previewFrame);
    // Any double click on the preview collapses or expands the strip.
    void previewDoubleClickedWithActionString(const std::string& action);
    void hidePostProcessesButtonClick();
    // Moves the bottom panel down so only its bar shows (`fully`: all of it).
    void hidePostProcessesPreviewsAnimated(bool animated, bool fully);
    void showPostProcessesPreviewsAnimated(bool animated);
    KXButton* hidePostProcessesButton() const { return _hidePostProcessesButton; }
    KXTableViewCell* selectedCell() const { return _selectedCell; }
    KXButton* nextEffectButton() const { return _nextEffectButton; }
    KXButton* previousEffectButton() const { return _previousEffectButton; }
    KXButton* randomButton() const { return _randomButton; }

    // ---- State ----
    int64_t selectedCategoryIndex() const { return _selectedCategoryIndex; }
    int64_t currentEffectIndex() const { return _currentEffectIndex; }
    std::map<std::string, std::string>& selectedItemsNames() { return _selectedItemsNames; }
    const std::map<std::string, double>& tabScrollPositions() const { return _tabScrollPositions; }
    bool categoriesPopupActive() const { return _categoriesPopupActive; }
    bool bottomContentViewHidden() const { return _bottomContentViewHidden; }
    void setBottomContentViewHidden(bool hidden) { _bottomContentViewHidden = hidden; }

    // ---- Views, for the editor and for tests ----
    QWidget* bottomContentView() const { return _bottomContentView; }
    KXTableView* postProcessesTableView() const { return _postProcessesTableView; }
    KXButton* tabButtonEffects() const { return _tabButtonEffects; }
    KXButton* tabButtonFrames() const { return _tabButtonFrames; }
    KXButton* tabButtonPresets() const { return _tabButtonPresets; }
    KXButton* categoriesPopupButton() const { return _categoriesPopupButton; }
    KXButton* favoritesCheckBox() const { return _favoritesCheckBox; }
    VQTextView* searchField() const { return _searchField; }
    QLabel* infoTableLabel() const { return _infoTableLabel; }
    QLabel* leftShadow() const { return _leftShadow; }
    QLabel* rightShadow() const { return _rightShadow; }
    QWidget* arrowsContainerView() const { return _arrowsContainerView; }
    // The open category list, or null.
    KXVQPopoverView* popoverView() const { return _popoverView; }

    // ---- Preset dialogs: add, rename and delete custom presets ----
    void addPresetButtonClick();
    // Opens the naming dialog for a preset not yet stored (null: nothing happens).
    void addPreset(std::shared_ptr<CustomPreset> preset);
    void deleteButtonClickInTableViewCell(KXTableViewCell* cell) override;
    void editButtonClickInTableViewCell(KXTableViewCell* cell) override;
    void okButtonClickInDialog(VQDialog* dialog) override;
    void destructiveButtonClickInDialog(VQDialog* dialog) override;
    // Closes the open dialog first: at most one is open.
    VQDialog* createDialogWithStyle(int style);
    void closeCurrentDialog();
    bool isPresetExportValid() const;
    void deletePreset(KXFilterTableViewCell* cell, std::shared_ptr<CustomPreset> preset) override;
    void sharePresetButtonClickWithPreset(KXFilterTableViewCell* cell,
                                          std::shared_ptr<CustomPreset> preset) override;
    KXButton* addPresetButton() const { return _addPresetButton; }
    VQDialog* currentDialog() const { return _currentDialog.get(); }
    VQTextView* presetNameTextField() const { return _presetNameTextField; }
    QLabel* infoForDialog() const { return _infoForDialog; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutViews();
    bool onListTab() const;
    bool favoritesPushed() const;
    // The list of the current tab, category row and favourites switch.
    std::vector<PostProcess*> currentEffects();
    static void setPushed(KXButton* button, bool pushed);
    void validateChainEffectsButtons();
    void makeEffectsChainEnabled(bool enabled);
    void handleChainEffectsSelection();
    void scrollToCellToSelectedIndex();
    void highlight(KXTableViewCell* cell);
    // After the lists changed: the tab's remembered item selected again when the list holds it.
    void reselectRememberedItem();
    // One step of Next or Previous once the column is known to be in view.
    void showSteppedSelection(int64_t columnWidth);
    void moveBottomContentView(int y, bool animated);

    SelectPostProcessListModel _model;
    SelectPostProcessViewControllerOwner* _owner = nullptr;
    foundation::UndoManager* _undoManager = nullptr;

    QWidget* _bottomContentView = nullptr;
    QScrollArea* _clipView = nullptr;
    KXTableView* _postProcessesTableView = nullptr;
    KXButton* _tabButtonEffects = nullptr;
    KXButton* _tabButtonFrames = nullptr;
    KXButton* _tabButtonPresets = nullptr;
    KXButton* _categoriesPopupButton = nullptr;
    KXButton* _favoritesCheckBox = nullptr;
    VQTextView* _searchField = nullptr;
    QLabel* _infoTableLabel = nullptr;
    QLabel* _leftShadow = nullptr;
    QLabel* _rightShadow = nullptr;
    QWidget* _arrowsContainerView = nullptr;
    KXButton* _scrollLeftButton = nullptr;
    KXButton* _scrollRightButton = nullptr;
    KXButton* _previousEffectButton = nullptr;
    KXButton* _randomButton = nullptr;
    KXButton* _nextEffectButton = nullptr;
    KXButton* _hidePostProcessesButton = nullptr;
    QPointer<KXTableViewCell> _selectedCell; // a cell of the cache
    bool isStarting = true;
    QPointer<KXVQPopoverView> _popoverView;

    // Cells live as long as the browser; keyed by the effect's name or the preset's identifier.
    std::map<std::string, std::unique_ptr<KXTableViewCell>> _effectsCells;
    std::map<std::string, std::string> _selectedItemsNames;
    std::map<std::string, double> _tabScrollPositions;
    int64_t _selectedCategoryIndex = 0;
    int64_t _currentEffectIndex = -1;
    bool _categoriesPopupActive = false;
    bool _bottomContentViewHidden = false;

    // ---- Preset dialogs ----
    void buildPresetControls();
    // The name field, its label and the message line of a naming dialog, at the field's y-up row.
    void addNameFields(VQDialog* dialog, const std::string& name, double fieldY, double labelY);
    std::unique_ptr<VQDialog> _currentDialog;
    std::shared_ptr<CustomPreset> _presetForAdding, _presetForEditing, _presetForDeleting;
    QPointer<VQTextView> _presetNameTextField;
    QPointer<QLabel> _infoForDialog;
    KXButton* _addPresetButton = nullptr;
    // Extension build: no presets, frames button, search or strip arrows in the bottom bar.
    void trimBottomBarForExtension();
};
