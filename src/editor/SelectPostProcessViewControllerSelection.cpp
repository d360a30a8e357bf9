// The browser's selection: a click on a column, next, previous and random, each undoable, the
// remembered item selected again after the lists change, the effect centre from a click on the
// preview, and the strip collapsed and expanded.
#include "controls/KXButton.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "kernels/Random.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/KXStatistics.h"

#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

PostProcessesManager& manager() {
    return PostProcessesManager::sharedPostProcessesManager();
}

} // namespace

void SelectPostProcessViewController::highlight(KXTableViewCell* cell) {
    if (_selectedCell && _selectedCell != cell) _selectedCell->setSelected(false);
    _selectedCell = cell;
    cell->setSelected(true);
}

void SelectPostProcessViewController::didSelectColumnAtIndex(KXTableView*, int64_t index) {
    auto* cell = static_cast<KXTableViewCell*>(cellForColumnAtIndex(index));
    // A click past the last column selects nothing: the selection and its index stay as they are,
    // and no undo step is left that would toggle the current item off.
    if (!cell) return;
    const int64_t old = _currentEffectIndex;
    if (_undoManager) _undoManager->registerUndo(this, [this, old] { selectEffectIndex(old, true); });
    if (_owner) _owner->validateUndoRedoButtonsState();
    _currentEffectIndex = index;
    const bool frames = selectedTab() == SelectPostProcessListModel::kTabFrames;
    if (cell == _selectedCell) {
        cell->setSelected(false);
        _selectedCell = nullptr;
        foundation::NotificationCenter::defaultCenter().postNotificationName("effectsSidebarStateWasChanged",
                                                                             foundation::Value(false));
        if (_owner) _owner->setTool(0);
        _currentEffectIndex = -1;
        cleanSelectedItems();
        if (frames && _owner) _owner->frameButtonClick();
    } else {
        highlight(cell);
        if (PostProcess* effect = cell->postProcess()) {
            saveCurrentTabScrollPosition();
            if (_owner) _owner->selectPostProcess(effect);
            if (frames) {
                services::KXStatistics::useFrame(effect->get_name());
                _selectedItemsNames["Frames"] = effect->get_name();
            } else {
                _selectedItemsNames["Effects"] = effect->get_name();
            }
            if (_owner) _owner->showEffectsSidebar();
        } else if (const auto& preset = cell->customPreset()) {
            if (_owner) _owner->selectPreset(preset);
            _selectedItemsNames["Presets"] = preset->name();
        }
        validateChainEffectsButtons();
        if (cell->postProcess() && cell->postProcess()->isCenterSupported() && _owner)
            _owner->forceCustomCursorSet();
    }
    if (_owner) _owner->stopEffectCenterProgress();
}

void SelectPostProcessViewController::selectEffectIndex(int64_t index, bool scroll) {
    setFilterString(std::nullopt);
    if (index == -1) index = _currentEffectIndex;
    didSelectColumnAtIndex(nullptr, index);
    if (scroll) scrollToCellToSelectedIndex();
}

void SelectPostProcessViewController::deselectCurrentEffect() {
    if (_currentEffectIndex >= 0) selectEffectIndex(-1, true);
}

void SelectPostProcessViewController::deselectAll() {
    if (!_selectedCell) return;
    _selectedCell->setSelected(false);
    _selectedCell = nullptr;
    _currentEffectIndex = -1;
    _nextEffectButton->setEnabled(true);
    _previousEffectButton->setEnabled(false);
}

void SelectPostProcessViewController::makeEffectsChainEnabled(bool enabled) {
    _nextEffectButton->setEnabled(enabled);
    _previousEffectButton->setEnabled(enabled);
    _randomButton->setEnabled(enabled);
}

void SelectPostProcessViewController::validateChainEffectsButtons() {
    const int64_t n = numberOfColumns();
    const int64_t tag = _selectedCell ? _selectedCell->tag() : 0;
    _previousEffectButton->setEnabled(tag != KXTableView::kFirstTag);
    _nextEffectButton->setEnabled(tag != n + KXTableView::kFirstTag - 1);
    if (isStarting) {
        _nextEffectButton->setEnabled(true);
        isStarting = false;
    }
    if (!_selectedCell) {
        _nextEffectButton->setEnabled(true);
        _previousEffectButton->setEnabled(false);
    }
    if (n <= 1) makeEffectsChainEnabled(false);
    _randomButton->setEnabled(n > 1);
}

void SelectPostProcessViewController::handleChainEffectsSelection() {
    auto* cell = static_cast<KXTableViewCell*>(cellForColumnAtIndex(_currentEffectIndex));
    if (!cell) return;
    highlight(cell);
    if (PostProcess* effect = cell->postProcess()) {
        if (_owner) _owner->selectPostProcess(effect);
        _selectedItemsNames[selectedTab() == SelectPostProcessListModel::kTabFrames ? "Frames" : "Effects"] =
            effect->get_name();
    } else if (const auto& preset = cell->customPreset()) {
        if (_owner) _owner->selectPreset(preset);
        _selectedItemsNames["Presets"] = preset->name();
    }
}

void SelectPostProcessViewController::showSteppedSelection(int64_t columnWidth) {
    handleChainEffectsSelection();
    KXTableView* strip = _postProcessesTableView;
    if (_selectedCell && !_bottomContentViewHidden) {
        const int x = strip->scrollPosition(), w = _clipView->viewport()->width();
        const QRect visible = _selectedCell->geometry().intersected(QRect(x, 0, w, strip->height()));
        if (visible.width() < columnWidth) {
            if (x > _selectedCell->x())
                strip->scrollLeft();
            else
                strip->scrollRight();
        }
    }
    validateShadows();
    if (!_selectedCell || !_selectedCell->parentWidget() || _bottomContentViewHidden)
        strip->setScrollPosition(int(_currentEffectIndex * columnWidth), true);
}

void SelectPostProcessViewController::buttonShowNextEffectPreviewClick() {
    if (_undoManager) _undoManager->registerUndo(this, [this] { buttonShowPreviousEffectPreviewClick(); });
    if (_owner) _owner->validateUndoRedoButtonsState();
    if (!_nextEffectButton->isEnabled() || (_owner && _owner->imageViewIsDisabled())) return;
    const int64_t w = widthForColumnAtIndex(_currentEffectIndex);
    const int64_t last = numberOfColumns() - 1;
    if (_currentEffectIndex < last)
        ++_currentEffectIndex;
    else if (_currentEffectIndex > last)
        _currentEffectIndex = last;
    const int64_t x = _currentEffectIndex * w;
    const int64_t X = _postProcessesTableView->scrollPosition(), W = _clipView->viewport()->width();
    if (x <= X + W && X <= x + 1) {
        showSteppedSelection(w);
        validateChainEffectsButtons();
    } else {
        // The selection is out of view: this press only brings it into view.
        --_currentEffectIndex;
        _postProcessesTableView->setScrollPosition(int(_currentEffectIndex * w), true);
        validateChainEffectsButtons();
    }
}

void SelectPostProcessViewController::buttonShowPreviousEffectPreviewClick() {
    if (_undoManager) _undoManager->registerUndo(this, [this] { buttonShowNextEffectPreviewClick(); });
    if (_owner) _owner->validateUndoRedoButtonsState();
    if (!_previousEffectButton->isEnabled() || (_owner && _owner->imageViewIsDisabled())) return;
    const int64_t w = widthForColumnAtIndex(_currentEffectIndex);
    if (_currentEffectIndex >= 1)
        --_currentEffectIndex;
    else if (_currentEffectIndex == -1)
        _currentEffectIndex = 0;
    const int64_t cx = _selectedCell ? _selectedCell->x() : 0;
    const int64_t X = _postProcessesTableView->scrollPosition(), W = _clipView->viewport()->width();
    if (cx <= X + W && X <= cx + 1) {
        showSteppedSelection(w);
        validateChainEffectsButtons();
    } else {
        ++_currentEffectIndex;
        _postProcessesTableView->setScrollPosition(int(_currentEffectIndex * w), true);
    }
}

void SelectPostProcessViewController::randomButtonClick() {
    const int64_t n = numberOfColumns();
    // With fewer than two columns no other column exists to draw.
    if (n < 2) return;
    Random::seed(uint64_t(std::time(nullptr)));
    const int64_t current = _currentEffectIndex;
    if (_undoManager) _undoManager->registerUndo(this, [this, current] { selectEffectIndex(current, true); });
    if (_owner) _owner->validateUndoRedoButtonsState();
    int64_t drawn = current;
    while (drawn == current)
        drawn = int64_t(Random::random()) % n;
    if (_undoManager) _undoManager->disableUndoRegistration();
    didSelectColumnAtIndex(nullptr, drawn);
    scrollToCellToSelectedIndex();
    if (_undoManager) _undoManager->enableUndoRegistration();
}

void SelectPostProcessViewController::scrollToCellToSelectedIndex() {
    const int64_t w = widthForColumnAtIndex(_currentEffectIndex);
    const int64_t centre = _currentEffectIndex * w + w / 2;
    const double visible = _clipView->viewport()->width();
    _postProcessesTableView->setScrollPosition(int(std::lround(double(centre) - visible / 2)), true);
}

void SelectPostProcessViewController::scrollToSelectedEffectIfNeaded() {
    if (_currentEffectIndex >= 0) scrollToCellToSelectedIndex();
}

int64_t SelectPostProcessViewController::appButtomContentViewHeight() const {
    return _bottomContentViewHidden ? 0 : int64_t(_bottomContentView->height());
}

bool SelectPostProcessViewController::needsToShowCrosshairCursor() const {
    return _selectedCell && _selectedCell->postProcess() && _selectedCell->postProcess()->isCenterSupported();
}

void SelectPostProcessViewController::reselectRememberedItem() {
    const auto key = selectedTabIdentifier();
    if (!key) return;
    const auto remembered = _selectedItemsNames.find(*key);
    const int64_t n = numberOfColumns();
    int64_t index = -1;
    if (selectedTab() == SelectPostProcessListModel::kTabPresets) {
        const auto& presets = _model.filteredPresets();
        std::shared_ptr<CustomPreset> preset;
        if (remembered != _selectedItemsNames.end())
            preset = CustomPresetsManager::sharedCustomPresetsManager().presetWithName(remembered->second);
        if (preset) {
            const auto found = std::find(presets.begin(), presets.end(), preset);
            if (found != presets.end())
                if (auto* cell = static_cast<KXTableViewCell*>(cellForColumnAtIndex(found - presets.begin())))
                    highlight(cell);
            if (_owner) _owner->selectPreset(preset);
        } else if (_owner) {
            _owner->clearPreviewImage();
        }
        if (_selectedCell && _selectedCell->customPreset()) {
            const auto found = std::find(presets.begin(), presets.end(), _selectedCell->customPreset());
            if (found != presets.end()) index = found - presets.begin();
        }
        _currentEffectIndex = index;
        if (index >= 0) {
            validateChainEffectsButtons();
        } else if (n >= 2) {
            _nextEffectButton->setEnabled(true);
            _previousEffectButton->setEnabled(false);
        }
        return;
    }
    const std::vector<PostProcess*> effects = currentEffects();
    if (remembered != _selectedItemsNames.end()) {
        if (PostProcess* effect = manager().postProcessWithName(remembered->second)) {
            const auto found = std::find(effects.begin(), effects.end(), effect);
            if (found != effects.end())
                if (auto* cell = static_cast<KXTableViewCell*>(cellForColumnAtIndex(found - effects.begin())))
                    highlight(cell);
            if (_owner && _selectedCell && _selectedCell->postProcess())
                _owner->selectPostProcess(_selectedCell->postProcess());
        }
    }
    if (_selectedCell && _selectedCell->postProcess()) {
        const auto found = std::find(effects.begin(), effects.end(), _selectedCell->postProcess());
        if (found != effects.end()) index = found - effects.begin();
    }
    _currentEffectIndex = index;
    if (index >= 0) {
        validateChainEffectsButtons();
    } else if (n >= 2) {
        _nextEffectButton->setEnabled(true);
        _previousEffectButton->setEnabled(false);
    } else {
        makeEffectsChainEnabled(false);
    }
}

void SelectPostProcessViewController::previewClickedAtPoint(QPointF point, QRectF previewFrame) {
    const graphics::ImagePtr image = _owner ? _owner->image() : nullptr;
    PostProcess* effect = _selectedCell ? _selectedCell->postProcess() : nullptr;
    // Without an effect nothing would render and stop the spinner; without a picture there is no
    // scale to measure by.
    if (!effect || !image || image->width() <= 0 || image->height() <= 0 || previewFrame.height() <= 0)
        return;
    const float scale = float(previewFrame.height() / image->height());
    const double x = point.x() / scale, y = (previewFrame.height() - point.y()) / scale;
    _owner->startEffectCenterProgress();
    effect->setEffectCenter(graphics::Point{x / image->width(), y / image->height()});
    _owner->slidersDidChange();
}

void SelectPostProcessViewController::previewDoubleClickedWithActionString(const std::string&) {
    hidePostProcessesButtonClick();
}

void SelectPostProcessViewController::hidePostProcessesButtonClick() {
    _bottomContentViewHidden = !_bottomContentViewHidden;
    if (_bottomContentViewHidden) {
        hidePostProcessesPreviewsAnimated(true, false);
        _hidePostProcessesButton->setState(0);
    } else {
        _hidePostProcessesButton->setState(1);
        showPostProcessesPreviewsAnimated(true);
    }
    if (_owner) _owner->zoomImageViewToFit(true);
    _postProcessesTableView->reloadData();
    validateInfoTableLabel();
}

void SelectPostProcessViewController::moveBottomContentView(int y, bool animated) {
    // The panel's model position is set at once; the screen follows through an animation.
    const QRect target(0, y, width(), _bottomContentView->height());
    if (!animated || !isVisible()) {
        _bottomContentView->setGeometry(target);
        return;
    }
    auto* slide = new QPropertyAnimation(_bottomContentView, "geometry", _bottomContentView);
    slide->setDuration(250);
    slide->setEndValue(target);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void SelectPostProcessViewController::hidePostProcessesPreviewsAnimated(bool animated, bool fully) {
    saveCurrentTabScrollPosition();
    const int h = fully ? _bottomContentView->height() + 15 : _clipView->height() + 21;
    // Down by h - 15 (y-up 15 - h): only the bar above the strip stays in view.
    moveBottomContentView(h - 15, animated);
    if (_owner) {
        _owner->setImageViewBottomMargin(_bottomContentView->height() - h);
        _owner->zoomImageViewToFit(true);
    }
}

void SelectPostProcessViewController::showPostProcessesPreviewsAnimated(bool animated) {
    _bottomContentViewHidden = false;
    moveBottomContentView(0, animated);
    if (_owner) {
        _owner->setImageViewBottomMargin(_bottomContentView->height());
        _owner->zoomImageViewToFit(animated);
    }
    validateChainEffectsButtons();
    reloadEffectsTableView();
    restoreCurrentTabScrollPosition();
}
