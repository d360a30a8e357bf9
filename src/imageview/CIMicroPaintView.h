#pragma once
// The mask canvas of painter mode. It is given the photo with the effect (front) and without it
// (background), works on copies reduced to at most 2,000,000 pixels, and shows the front where
// the grey mask is white and the background where it is black (or, with the mask shown, red over
// the background). On leaving, the owner takes the mask at the photo's size or the blended result.
// The mask is opaque grey; the committed mask is kept at 16 bits per channel.
#include "engine/PostProcessesManagerDelegate.h"
#include "imageview/CanvasGeometry.h"
#include "imageview/SampleCIView.h"
#include "platform/appkit/Event.h"
#include "platform/appkit/EventAdaptor.h"
#include "platform/coreimage/Filter.h"
#include "platform/coreimage/ImageAccumulator.h"
#include "platform/foundation/MainQueue.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Point.h"

#include <QPointer>
#include <QSize>
#include <memory>
#include <optional>

class CIMicroPaintViewOwner;
class KXScroller;
namespace foundation {
class UndoManager;
}

// "UndoManagerStackChanged" is posted (object nil) after every undo step the canvas registers; the
// name is declared once, with the engine's other poster of it.

class CIMicroPaintView : public SampleCIView {
    Q_OBJECT
  public:
    // frame: y-up in the parent (or in its own rectangle without one). Both images have one size.
    CIMicroPaintView(const graphics::Rect& frame, graphics::ImagePtr frontImage,
                     graphics::ImagePtr backgroundImage, QWidget* parent = nullptr);
    ~CIMicroPaintView() override;

    // The pixel count above which the images are reduced (only the width is used).
    static QSize maxSizeForSmallResolution() { return QSize(2000000, 2000000); }
    // The working size of a photo of that many pixels: itself up to the limit, else fitted into a
    // square of side floor(sqrt(limit * longer / shorter)) - 1, sides rounded.
    static QSize workingSize(QSize pixels);

    // ---- Display ----
    bool isShowMask() const { return _showMask; }
    void setShowMask(bool show);
    // Recomposes the picture from the working images and the mask.
    void validateMask();
    // Through the pixellate stage; the whole view is repainted.
    using SampleCIView::setImage;
    void setImage(coreimage::ImagePtr image, const graphics::Rect& dirtyRect) override;
    graphics::Rect realFrame() const override;
    void setRealFrame(const graphics::Rect& frame) { _realFrame = frame; }

    // ---- Mask and output ----
    // Replaces the mask (scaled to the working size); null clears it to black. One undo step.
    void applyMask(coreimage::ImagePtr mask);
    // The current mask, after turning a pending stroke chain into rendered pixels.
    coreimage::ImagePtr undoMask();
    // The photo with the effect blended in through the mask at full size, 8 bits; null without a
    // picture or a mask.
    graphics::ImagePtr resultImage();
    // The mask at the photo's exact size (8-bit accumulator image); null while the mask is cleared.
    coreimage::ImagePtr originalSizeMask();
    // True when the mask is known or found to be entirely black.
    bool isMaskCleared() const;

    // ---- Painting ----
    // A stroke at a location in the view (y-up) with pen pressure (1 for a mouse). While the hand
    // tool is chosen these do nothing here.
    void mouseDown(graphics::Point location, double pressure);
    void mouseDragged(graphics::Point location, double pressure);
    void mouseUp();
    bool isEraseMask() const { return _eraseMask; }
    void setEraseMask(bool erase);
    // Whole-mask operations, one undo step each.
    void clearMask();
    void invertMask();
    // The mask the canvas started with, or cleared (the owner's cancel).
    void restoreStartMask();
    // Re-arms the next stroke's undo step and renders the mask for it.
    void needUndoAgain();
    // The stroke buffer, made opaque black on first use; null before the committed mask exists.
    coreimage::ImageAccumulator* imageAccumulatorDrawing();
    // One dab of the brush on black, W x H, for the brush toolbar.
    graphics::ImagePtr previewImageWithSize(QSize size, double brushSize, double brushSoftness,
                                            double brushOpacity);
    bool isDrawing() const { return _drawing; }
    const std::optional<graphics::Point>& lastDrawedPoint() const { return _lastDrawedPoint; }
    const coreimage::FilterPtr& brushFilter() const { return _brushFilter; }

    // ---- Zoom and panning (y-up, in the parent) ----
    // The window's layout and scroller sizes the geometry works with.
    CanvasGeometry& canvasGeometry() { return _geometry; }
    // Clips the whole zoomed image to the window, keeps it as realFrame and answers the view's frame.
    graphics::Rect validateFrame(const graphics::Rect& realFrame);
    const CanvasGeometry::Validated& frameState() const { return _frameState; }
    // Fits the working image into the rectangle (the zero rectangle: the content area), never
    // enlarging it.
    void zoomToFitRect(const graphics::Rect& rect);
    void zoomToActualSize();
    // By 1.15 about the visible centre; zooming in keeps the brush at least one working pixel
    // through the owner's toolbar, zooming out gives the remembered size back.
    void zoomIn();
    void zoomOut();
    // The window's scrollers and their corner square, which the canvas shows, hides and sets as its
    // visible part changes; their presses pan the image. Not owned.
    void setControlVerticalScroller(KXScroller* vertical, KXScroller* horizontal, QWidget* square);
    void horizontalScroll(KXScroller* scroller);
    void verticalScroll(KXScroller* scroller);
    // Wheel and trackpad: a scroll during a gesture pans, a wheel zooms, a pinch zooms.
    void scrollWheel(const appkit::Event& event);
    void scrollFromEvent(const appkit::Event& event);
    void magnifyWithEvent(const appkit::Event& event);
    void beginGestureWithEvent(const appkit::Event&) { _isGestureProcessed = true; }
    void endGestureWithEvent(const appkit::Event&) { _isGestureProcessed = false; }
    bool isGestureProcessed() const { return _isGestureProcessed; }
    // Brush diameter in view points; below one working pixel the owner's toolbar is asked for that.
    void setBrushSize(double size);
    double storedBrushSize() const { return _storedBrushSize; }

    // ---- Cursors ----
    // The brush outline, d = round(diameter) points square (at least 8 when opaque): two rings,
    // a light fill, a plus (paint) or minus (erase) when d > 20, and a yellow ring where the
    // softness starts. Translucent for the resting cursor, opaque while painting.
    static QImage brushCursorImage(double diameter, double softness, bool erase, bool opaque,
                                   double devicePixelRatio = 1);
    // Brushes whose picture would be larger than this many device pixels are drawn by the canvas
    // itself over a hidden pointer: window systems refuse large cursor pictures.
    static constexpr int kLargestCursor = 64;
    // Shows the brush (or the hand while the hand tool is on) for the pointer over the canvas.
    void resetCursorRects();
    bool drawsBrushRing() const { return _drawsBrushRing; }
    bool isMoveImage() const { return _moveImage; }
    void setMoveImage(bool move);
    // The hand tool held by the space bar, set by the owner.
    bool isMoveImageUsingSpace() const { return _moveImageUsingSpace; }
    void setMoveImageUsingSpace(bool move);

    // ---- Accessors ----
    const coreimage::ImagePtr& mask() const { return _mask; }
    const coreimage::ImagePtr& startMask() const { return _startMask; }
    const coreimage::ImagePtr& imageA() const { return _imageA; }
    const coreimage::ImagePtr& imageB() const { return _imageB; }
    double scaleFactorFromOriginal() const { return _scaleFactorFromOriginal; }
    const coreimage::FilterPtr& pixelizeFilter() const { return _pixelizeFilter; }
    const coreimage::ImageAccumulator* imageAccumulator() const { return _imageAccumulator.get(); }

    double brushSize() const { return _brushSize; }
    double brushSoftness() const { return _brushSoftness; }
    void setBrushSoftness(double softness);
    double brushOpacity() const { return _brushOpacity; }
    void setBrushOpacity(double opacity) { _brushOpacity = opacity; }
    foundation::UndoManager* undoManager() const { return _undoManager; }
    void setUndoManager(foundation::UndoManager* undoManager) { _undoManager = undoManager; }
    CIMicroPaintViewOwner* owner() const { return _owner; }
    void setOwner(CIMicroPaintViewOwner* owner) { _owner = owner; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;

    // The first drawable bounds install the committed mask and the first mask.
    void viewBoundsDidChange(const graphics::Rect& bounds) override;

  private:
    // The brush and the two mask-combining filters, once per process.
    static void registerFilters();
    // Registers the mask as it is now as one undo step on the owner, then tells the window.
    void registerUndoStep();
    // The picture of the working images through the mask (or the red overlay).
    coreimage::ImagePtr composedImage() const;
    // Stamps one dab into the stroke buffer.
    void stampDab(graphics::Point at, double outerRadius);
    // The parent's bounds as the geometry's superview, then the frame validated and applied.
    void placeRealFrame(const graphics::Rect& realFrame);
    // The parent's bounds and the scrollers' sizes as the geometry's.
    void refreshGeometry();
    // The scrollers and the square as the last validated frame wants them.
    void showScrollerState();
    QPointer<KXScroller> _vScroller, _hScroller;
    QPointer<QWidget> _scrollerSqare;
    appkit::EventAdaptor _eventAdaptor;
    bool _isGestureProcessed = false;
    // A new committed accumulator of the working extent, opaque black.
    std::unique_ptr<coreimage::ImageAccumulator> blackAccumulator() const;
    // The mask scaled by the two ratios of the target size to its own.
    static coreimage::ImagePtr scaledToSize(const coreimage::ImagePtr& mask, const graphics::Size& size);
    // The working mask at the photo's size.
    coreimage::ImagePtr fullSizeMask() const;

    std::unique_ptr<coreimage::ImageAccumulator> _imageAccumulator;
    std::unique_ptr<coreimage::ImageAccumulator> _imageAccumulatorDrawing;
    coreimage::FilterPtr _brushFilter, _compositeFilter, _compositeEraseFilter, _pixelizeFilter;

    double _brushSize = 40;
    double _storedBrushSize = 0;
    bool _isZoom = false;
    CanvasGeometry _geometry;
    CanvasGeometry::Validated _frameState;
    double _brushSoftness = 100;
    double _brushOpacity = 1;
    // Full-resolution pixels per working pixel, across and up.
    double _scaleFactorFromOriginal = 1;
    double _scaleFactorFromOriginalY = 1;

    graphics::ImagePtr _originalFrontImage, _originalBackgroundImage;
    coreimage::ImagePtr _originB, _originA, _imageB, _imageA;
    coreimage::ImagePtr _mask, _startMask, _previousMask;
    bool _dragged = false, _drawing = false;
    // The last stamped point of the stroke, working pixels; none between strokes.
    std::optional<graphics::Point> _lastDrawedPoint;
    // The mode the running stroke began in: a mode switch mid-stroke waits for the next stroke.
    bool _strokeErases = false;
    bool _eraseMask = false;
    bool _moveImage = false;
    bool _moveImageUsingSpace = false;
    // The hand drag's anchor: pointer in the parent minus the image's origin.
    graphics::Point _startPoint;
    bool isHandTool() const { return _moveImage || _moveImageUsingSpace; }
    void panTo(graphics::Point locationInParent);
    // The brush ring the canvas paints itself, where the pointer was last seen (Qt coordinates).
    bool _drawsBrushRing = false;
    std::optional<QPointF> _pointer;
    // The ring's last painted square, to repaint it when the pointer moves.
    QRect ringRect() const;
    void movePointer(std::optional<QPointF> at);
    foundation::MainQueue::DelayedTask _needUndoAgainLater;

    graphics::Rect _realFrame;
    bool _showMask = false;
    foundation::UndoManager* _undoManager = nullptr;
    CIMicroPaintViewOwner* _owner = nullptr;
    bool _isMaskCleared = true;
    bool _neeUpdateAccumulator = false;
    bool _needUndo = true;
};
