#include "imageview/CIMicroPaintView.h"

#include "controls/ImageAdditional.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CICustomFilterTwoImages.h"
#include "imageview/CIFilterRadialBrush.h"
#include "imageview/CIMicroPaintViewOwner.h"
#include "imageview/MaskCompositing.h"
#include "platform/coreimage/Context.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"

#include <algorithm>
#include <cmath>

using namespace MaskCompositing;

namespace {

// The bitmap reduced to the working size with the kit's cover scaling.
coreimage::ImagePtr reduced(const graphics::ImagePtr& bitmap, QSizeF fit) {
    const QImage scaled = ImageAdditional::scaledImageToCover(ImageAdditional::toQImage(bitmap), fit);
    return coreimage::Image::imageWithCGImage(ImageAdditional::fromQImage(scaled));
}

} // namespace

CIMicroPaintView::CIMicroPaintView(const graphics::Rect& frame, graphics::ImagePtr frontImage,
                                   graphics::ImagePtr backgroundImage, QWidget* parent)
    : SampleCIView(parent), _originalFrontImage(std::move(frontImage)),
      _originalBackgroundImage(std::move(backgroundImage)) {
    setFrame(frame);
    setAttribute(Qt::WA_OpaquePaintEvent, false);

    registerFilters();
    _brushFilter = CIFilterRadialBrush::filterWithName("CIFilterRadialBrush");
    if (_brushFilter) {
        _brushFilter->setValue("inputColor0", graphics::Color{1, 1, 1, 0});
        _brushFilter->setValue("inputColor1", graphics::Color{1, 1, 1, 0});
        _brushFilter->setValue("inputRadius0", 10.0);
        _brushFilter->setValue("inputRadius1", 100.0);
        _brushFilter->setValue("inputSoftness", 1.0);
        _brushFilter->setValue("inputOpacity", _brushOpacity);
    }
    _compositeEraseFilter = coreimage::Filter::filterWithName("EraseFilter");
    _compositeFilter = coreimage::Filter::filterWithName("ComposeTwoMasks");

    _originA = coreimage::Image::imageWithCGImage(_originalBackgroundImage);
    _originB = coreimage::Image::imageWithCGImage(_originalFrontImage);
    _imageA = _originA;
    _imageB = _originB;
    if (_originalFrontImage && _originalBackgroundImage) {
        const QSize pixels(_originalFrontImage->width(), _originalFrontImage->height());
        const QSize working = workingSize(pixels);
        if (working != pixels) {
            // The kit's cover scaling rounds its target as workingSize does.
            _imageA = reduced(_originalBackgroundImage, QSizeF(working));
            _imageB = reduced(_originalFrontImage, QSizeF(working));
            // From pixel sizes, across and up: a photo whose points differ from its pixels, or a side
            // rounded on reduction, still gets a mask of exactly its size back.
            if (_imageB && _imageB->extent().width() > 0 && _imageB->extent().height() > 0) {
                _scaleFactorFromOriginal = _originB->extent().width() / _imageB->extent().width();
                _scaleFactorFromOriginalY = _originB->extent().height() / _imageB->extent().height();
            }
        }
    }
    _pixelizeFilter = coreimage::Filter::filterWithName("CIPixellate");
    _pixelizeFilter->setValue("inputCenter", coreimage::Vector(1, 1));
    _pixelizeFilter->setValue("inputScale", double(float(1.0 / _scaleFactorFromOriginal)));
    resetCursorRects();
}

CIMicroPaintView::~CIMicroPaintView() {
    _needUndoAgainLater.cancel();
}

void CIMicroPaintView::registerFilters() {
    static const bool once = [] {
        CIFilterRadialBrush::registerFilter();
        CICustomFilterTwoImages::registerFilter("EraseFilter");
        CICustomFilterTwoImages::registerFilter("ComposeTwoMasks");
        return true;
    }();
    (void)once;
}

QSize CIMicroPaintView::workingSize(QSize pixels) {
    const double limit = maxSizeForSmallResolution().width();
    const double w = pixels.width(), h = pixels.height();
    if (w <= 0 || h <= 0 || w * h <= limit) return pixels;
    const double longer = std::max(w, h), shorter = std::min(w, h);
    const double side = std::floor(std::sqrt(limit * longer / shorter)) - 1;
    const QSizeF fit = ImageAdditional::scaledSizeToFit(QSizeF(pixels), QSizeF(side, side));
    return QSize(qRound(fit.width()), qRound(fit.height()));
}

// ---- Display ----

void CIMicroPaintView::setShowMask(bool show) {
    if (show == _showMask) return;
    _showMask = show;
    validateMask();
}

void CIMicroPaintView::validateMask() {
    if (const coreimage::ImagePtr picture = composedImage()) setImage(picture);
}

coreimage::ImagePtr CIMicroPaintView::composedImage() const {
    if (!_imageA || !_imageB) return nullptr;
    // Nothing painted yet: the background alone, as a black mask would show it.
    if (!_mask) return _imageA;
    if (!_showMask) return blend(_imageB, _imageA, _mask);
    const coreimage::ImagePtr overlay = composite("CISourceInCompositing", _mask, constant(1, 1, 1, 0.8));
    const coreimage::ImagePtr red = constant(1, 0, 0, 1)->imageByCroppingToRect(_imageA->extent());
    return blend(red, _imageA, overlay);
}

void CIMicroPaintView::setImage(coreimage::ImagePtr image, const graphics::Rect& dirtyRect) {
    _pixelizeFilter->setValue("inputImage", image);
    SampleCIView::setImage(image ? _pixelizeFilter->outputImage() : nullptr, dirtyRect);
    update();
}

graphics::Rect CIMicroPaintView::realFrame() const {
    return _realFrame.width() == 0 && _realFrame.height() == 0 ? frame() : _realFrame;
}

void CIMicroPaintView::viewBoundsDidChange(const graphics::Rect& bounds) {
    if (image() || !_imageA || !_imageB) return;
    if (_imageAccumulator && _imageAccumulator->extent() == bounds) return;
    std::unique_ptr<coreimage::ImageAccumulator> fresh = blackAccumulator();
    if (!fresh) return;
    if (_imageAccumulator)
        fresh->setImage(composite("CISourceOverCompositing", _imageAccumulator->image(), fresh->image()));
    _imageAccumulator = std::move(fresh);
    setImage(blend(_imageB, _imageA, _mask ? _mask : _imageAccumulator->image()));

    coreimage::ImagePtr candidate;
    if (const coreimage::ImagePtr& engineMask = PostProcessesManager::sharedPostProcessesManager().mask()) {
        _isMaskCleared = false;
        candidate = scaledToSize(engineMask, _imageA->extent().size);
        _imageAccumulator->setImage(candidate);
        _mask = _imageAccumulator->image();
        _startMask = _mask;
        validateMask();
    }
    if (_owner && _owner->laterMaskApplying()) candidate = _owner->laterMaskApplying();
    if (_undoManager) _undoManager->disableUndoRegistration();
    applyMask(candidate);
    if (_owner) _owner->setLaterMaskApplying(nullptr);
    if (_undoManager) _undoManager->enableUndoRegistration();
}

std::unique_ptr<coreimage::ImageAccumulator> CIMicroPaintView::blackAccumulator() const {
    std::unique_ptr<coreimage::ImageAccumulator> accumulator =
        coreimage::ImageAccumulator::imageAccumulatorWithExtent(_imageA->extent(), kRGBA16);
    if (accumulator) accumulator->setImage(constant(0, 0, 0, 1));
    return accumulator;
}

// ---- Mask and output ----

coreimage::ImagePtr CIMicroPaintView::scaledToSize(const coreimage::ImagePtr& mask,
                                                   const graphics::Size& size) {
    const graphics::Rect e = mask->extent();
    if (e.isInfinite() || e.width() <= 0 || e.height() <= 0) return mask;
    if (e.width() == size.width && e.height() == size.height) return mask;
    return PostProcessesManager::scaledImageFromImage(mask, size.width / e.width(), size.height / e.height());
}

void CIMicroPaintView::registerUndoStep() {
    if (_undoManager && _owner) {
        CIMicroPaintViewOwner* owner = _owner;
        _undoManager->registerUndo(owner, [owner, previous = undoMask()] { owner->applyMask(previous); });
    }
    foundation::NotificationCenter::defaultCenter().postNotificationName(UndoManagerStackChanged);
}

void CIMicroPaintView::applyMask(coreimage::ImagePtr mask) {
    if (!_imageA) return;
    registerUndoStep();
    if (!_imageAccumulator) _imageAccumulator = blackAccumulator();
    if (!_imageAccumulator) return;
    if (mask) {
        _imageAccumulator->setImage(scaledToSize(mask, _imageA->extent().size));
        _mask = _imageAccumulator->image();
        validateMask();
        _isMaskCleared = false;
    } else {
        _imageAccumulator->setImage(constant(0, 0, 0, 1));
        _mask = _imageAccumulator->image();
        validateMask();
        _isMaskCleared = true;
    }
    _neeUpdateAccumulator = true;
    undoMask();
}

coreimage::ImagePtr CIMicroPaintView::undoMask() {
    if (_neeUpdateAccumulator && _imageAccumulator) {
        std::unique_ptr<coreimage::ImageAccumulator> rebuilt = blackAccumulator();
        if (rebuilt && _mask && rebuilt->setImage(_mask)) {
            _imageAccumulator = std::move(rebuilt);
            _mask = _imageAccumulator->image();
        }
        _neeUpdateAccumulator = false;
    }
    return _mask;
}

coreimage::ImagePtr CIMicroPaintView::fullSizeMask() const {
    if (!_mask) return nullptr;
    if (_scaleFactorFromOriginal == 1 && _scaleFactorFromOriginalY == 1) return _mask;
    return PostProcessesManager::scaledImageFromImage(_mask, _scaleFactorFromOriginal,
                                                      _scaleFactorFromOriginalY);
}

graphics::ImagePtr CIMicroPaintView::resultImage() {
    if (!image() || !_mask || !_originA || !_originB) return nullptr;
    // Always the blend of the full-size images: the picture on screen may be the red mask overlay.
    return coreimage::render(blend(_originB, _originA, fullSizeMask()), 8);
}

coreimage::ImagePtr CIMicroPaintView::originalSizeMask() {
    if (isMaskCleared() || !_originA) return nullptr;
    std::unique_ptr<coreimage::ImageAccumulator> full =
        coreimage::ImageAccumulator::imageAccumulatorWithExtent(_originA->extent(),
                                                                coreimage::kRGBA8Premultiplied);
    if (!full || !full->setImage(fullSizeMask())) return nullptr;
    return full->image();
}

bool CIMicroPaintView::isMaskCleared() const {
    if (_isMaskCleared || !_mask) return true;
    const graphics::ImagePtr bitmap = coreimage::render(_mask, 8);
    if (!bitmap) return true;
    return ImageAdditional::isBlackColorImage(ImageAdditional::toQImage(bitmap));
}
