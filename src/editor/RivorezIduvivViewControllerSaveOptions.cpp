#include "editor/RivorezIduvivViewController.h"

bool RivorezIduvivViewController::applyPendingLookThen(std::function<void()> again) {
    if (!needApplyCurrentPostProcessOrPreset()) return false;
    // The painter's mask is applied through its own toolbar first.
    if (_tool == kPainter) applyButtonDidClick(_drawingToolbar);
    // Nothing left to render (a mask without a look): the save goes on now rather than stopping at
    // the "no filter" alert.
    if ((!_selectedPostProcess && !_selectedPreset) || !_image) return false;
    _continueAfterApplyingSelector = std::move(again);
    generateImageForSelectedPostProcessOrPreset();
    return true;
}
