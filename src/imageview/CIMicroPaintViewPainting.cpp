// The painting half of the mask canvas: strokes, whole-mask operations, undo, brush preview.
#include "imageview/CIFilterRadialBrush.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "imageview/DabWalk.h"
#include "imageview/MaskCompositing.h"
#include "platform/coreimage/Context.h"
#include "platform/coreimage/PixelRect.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPixmap>
#include <QTabletEvent>
#include <algorithm>

using namespace MaskCompositing;

coreimage::ImageAccumulator* CIMicroPaintView::imageAccumulatorDrawing() {
    if (!_imageAccumulator) return nullptr;
    if (!_imageAccumulatorDrawing) {
        _imageAccumulatorDrawing = coreimage::ImageAccumulator::imageAccumulatorWithExtent(
            _imageAccumulator->extent(), coreimage::kRGBA8Premultiplied);
        if (_imageAccumulatorDrawing) _imageAccumulatorDrawing->setImage(constant(0, 0, 0, 1));
    }
    return _imageAccumulatorDrawing.get();
}

void CIMicroPaintView::mouseDown(graphics::Point location, double pressure) {
    if (isHandTool()) {
        const graphics::Rect own = frame(), real = realFrame();
        _dragged = true;
        _drawing = false;
        _startPoint = {own.minX() + location.x - real.minX(), own.minY() + location.y - real.minY()};
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    _dragged = false;
    _drawing = true;
    // While painting the outline is drawn opaque, at the pen's pressure.
    if (!_drawsBrushRing && !_moveImage) {
        const QImage picture =
            brushCursorImage(_brushSize * pressure, _brushSoftness, _eraseMask, true, devicePixelRatioF());
        if (!picture.isNull())
            setCursor(QCursor(QPixmap::fromImage(picture), picture.width() / int(2 * devicePixelRatioF()),
                              picture.height() / int(2 * devicePixelRatioF())));
    }
    if (_needUndo) registerUndoStep();
    if (_brushFilter) _brushFilter->setValue("inputOpacity", 1.0);
    _strokeErases = _eraseMask;
    // Erasing works on the committed mask itself: at its own depth, so a stroke loses no levels.
    const graphics::PixelFormat strokeFormat = _strokeErases ? kRGBA16 : coreimage::kRGBA8Premultiplied;
    if (_imageAccumulatorDrawing && !(_imageAccumulatorDrawing->format() == strokeFormat) &&
        _imageAccumulator)
        _imageAccumulatorDrawing = coreimage::ImageAccumulator::imageAccumulatorWithExtent(
            _imageAccumulator->extent(), strokeFormat);
    coreimage::ImageAccumulator* stroke = imageAccumulatorDrawing();
    if (stroke) {
        stroke->clear();
        if (_strokeErases) {
            stroke->setImage(_mask ? _mask : constant(0, 0, 0, 1));
        } else {
            _previousMask = _mask;
            stroke->setImage(constant(0, 0, 0, 1));
        }
    }
    mouseDragged(location, pressure);
}

void CIMicroPaintView::stampDab(graphics::Point at, double outerRadius) {
    coreimage::ImageAccumulator* stroke = imageAccumulatorDrawing();
    const coreimage::FilterPtr& combine = _strokeErases ? _compositeEraseFilter : _compositeFilter;
    if (!stroke || !combine) return;
    _brushFilter->setValue("inputCenter", coreimage::Vector(at.x, at.y));
    combine->setValue("inputImage", _brushFilter->outputImage());
    combine->setValue("inputImageSecond", stroke->image());
    // Only the pixels the combined image covers (centres inside the dab's square): a pixel of the
    // rim outside it would be written transparent, a black seam in the stroke.
    const coreimage::PixelRect covered = coreimage::pixelsInside(
        graphics::Rect(at.x - outerRadius, at.y - outerRadius, 2 * outerRadius, 2 * outerRadius));
    if (covered.isEmpty()) return;
    if (const coreimage::ImagePtr combined = combine->outputImage())
        stroke->setImage(combined, graphics::Rect(covered.x, covered.y, covered.width, covered.height));
}

void CIMicroPaintView::mouseDragged(graphics::Point location, double pressure) {
    if (isHandTool()) {
        if (_dragged) panTo({frame().minX() + location.x, frame().minY() + location.y});
        return;
    }
    if (!_drawing) {
        mouseDown(location, pressure);
        return;
    }
    if (!_brushFilter || !imageAccumulatorDrawing() || !_imageA || !(scale() > 0)) return;
    const graphics::Rect real = realFrame(), own = frame();
    const graphics::Point next{(location.x + (own.minX() - real.minX())) / scale(),
                               (location.y + (own.minY() - real.minY())) / scale()};
    const std::optional<graphics::Point> previous = _lastDrawedPoint;
    _lastDrawedPoint = next;

    const DabWalk::Radii radii = DabWalk::radii(_brushSize, scale(), pressure, _brushSoftness);
    _brushFilter->setValue("inputRadius0", radii.inner);
    _brushFilter->setValue("inputRadius1", radii.outer);
    _brushFilter->setValue("inputOpacity", _strokeErases ? _brushOpacity * _brushOpacity : 1.0);
    _brushFilter->setValue("inputColor0", graphics::Color{1, 1, 1, 1});

    const DabWalk walk = DabWalk::walk(previous, next, radii.outer);
    if (walk.deferred) {
        _lastDrawedPoint = previous;
        return;
    }
    if (walk.dabs.empty()) return;
    for (const graphics::Point& dab : walk.dabs)
        stampDab(dab, radii.outer);
    _neeUpdateAccumulator = true;

    const coreimage::ImagePtr strokeImage =
        _strokeErases ? _imageAccumulatorDrawing->image()
                      : composite("CISourceInCompositing", _imageAccumulatorDrawing->image(),
                                  constant(1, 1, 1, 1 - (1 - _brushOpacity) * (1 - _brushOpacity)));
    if (_previousMask && !_strokeErases) {
        _compositeFilter->setValue("inputImage", _previousMask);
        _compositeFilter->setValue("inputImageSecond", strokeImage);
        _mask = _compositeFilter->outputImage();
    } else {
        _mask = strokeImage;
    }

    const double toView = real.width() / _imageA->extent().width();
    const graphics::Rect area = walk.redrawArea;
    const graphics::Rect inView(area.minX() * toView - (own.minX() - real.minX()),
                                area.minY() * toView - (own.minY() - real.minY()), area.width() * toView,
                                area.height() * toView);
    if (const coreimage::ImagePtr picture = composedImage()) setImage(picture, inView);
    _isMaskCleared = false;
}

void CIMicroPaintView::mouseUp() {
    _lastDrawedPoint.reset();
    if (_dragged) {
        _dragged = false;
        _drawing = false;
        resetCursorRects();
        return;
    }
    if (!_drawing) return;
    _needUndo = false;
    _needUndoAgainLater.cancel();
    _needUndoAgainLater = foundation::MainQueue::after(0.1, [this] { needUndoAgain(); });
    needUndoAgain();
    if (_imageAccumulator && _mask) {
        _imageAccumulator->clear();
        _imageAccumulator->setImage(_mask);
        _mask = _imageAccumulator->image();
    }
    _previousMask.reset();
    _drawing = false;
    _dragged = false;
    resetCursorRects();
}

void CIMicroPaintView::needUndoAgain() {
    _needUndo = true;
    undoMask();
}

void CIMicroPaintView::clearMask() {
    _isMaskCleared = true;
    applyMask(nullptr);
}

void CIMicroPaintView::invertMask() {
    if (!_imageAccumulator) return;
    registerUndoStep();
    coreimage::FilterPtr invert = coreimage::Filter::filterWithName("CIColorInvert");
    invert->setValue("inputImage", _imageAccumulator->image());
    _imageAccumulator->setImage(invert->outputImage());
    _mask = _imageAccumulator->image();
    validateMask();
    // An inverted mask is no longer known to be black; the pixels decide.
    _isMaskCleared = false;
    _neeUpdateAccumulator = true;
    undoMask();
}

void CIMicroPaintView::restoreStartMask() {
    if (_startMask)
        applyMask(_startMask);
    else
        clearMask();
}

graphics::ImagePtr CIMicroPaintView::previewImageWithSize(QSize size, double brushSize, double brushSoftness,
                                                          double brushOpacity) {
    const double w = size.width(), h = size.height();
    if (w < 1 || h < 1) return nullptr;
    // A brush of its own: the strokes' opacity and centre never reach the preview.
    coreimage::FilterPtr brush = CIFilterRadialBrush::filterWithName("CIFilterRadialBrush");
    if (!brush) return nullptr;
    brush->setValue("inputRadius0", (1 - brushSoftness / 100) * brushSize * 0.5);
    brush->setValue("inputRadius1", brushSize * 0.5);
    brush->setValue("inputColor0", graphics::Color{1, 1, 1, brushOpacity * brushOpacity});
    brush->setValue("inputColor1", graphics::Color{1, 1, 1, 0});
    brush->setValue("inputSoftness", 1.0);
    brush->setValue("inputOpacity", 1.0);
    brush->setValue("inputCenter", coreimage::Vector(w / 2, h / 2));
    const coreimage::ImagePtr dab = composite("CISourceInCompositing", brush->outputImage(),
                                              constant(1, 1, 1, 1 - (1 - brushOpacity) * (1 - brushOpacity)));
    std::unique_ptr<coreimage::ImageAccumulator> background =
        coreimage::ImageAccumulator::imageAccumulatorWithExtent(
            graphics::Rect(0, 0, std::max(brushSize, w), std::max(brushSize, h)),
            coreimage::kRGBA8Premultiplied);
    if (!background || !dab) return nullptr;
    background->setImage(constant(0, 0, 0, 1));
    const coreimage::ImagePtr shown = composite("CISourceOverCompositing", dab, background->image())
                                          ->imageByCroppingToRect(graphics::Rect(0, 0, w, h));
    return coreimage::Context().createCGImage(shown, graphics::Rect(0, 0, w, h));
}

// ---- Pointer events: y-up locations in the view ----

void CIMicroPaintView::mousePressEvent(QMouseEvent* event) {
    movePointer(event->position());
    if (event->button() != Qt::LeftButton) return;
    mouseDown(graphics::Point{event->position().x(), height() - event->position().y()}, 1.0);
}

void CIMicroPaintView::mouseMoveEvent(QMouseEvent* event) {
    movePointer(event->position());
    if (!(event->buttons() & Qt::LeftButton)) return;
    mouseDragged(graphics::Point{event->position().x(), height() - event->position().y()}, 1.0);
}

void CIMicroPaintView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click with the hand fits the image; painting takes it as another press.
    if (isHandTool())
        zoomToFitRect(graphics::Rect(0, 0, 0, 0));
    else
        mousePressEvent(event);
}

void CIMicroPaintView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mouseUp();
}

void CIMicroPaintView::tabletEvent(QTabletEvent* event) {
    const graphics::Point at{event->position().x(), height() - event->position().y()};
    switch (event->type()) {
    case QEvent::TabletPress:
        mouseDown(at, event->pressure());
        break;
    case QEvent::TabletMove:
        if (_drawing) mouseDragged(at, event->pressure());
        break;
    case QEvent::TabletRelease:
        mouseUp();
        break;
    default:
        return;
    }
    event->accept();
}
