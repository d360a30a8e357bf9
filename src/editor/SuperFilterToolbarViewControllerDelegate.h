#pragma once
// What the adjustments toolbar asks of the editor and tells it; every message carries the toolbar.
#include "platform/graphics/Image.h"

class SuperFilterToolbarViewController;

class SuperFilterToolbarViewControllerDelegate {
  public:
    virtual ~SuperFilterToolbarViewControllerDelegate() = default;
    virtual graphics::ImagePtr imageForHistogram() = 0;
    virtual void applyButtonDidClick(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void slidersDidChange(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void smallSizeClick(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void cancelButtonDidClick(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void drawButtonDidClick(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void hideMaskButtonDidClick(SuperFilterToolbarViewController* toolbar) = 0;
    virtual void changeEnabledStateForCompareButton(bool enabled) = 0;
};
