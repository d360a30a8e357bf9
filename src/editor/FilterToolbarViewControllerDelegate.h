#pragma once
// What the parameter toolbar tells the editor; every message carries the toolbar.
class FilterToolbarViewController;

class FilterToolbarViewControllerDelegate {
  public:
    virtual ~FilterToolbarViewControllerDelegate() = default;
    virtual void applyButtonDidClick(FilterToolbarViewController* toolbar) = 0;
    virtual void slidersDidChange(FilterToolbarViewController* toolbar) = 0;
    virtual void smallSizeClick(FilterToolbarViewController* toolbar) = 0;
    virtual void cancelButtonDidClick(FilterToolbarViewController* toolbar) = 0;
    virtual void drawButtonDidClick(FilterToolbarViewController* toolbar) = 0;
    virtual void hideMaskButtonDidClick(FilterToolbarViewController* toolbar) = 0;
    virtual void frameButtonClick(FilterToolbarViewController* toolbar) = 0;
};
