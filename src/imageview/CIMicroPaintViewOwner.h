#pragma once
// What the mask canvas needs of the window controller that owns it: a mask to apply once the
// canvas is ready, and the target of the canvas's undo steps.
#include "platform/coreimage/Image.h"

class CIMicroPaintViewOwner {
  public:
    virtual ~CIMicroPaintViewOwner() = default;

    // A mask waiting for the canvas, or null.
    virtual coreimage::ImagePtr laterMaskApplying() const = 0;
    virtual void setLaterMaskApplying(coreimage::ImagePtr mask) = 0;
    // The undo action: hands the mask to the canvas (or keeps it for later while none exists).
    virtual void applyMask(coreimage::ImagePtr mask) = 0;
    // Asks the brush toolbar for that size; it answers through the canvas's setBrushSize when the
    // size is within its range.
    virtual void setToolbarBrushSize(double size) = 0;
};
