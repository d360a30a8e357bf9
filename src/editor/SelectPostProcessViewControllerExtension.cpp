// The effect browser's bottom bar inside the photo library's editing extension.
#include "editor/SelectPostProcessViewController.h"

#include "controls/KXButton.h"
#include "controls/VQTextView.h"

// Applied after every layout, which puts the bar's controls back at their application places.
// The bar has no Add Preset or frame button of its own: they count as missing (30 and 0).
void SelectPostProcessViewController::trimBottomBarForExtension() {
    const int addPreset = 30;
    const int frame = 0;
    const int search = (_searchField ? _searchField->width() : 0) + 30;
    if (_searchField) _searchField->hide();
    _randomButton->move(_randomButton->x() + addPreset + frame + search, _randomButton->y());
    _arrowsContainerView->hide();
    const int presets = _tabButtonPresets->width();
    _tabButtonPresets->hide();
    _favoritesCheckBox->move(_favoritesCheckBox->x() - presets, _favoritesCheckBox->y());
    _categoriesPopupButton->move(_categoriesPopupButton->x() - presets, _categoriesPopupButton->y());
}
