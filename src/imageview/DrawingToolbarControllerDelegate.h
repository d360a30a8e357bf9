#pragma once
// What the brush toolbar tells its owner, the editor, which forwards it to the mask canvas.
#include "platform/coreimage/Image.h"
#include "platform/graphics/Image.h"

#include <QSize>

class DrawingToolbarController;

class DrawingToolbarControllerDelegate {
  public:
    virtual ~DrawingToolbarControllerDelegate() = default;
    virtual void applyButtonDidClick(DrawingToolbarController* toolbar) = 0;
    virtual void cancelButtonDidClick(DrawingToolbarController* toolbar) = 0;
    virtual void invertMaskForDrawingToolbarController(DrawingToolbarController* toolbar) = 0;
    virtual void showMask(DrawingToolbarController* toolbar, bool show) = 0;
    virtual void eraseMask(DrawingToolbarController* toolbar, bool erase) = 0;
    virtual void moveImage(DrawingToolbarController* toolbar, bool move) = 0;
    virtual void clearMaskForDrawingToolbarController(DrawingToolbarController* toolbar) = 0;
    virtual void brushSizeDidChange(DrawingToolbarController* toolbar, double size) = 0;
    virtual void softnessDidChange(DrawingToolbarController* toolbar, double softness) = 0;
    virtual void opacityDidChange(DrawingToolbarController* toolbar, double opacity) = 0;
    virtual graphics::ImagePtr previewImageForDrawingToolbarController(DrawingToolbarController* toolbar,
                                                                       QSize size, double brushSize,
                                                                       double brushSoftness,
                                                                       double brushOpacity) = 0;
    virtual void applyMask(DrawingToolbarController* toolbar, coreimage::ImagePtr mask) = 0;
};
