#include "editor/SelectPostProcessViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXVQPopoverView.h"
#include "controls/SharedBundle.h"
#include "controls/VQDialog.h"
#include "controls/VQTextView.h"
#include "controls/VQTextViewRules.h"
#include "controls/ViewAlpha.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/ExtensionBuild.h"
#include "platform/services/KXSLocalization.h"

#include <QLabel>
#include <QScrollArea>
#include <algorithm>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

KXButton* tabButton(QWidget* parent, const char* title) {
    auto* button = new KXButton(parent);
    button->setImage(imageNamedAdditional("browser_tab_off"));
    button->setTitle(title);
    button->resize(84, 24);
    return button;
}

QLabel* shadow(QWidget* parent, const char* name) {
    auto* view = new QLabel(parent);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setPixmap(QPixmap::fromImage(imageNamedAdditional(name)));
    view->setScaledContents(true);
    ViewAlpha::setAlpha(view, 0);
    return view;
}

PostProcessesManager& manager() {
    return PostProcessesManager::sharedPostProcessesManager();
}

constexpr int kStripTop = 40;

} // namespace

SelectPostProcessViewController::SelectPostProcessViewController(QWidget* parent) : QWidget(parent) {
    // The browser's part of the editor window's layout, built in code.
    resize(900, kPanelHeight);
    _bottomContentView = new QWidget(this);
    _bottomContentView->setAutoFillBackground(true);
    QPalette palette = _bottomContentView->palette();
    palette.setColor(QPalette::Window, QColor(38, 38, 41));
    _bottomContentView->setPalette(palette);

    _tabButtonEffects = tabButton(_bottomContentView, "Effects");
    _tabButtonFrames = tabButton(_bottomContentView, "Frames");
    _tabButtonPresets = tabButton(_bottomContentView, "Presets");
    connect(_tabButtonEffects, &QAbstractButton::clicked, this, [this] { effectsTabButtonClick(); });
    connect(_tabButtonFrames, &QAbstractButton::clicked, this, [this] { framesTabButtonClick(); });
    connect(_tabButtonPresets, &QAbstractButton::clicked, this, [this] { presetsTabButtonClick(); });

    _categoriesPopupButton = new KXButton(_bottomContentView);
    _categoriesPopupButton->setDropDown(true);
    _categoriesPopupButton->setButtonFontColor(Qt::white);
    QFont categoryFont("Helvetica Neue");
    categoryFont.setPixelSize(12);
    _categoriesPopupButton->setFont(categoryFont);
    _categoriesPopupButton->resize(180, 24);
    connect(_categoriesPopupButton, &QAbstractButton::clicked, this,
            [this] { categoriesPopupButtonClick(); });

    _favoritesCheckBox = new KXButton(_bottomContentView);
    _favoritesCheckBox->setCheckable(true);
    _favoritesCheckBox->setImage(imageNamedAdditional("favorites_check_off"));
    _favoritesCheckBox->setAlignment(Qt::AlignLeft);
    _favoritesCheckBox->setHorizontalOffset(22);
    _favoritesCheckBox->setTitle("Favorites");
    _favoritesCheckBox->resize(104, 24);
    connect(_favoritesCheckBox, &QAbstractButton::clicked, this,
            [this] { favoritesCheckBoxClick(_favoritesCheckBox); });

    _arrowsContainerView = new QWidget(_bottomContentView);
    _arrowsContainerView->resize(56, 24);
    _scrollLeftButton = new KXButton(_arrowsContainerView);
    _scrollLeftButton->setImage(imageNamedAdditional("strip_arrow_left"));
    _scrollLeftButton->setGeometry(0, 0, 28, 24);
    _scrollRightButton = new KXButton(_arrowsContainerView);
    _scrollRightButton->setImage(imageNamedAdditional("strip_arrow_right"));
    _scrollRightButton->setGeometry(28, 0, 28, 24);
    connect(_scrollLeftButton, &QAbstractButton::clicked, this, [this] { scrollEffectsLeft(); });
    connect(_scrollRightButton, &QAbstractButton::clicked, this, [this] { scrollEffectsRight(); });

    // Previous, random and next walk the strip's list.
    const auto navigation = [this](const char* image, void (SelectPostProcessViewController::*action)()) {
        auto* button = new KXButton(_bottomContentView);
        button->setImage(imageNamedAdditional(image));
        button->resize(28, 24);
        connect(button, &QAbstractButton::clicked, this, [this, action] { (this->*action)(); });
        return button;
    };
    _previousEffectButton =
        navigation("effect_previous", &SelectPostProcessViewController::buttonShowPreviousEffectPreviewClick);
    _randomButton = navigation("effect_random", &SelectPostProcessViewController::randomButtonClick);
    _nextEffectButton =
        navigation("effect_next", &SelectPostProcessViewController::buttonShowNextEffectPreviewClick);

    _hidePostProcessesButton = new KXButton(_bottomContentView);
    _hidePostProcessesButton->setImage(imageNamedAdditional("strip_hide"));
    _hidePostProcessesButton->resize(28, 24);
    _hidePostProcessesButton->setState(1); // pushed while the strip shows
    connect(_hidePostProcessesButton, &QAbstractButton::clicked, this,
            [this] { hidePostProcessesButtonClick(); });

    _searchField = new VQTextView(_bottomContentView);
    _searchField->setStyle(VQTextViewRules::kSearch);
    _searchField->setTextDelegate(this);
    _searchField->resize(200, 24);
    buildPresetControls();

    _postProcessesTableView = KXTableView::makeInScrollArea(_bottomContentView, &_clipView);
    _leftShadow = shadow(_bottomContentView, "strip_shadow_left");
    _rightShadow = shadow(_bottomContentView, "strip_shadow_right");
    _infoTableLabel = new QLabel(_bottomContentView);
    _infoTableLabel->setAlignment(Qt::AlignCenter);
    _infoTableLabel->setWordWrap(true);
    QFont infoFont("Helvetica");
    infoFont.setPixelSize(13);
    _infoTableLabel->setFont(infoFont);
    QPalette infoPalette = _infoTableLabel->palette();
    infoPalette.setColor(QPalette::WindowText, QColor(160, 160, 164));
    _infoTableLabel->setPalette(infoPalette);
    _infoTableLabel->hide();
    layoutViews();

    auto& center = foundation::NotificationCenter::defaultCenter();
    center.addObserver(this, CustomPresetsManagerPresetsDidChangeNotification,
                       &CustomPresetsManager::sharedCustomPresetsManager(),
                       [this](const auto&) { presetsDidChange(); });
    center.addObserver(this, "PostProcessesManagerNeedUpdateEffects", nullptr,
                       [this](const auto&) { reloadEffectsTableView(); });
    isStarting = true;
    validateTabButtonsImages();
    center.addObserver(this, "PostProcessFavoriteStateDidChange", nullptr,
                       [this](const auto&) { favoritesChanged(); });
    _bottomContentViewHidden = false;
    _categoriesPopupActive = false;
    _selectedCategoryIndex = _model.rememberedCategoryRow();
    didSelectCellAtIndex(nullptr, _selectedCategoryIndex);
    _postProcessesTableView->setDelegate(this);
    _postProcessesTableView->setDataSource(this);
    _postProcessesTableView->reloadData();
    validateInfoTableLabel();
}

SelectPostProcessViewController::~SelectPostProcessViewController() {
    _currentDialog.reset();
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    if (_undoManager) _undoManager->removeAllActionsWithTarget(this);
    _postProcessesTableView->setDelegate(nullptr);
    _postProcessesTableView->setDataSource(nullptr);
    delete _popoverView.data();
}

void SelectPostProcessViewController::resizeEvent(QResizeEvent*) {
    layoutViews();
}

void SelectPostProcessViewController::layoutViews() {
    const int w = width();
    _bottomContentView->setGeometry(0, _bottomContentView->y(), w, kPanelHeight);
    _tabButtonEffects->move(10, 6);
    _tabButtonFrames->move(98, 6);
    _tabButtonPresets->move(186, 6);
    _categoriesPopupButton->move(290, 6);
    _addPresetButton->move(290, 6);
    _favoritesCheckBox->move(482, 6);
    _previousEffectButton->move(592, 6);
    _randomButton->move(620, 6);
    _nextEffectButton->move(648, 6);
    _hidePostProcessesButton->move(w - _hidePostProcessesButton->width() - 6, 6);
    _arrowsContainerView->move(_nextEffectButton->x() + _nextEffectButton->width() + 12, 6);
    // The search field takes what is left, up to 200 wide.
    const int searchRight = _hidePostProcessesButton->x() - 6;
    const int searchLeft =
        std::max(_arrowsContainerView->x() + _arrowsContainerView->width() + 12, searchRight - 200);
    _searchField->setGeometry(searchLeft, 6, std::max(80, searchRight - searchLeft), 24);
    const int stripHeight = KXTableViewCell::kHeight;
    _clipView->setGeometry(0, kStripTop, w, stripHeight);
    _postProcessesTableView->resize(_postProcessesTableView->width(), stripHeight);
    _leftShadow->setGeometry(0, kStripTop, 24, stripHeight);
    _rightShadow->setGeometry(w - 24, kStripTop, 24, stripHeight);
    _infoTableLabel->setGeometry(20, kStripTop, w - 40, stripHeight);
    _leftShadow->raise();
    _rightShadow->raise();
    _infoTableLabel->raise();
    if (services::ExtensionBuild::isOn()) trimBottomBarForExtension();
}

bool SelectPostProcessViewController::onListTab() const {
    return selectedTab() == SelectPostProcessListModel::kTabEffects ||
           selectedTab() == SelectPostProcessListModel::kTabFrames;
}

bool SelectPostProcessViewController::favoritesPushed() const {
    return _favoritesCheckBox->state() == 1;
}

void SelectPostProcessViewController::setPushed(KXButton* button, bool pushed) {
    button->setState(pushed ? 1 : 0);
    button->setImage(imageNamedAdditional(pushed ? "browser_tab_on" : "browser_tab_off"));
}

std::optional<std::string> SelectPostProcessViewController::selectedTabIdentifier() const {
    return SelectPostProcessListModel::tabIdentifier(selectedTab());
}

std::vector<PostProcess*> SelectPostProcessViewController::currentEffects() {
    _model.setFavoritesOnly(favoritesPushed());
    return _model.currentEffects(_selectedCategoryIndex);
}

// ---- Strip ----

int64_t SelectPostProcessViewController::numberOfColumns() {
    if (!_owner || !_owner->image()) return 0;
    if (selectedTab() == SelectPostProcessListModel::kTabPresets)
        return int64_t(_model.filteredPresets().size());
    return int64_t(currentEffects().size());
}

int64_t SelectPostProcessViewController::widthForColumnAtIndex(int64_t) {
    return selectedTab() == SelectPostProcessListModel::kTabPresets ? kPresetColumnWidth : kEffectColumnWidth;
}

QWidget* SelectPostProcessViewController::cellForColumnAtIndex(int64_t index) {
    if (index < 0) return nullptr;
    if (selectedTab() == SelectPostProcessListModel::kTabPresets) {
        const auto& presets = _model.filteredPresets();
        if (size_t(index) >= presets.size()) return nullptr;
        const std::shared_ptr<CustomPreset>& preset = presets[size_t(index)];
        // Keyed by identifier: a renamed or deleted preset cannot leave a stale cell under its name.
        const std::string key = "preset_" + preset->uuidPreset();
        auto& cached = _effectsCells[key];
        if (!cached || cached->customPreset() != preset) {
            cached.reset(KXTableViewCell::makeCellWithFrame(
                QRect(0, 7, kPresetColumnWidth, KXTableViewCell::kHeight), preset));
            cached->setDelegate(this);
        }
        cached->setCustomTag(KXTableView::kFirstTag + index);
        manager().pushPresetForGenerating(preset);
        return cached.get();
    }
    const std::vector<PostProcess*> effects = currentEffects();
    if (size_t(index) >= effects.size()) return nullptr;
    PostProcess* effect = effects[size_t(index)];
    auto& cached = _effectsCells["post_process_" + effect->get_name()];
    if (!cached || cached->postProcess() != effect)
        cached.reset(KXTableViewCell::makeCellWithFrame(
            QRect(0, 0, kEffectColumnWidth, KXTableViewCell::kHeight), effect));
    cached->setCustomTag(KXTableView::kFirstTag + index);
    manager().pushEffectForGenerating(effect);
    return cached.get();
}

void SelectPostProcessViewController::kxTableViewDidScroll() {
    validateShadows();
}

void SelectPostProcessViewController::reloadEffectsTableView() {
    _model.dropCategoryCaches();
    // The queue keeps only what the strip shows (and one more), so visible thumbnails come first.
    const uint64_t limit = uint64_t(_postProcessesTableView->visibleCellsCount() + 1);
    manager().setMaxCountEffects(limit);
    manager().setMaxCountPresets(limit);
    _postProcessesTableView->reloadData();
    validateShadows();
    validateInfoTableLabel();
    validateChainEffectsButtons();
}

// ---- Category list ----

int SelectPostProcessViewController::kxPopoverViewTableViewWidth() {
    return _categoriesPopupButton->width();
}

QFont SelectPostProcessViewController::kxPopoverViewFont() {
    QFont font("Helvetica");
    font.setPixelSize(13);
    return font;
}

QStringList SelectPostProcessViewController::kxPopoverViewTableViewCellsArray() {
    std::vector<std::string> rows = _model.categories();
    if (selectedTab() == SelectPostProcessListModel::kTabEffects)
        rows.insert(rows.begin(), SelectPostProcessListModel::allEffectsName());
    else if (selectedTab() == SelectPostProcessListModel::kTabFrames)
        rows.insert(rows.begin(), SelectPostProcessListModel::allFramesName());
    QStringList titles;
    for (const std::string& row : rows)
        titles.push_back(QString::fromStdString(row));
    return titles;
}

int SelectPostProcessViewController::kxPopoverViewSelectedCellIndex() {
    return int(_model.rememberedCategoryRow());
}

bool SelectPostProcessViewController::hasBottomSeparatorAtIndex(KXVQPopoverView*, int index) {
    return index == 0;
}

void SelectPostProcessViewController::didSelectCellAtIndex(KXVQPopoverView*, int row) {
    _currentEffectIndex = -1;
    _postProcessesTableView->setScrollPosition(0, true);
    if (!onListTab()) {
        reselectRememberedItem();
        return;
    }
    _model.setFavoritesOnly(favoritesPushed());
    // A row the list no longer has (an older catalogue's category) is row 0.
    if (!_model.categoryForRow(row)) row = 0;
    const std::string name = _model.categoryNameForRow(row);
    _categoriesPopupButton->setTitle("    " + QString::fromStdString(name));
    _selectedCategoryIndex = row;
    reloadEffectsTableView();
    _model.rememberCategoryRow(row);
    reselectRememberedItem();
}

void SelectPostProcessViewController::wantsRelease(KXVQPopoverView*, bool) {
    _categoriesPopupActive = false;
    if (_popoverView) {
        _popoverView->hide();
        _popoverView->deleteLater();
    }
    _popoverView = nullptr;
}

void SelectPostProcessViewController::categoriesPopupButtonClick() {
    _categoriesPopupActive = !_categoriesPopupActive;
    if (!_categoriesPopupActive) {
        wantsRelease(_popoverView, true);
        return;
    }
    // The list covers the window's content; its bottom-left corner sits 10 points above the
    // button, lower by the strip's height when the strip is partly hidden below the window's edge.
    QWidget* content = window();
    const int stripHeight = _clipView->height();
    const int visibleHeight = _bottomContentView->visibleRegion().boundingRect().height();
    const int offset = visibleHeight < stripHeight ? stripHeight + 21 : 0;
    const QPoint buttonTop = _categoriesPopupButton->mapTo(content, QPoint(0, 0));
    const QPointF origin(buttonTop.x(), content->height() - buttonTop.y() + 10 - offset);
    auto* popover = new KXVQPopoverView(content->rect(), origin, content);
    popover->setObjectName("categoriesPopover");
    popover->setDelegate(this);
    popover->setDataSource(this);
    _popoverView = popover;
    popover->raise();
    popover->show();
}

// ---- Filter, tabs, favourites ----

void SelectPostProcessViewController::textDidChangeInTextView(VQTextView* textView) {
    if (textView == _searchField) setFilterString(_searchField->text().toStdString());
}

void SelectPostProcessViewController::setFilterString(const std::optional<std::string>& text) {
    if (!_model.setFilterString(text)) return;
    _selectedCategoryIndex = _model.rememberedCategoryRow();
    didSelectCellAtIndex(nullptr, _selectedCategoryIndex);
    reloadEffectsTableView();
    favoritesChanged();
    validateChainEffectsButtons();
}

void SelectPostProcessViewController::selectTab(int32_t tab) {
    const int32_t old = selectedTab();
    if (tab == old) return;
    if (_undoManager) _undoManager->registerUndo(this, [this, old] { selectTab(old); });
    if (_owner) _owner->validateUndoRedoButtonsState();
    if (_owner) _owner->newTabSelected(tab);
    saveCurrentTabScrollPosition();
    _model.setSelectedTab(tab);
    validateTabButtonsImages();
    if (_currentEffectIndex < 0 && _owner) _owner->setTool(0);
    // No thumbnail of the old tab starts while the new tab's columns queue theirs.
    const bool generating = manager().isGeneratingOn();
    manager().setGeneratingOn(false);
    reloadEffectsTableView();
    validateChainEffectsButtons();
    if (generating) manager().setGeneratingOn(true);
    restoreCurrentTabScrollPosition();
    validateInfoTableLabel();
}

void SelectPostProcessViewController::effectsTabButtonClick() {
    setPushed(_tabButtonEffects, true);
    selectTab(SelectPostProcessListModel::kTabEffects);
}

void SelectPostProcessViewController::framesTabButtonClick() {
    setPushed(_tabButtonFrames, true);
    selectTab(SelectPostProcessListModel::kTabFrames);
    if (_owner)
        if (PostProcess* frame = _owner->currentFrameEffect())
            _selectedItemsNames["Frames"] = frame->get_name();
}

void SelectPostProcessViewController::presetsTabButtonClick() {
    setPushed(_tabButtonPresets, true);
    selectTab(SelectPostProcessListModel::kTabPresets);
}

void SelectPostProcessViewController::validateTabButtonsImages() {
    int64_t row = 0;
    switch (selectedTab()) {
    case SelectPostProcessListModel::kTabPresets:
        setPushed(_tabButtonEffects, false);
        setPushed(_tabButtonFrames, false);
        setPushed(_tabButtonPresets, true);
        _categoriesPopupButton->hide();
        _favoritesCheckBox->hide();
        _addPresetButton->show();
        _selectedCategoryIndex = 0;
        break;
    case SelectPostProcessListModel::kTabEffects:
    case SelectPostProcessListModel::kTabFrames: {
        const bool effects = selectedTab() == SelectPostProcessListModel::kTabEffects;
        setPushed(_tabButtonEffects, effects);
        setPushed(_tabButtonFrames, !effects);
        setPushed(_tabButtonPresets, false);
        _categoriesPopupButton->show();
        _favoritesCheckBox->show();
        _addPresetButton->hide();
        _categoriesPopupButton->setEnabled(!_model.postProcessesFavorite(favoritesPushed(), true).empty());
        _model.setFavoritesOnly(favoritesPushed());
        row = _selectedCategoryIndex = _model.rememberedCategoryRow();
        break;
    }
    default:
        return;
    }
    didSelectCellAtIndex(nullptr, row);
}

void SelectPostProcessViewController::favoritesCheckBoxClick(QObject* sender) {
    if (sender != _favoritesCheckBox) return;
    _favoritesCheckBox->setImage(
        imageNamedAdditional(favoritesPushed() ? "favorites_check_on" : "favorites_check_off"));
    _model.setFavoritesOnly(favoritesPushed());
    _model.dropPresets();
    _model.dropCategoryLists();
    _model.dropCategoryCaches();
    _selectedCategoryIndex = _model.rememberedCategoryRow();
    didSelectCellAtIndex(nullptr, _selectedCategoryIndex);
    reloadEffectsTableView();
    favoritesChanged();
    validateChainEffectsButtons();
}

void SelectPostProcessViewController::favoritesChanged() {
    if (onListTab()) {
        _categoriesPopupButton->show();
        _categoriesPopupButton->setEnabled(!_model.postProcessesFavorite(favoritesPushed(), true).empty());
    } else if (selectedTab() == SelectPostProcessListModel::kTabPresets) {
        _categoriesPopupButton->hide();
    }
}

void SelectPostProcessViewController::presetsDidChange() {
    _model.dropPresets();
    validateInfoTableLabel();
}

void SelectPostProcessViewController::validateInfoTableLabel() {
    const char* message = nullptr;
    const bool noFavourites =
        favoritesPushed() && onListTab() && _model.postProcessesFavorite(true, false).empty();
    if (noFavourites && selectedTab() == SelectPostProcessListModel::kTabEffects)
        message = "kStringInfoLabelHaveNotFavorites";
    else if (noFavourites && selectedTab() == SelectPostProcessListModel::kTabFrames)
        message = "kStringInfoLabelHaveNotFrames";
    else if (selectedTab() == SelectPostProcessListModel::kTabPresets && _model.filteredPresets().empty())
        message =
            "You have no custom users presets. To create new custom preset press \"+Add Preset\" button.";
    if (message) _infoTableLabel->setText(localized(message));
    _infoTableLabel->setVisible(message != nullptr);
}

void SelectPostProcessViewController::validateShadows() {
    ViewAlpha::setAlpha(_leftShadow, _postProcessesTableView->canScrollLeft() ? 1 : 0, true);
    ViewAlpha::setAlpha(_rightShadow, _postProcessesTableView->canScrollRight() ? 1 : 0, true);
}

void SelectPostProcessViewController::scrollEffectsLeft() {
    _postProcessesTableView->scrollLeft();
    validateShadows();
}

void SelectPostProcessViewController::scrollEffectsRight() {
    _postProcessesTableView->scrollRight();
    validateShadows();
}

void SelectPostProcessViewController::saveCurrentTabScrollPosition() {
    if (const auto id = selectedTabIdentifier())
        _tabScrollPositions[*id] = _postProcessesTableView->scrollPosition();
}

void SelectPostProcessViewController::restoreCurrentTabScrollPosition() {
    double x = 0;
    if (const auto id = selectedTabIdentifier())
        if (const auto found = _tabScrollPositions.find(*id); found != _tabScrollPositions.end())
            x = found->second;
    _postProcessesTableView->setScrollPosition(int(x), true);
}

void SelectPostProcessViewController::cleanSelectedItems() {
    if (const auto id = selectedTabIdentifier()) _selectedItemsNames.erase(*id);
    _searchField->clearSearchField();
}
