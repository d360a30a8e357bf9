#pragma once
// What the image view asks the effect browser.
#include <cstdint>

class KXImageViewDataSource {
  public:
    virtual ~KXImageViewDataSource() = default;
    // Height in points of the strip the browser lays over the bottom of the view.
    virtual int64_t appButtomContentViewHeight() = 0;
    // The current effect takes a centre point, so clicks on the preview pick it.
    virtual bool needsToShowCrosshairCursor() = 0;
};
