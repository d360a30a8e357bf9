#pragma once
// What the image view tells the effect browser about clicks on the preview.
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"

#include <string>

class KXImageViewPostProcessDelegate {
  public:
    virtual ~KXImageViewPostProcessDelegate() = default;
    virtual void previewClickedAtPoint(graphics::Point point, const graphics::Rect& previewFrame) {
        (void)point, (void)previewFrame;
    }
    virtual void previewDoubleClickedWithActionString(const std::string& action) { (void)action; }
};
