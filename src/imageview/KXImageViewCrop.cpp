// The crop tool: frame geometry, proportions, size limits, the pending straighten and flips, the
// apply button's state and the overlay drawing.
#include "imageview/KXImageView.h"

#include "imageview/CIFilterSetAlpha.h"
#include "platform/appkit/DeferredCall.h"
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Image.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/Transaction.h"
#include "platform/services/KXServiceUtils.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

using graphics::AffineTransform;
using graphics::f32;
using graphics::kPiF32;
using graphics::kTwoPiF32;
using graphics::Point;
using graphics::Rect;
using graphics::Size;
using quartz::Layer;
using quartz::Transaction;

namespace {

// The pixels the editor accepts in one image; a larger crop is refused.
constexpr double kMaxCropPixels = 16000000;

struct ProportionPreset {
    const char* text;
    double x, y;
};
constexpr ProportionPreset kPresets[] = {{"?:?", 0, 0},   {"1:1", 1, 1},   {"2:3", 2, 3},
                                         {"3:2", 3, 2},   {"3:4", 3, 4},   {"4:3", 4, 3},
                                         {"9:16", 9, 16}, {"16:9", 16, 9}, {"Image Size", 0, 0}};

} // namespace

// ---- Switching the tool

void KXImageView::setCropToolOn(bool on) {
    if (on && !_isCropOn) {
        cropLayer(); // made first, so the fit below brings it to the view's bounds
        validateCropLayerFrame();
        const Rect r = extraVisibleRect();
        const Size fifth{r.width() / 5, r.height() / 5};
        setCropFrame(Rect(r.minX() + fifth.width, r.minY() + fifth.height, r.width() - 2 * fifth.width,
                          r.height() - 2 * fifth.height));
        cropLayer().setContentsScale(services::KXServiceUtils::isRetina() ? 2.0 : 1.0);
        _isCropOn = true;
        _cropLayer->setHidden(false);
        redrawCropLayer();
    } else if (!on && _isCropOn) {
        _isCropOn = false;
        cropLayer().setHidden(true);
        setImageLayerTransformNow(AffineTransform::identity());
        _rotationAngle = 0;
    }
    validateCropButton();
    invalidateCursorRects();
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), "updateCropFields", 0.3,
                                  [this] { updateCropFields(); });
}

// ---- Frame and corners

void KXImageView::setCropFrame(const Rect& frame) {
    _cropFrame = frame;
    _previousBoundsRect = Rect(0, 0, width(), height());
    _ltCornerPosition = {frame.minX(), frame.minY()};
    _rtCornerPosition = {frame.maxX(), frame.minY()};
    _rbCornerPosition = {frame.maxX(), frame.maxY()};
    _lbCornerPosition = {frame.minX(), frame.maxY()};
    validateCropButton();
}

void KXImageView::setCropSize(Size pixels) {
    const Size size{pixels.width * _scale, pixels.height * _scale};
    Rect frame = _cropFrame;
    frame.origin.x += (frame.width() - size.width) / 2;
    frame.origin.y += (frame.height() - size.height) / 2;
    frame.size = size;
    setCropFrame(frame);
    redrawCropLayer();
}

Size KXImageView::calc_constrained_size(const Rect& rect) const {
    Size size = rect.size;
    if (_proportionsConstrain == 0) return size;
    const double ratio = _proportionsConstrainAspect.x / f32(_proportionsConstrainAspect.y);
    if (ratio >= 1)
        size.height = size.width / ratio;
    else
        size.width = ratio * size.height;
    return size;
}

void KXImageView::setLtCornerPosition(Point p) {
    const Point fixed = _rbCornerPosition;
    const Size s = calc_constrained_size(Rect(p.x, p.y, fixed.x - p.x, fixed.y - p.y));
    setCropFrame(Rect(fixed.x - s.width, fixed.y - s.height, s.width, s.height));
}

void KXImageView::setRtCornerPosition(Point p) {
    const Point fixed = _lbCornerPosition;
    const Size s = calc_constrained_size(Rect(fixed.x, p.y, p.x - fixed.x, fixed.y - p.y));
    setCropFrame(Rect(fixed.x, fixed.y - s.height, s.width, s.height));
}

void KXImageView::setRbCornerPosition(Point p) {
    const Point fixed = _ltCornerPosition;
    const Size s = calc_constrained_size(Rect(fixed.x, fixed.y, p.x - fixed.x, p.y - fixed.y));
    setCropFrame(Rect(fixed.x, fixed.y, s.width, s.height));
}

void KXImageView::setLbCornerPosition(Point p) {
    const Point fixed = _rtCornerPosition;
    const Size s = calc_constrained_size(Rect(p.x, fixed.y, fixed.x - p.x, p.y - fixed.y));
    setCropFrame(Rect(fixed.x - s.width, fixed.y, s.width, s.height));
}

// ---- Proportions and sizes

void KXImageView::setProportionsConstrain(int value) {
    _proportionsConstrain = value;
    if (value >= 0 && value <= 8) {
        _proportionsConstrainText = kPresets[value].text;
        if (value == 8)
            _proportionsConstrainAspect = {_correctedSize.width, _correctedSize.height};
        else if (value != 0)
            _proportionsConstrainAspect = {kPresets[value].x, kPresets[value].y};
    }
    if (value != 0) {
        const double W = _correctedSize.width, H = _correctedSize.height;
        const double x = _proportionsConstrainAspect.x, y = _proportionsConstrainAspect.y;
        Size size;
        if (value == 8) {
            size = {W * _scale, H * _scale};
        } else if (W >= H) {
            size.height = std::min(_cropFrame.height(), H);
            size.width = size.height * x / y;
        } else {
            size.width = std::min(_cropFrame.width(), W);
            size.height = size.width * y / x;
        }
        const Point c{_cropFrame.midX(), _cropFrame.midY()};
        setCropFrame(Rect(c.x - size.width / 2, c.y - size.height / 2, size.width, size.height));
        redrawCropLayer();
    }
    validateCropButton();
}

double KXImageView::minimumCropSide() const {
    const double shortest = std::min({_correctedSize.width, _correctedSize.height, 90.0});
    return std::max(std::ceil(shortest / _scale), 15.0);
}

uint64_t KXImageView::cropWidthInPixels() const {
    return uint64_t(std::round(_cropFrame.width() / _scale));
}
uint64_t KXImageView::cropHeightInPixels() const {
    return uint64_t(std::round(_cropFrame.height() / _scale));
}

// ---- Limits

void KXImageView::limitCropFrameAfterDrag(int64_t k) {
    const double m = minimumCropSide() * _scale;
    const double M = _maxCropWidthHeight * _scale;
    const bool constrained = _proportionsConstrain != 0;
    const double x = _proportionsConstrainAspect.x, y = _proportionsConstrainAspect.y;
    const bool movesX = k == 0 || k == 3, movesY = k == 0 || k == 1;
    // Sets the sides, keeping the edges away from the dragged corner.
    const auto resize = [&](double w, double h) {
        Rect f = _cropFrame;
        if (movesX) f.origin.x += f.width() - w;
        if (movesY) f.origin.y += f.height() - h;
        f.size = {w, h};
        setCropFrame(f);
    };
    if (_cropFrame.height() < m) resize(_cropFrame.width(), m);
    const double w = _cropFrame.width(), h = _cropFrame.height();
    if (h >= M || w >= M) {
        const double Mf = f32(M);
        if (h > w)
            resize(constrained ? Mf * x / y : std::min(Mf, w), Mf);
        else if (w > h)
            resize(Mf, constrained ? Mf * y / x : std::min(Mf, h));
        else
            resize(Mf, Mf);
    }
    if (_cropFrame.width() < m) resize(m, _cropFrame.height());
}

void KXImageView::limitCropFrameInPixels() {
    if (_scale <= 0) return;
    const double minimum = minimumCropSide(), maximum = _maxCropWidthHeight;
    const bool constrained = _proportionsConstrain != 0;
    const double x = _proportionsConstrainAspect.x, y = _proportionsConstrainAspect.y;
    Rect f = _cropFrame;
    // Each side change moves the origin by half of it, so the centre stays.
    const auto setWidth = [&f](double w) {
        f.origin.x += (f.width() - w) / 2;
        f.size.width = w;
    };
    const auto setHeight = [&f](double h) {
        f.origin.y += (f.height() - h) / 2;
        f.size.height = h;
    };
    const double pw = double(cropWidthInPixels()), ph = double(cropHeightInPixels());
    if (ph < minimum) {
        setHeight(minimum * _scale);
    } else if (pw >= maximum || ph >= maximum) {
        const double Mf = f32(maximum * _scale);
        if (ph > pw) {
            setHeight(Mf);
            if (constrained)
                setWidth(Mf * x / y);
            else if (pw > maximum)
                setWidth(Mf);
        } else if (pw > ph) {
            setWidth(Mf);
            if (constrained)
                setHeight(Mf * y / x);
            else if (ph > maximum)
                setHeight(Mf);
        } else {
            setWidth(Mf);
            setHeight(Mf);
        }
    }
    if (std::round(f.width() / _scale) < minimum) setWidth(minimum * _scale);
    setCropFrame(f);
}

void KXImageView::redrawCropLayer() {
    // The limits change the model, so they run here rather than while painting.
    if (_isCropOn) limitCropFrameInPixels();
    cropLayer().setNeedsDisplay();
}

// ---- Straighten and flips

AffineTransform KXImageView::pendingTransform() const {
    AffineTransform t = AffineTransform::makeRotation(_rotationAngle);
    if (_isFlippedVertical) t = t.scaled(1, -1);
    if (_isFlippedHorizontal) t = t.scaled(-1, 1);
    return t;
}

void KXImageView::setImageLayerTransformNow(const AffineTransform& transform) {
    Transaction::begin();
    Transaction::setAnimationDuration(0);
    Transaction::setDisableActions(true);
    imageLayer().setTransform(transform);
    Transaction::commit();
}

double KXImageView::rotationAngle() const {
    return -_rotationAngle * 180 / kPiF32;
}

void KXImageView::rotateImageForCropToAngle(double degrees, bool) {
    _haveChanges = true;
    _rotationAngle = degrees / 180 * -kPiF32;
    setImageLayerTransformNow(pendingTransform());
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), "validateCropButton", 0.1,
                                  [this] { validateCropButton(); });
}

void KXImageView::rotate(double r) {
    if (r / kPiF32 * 180 > 360) r -= kTwoPiF32;
    if (r / kPiF32 * 180 < -360) r += kTwoPiF32;
    _rotationAngle = r;
    setImageLayerTransformNow(pendingTransform());
}

void KXImageView::flipHorizontalAnimated(bool) {
    _isFlippedHorizontal = !_isFlippedHorizontal;
    setImageLayerTransformNow(imageLayer().transform().scaled(-1, 1));
    _haveChanges = true;
    validateCropButton();
    imageLayer().setNeedsDisplay();
}

void KXImageView::flipVerticalAnimated(bool) {
    _isFlippedVertical = !_isFlippedVertical;
    setImageLayerTransformNow(imageLayer().transform().scaled(1, -1));
    _haveChanges = true;
    validateCropButton();
    imageLayer().setNeedsDisplay();
}

void KXImageView::cancelChangesForRotationTab() {
    _isFlippedHorizontal = false;
    _isFlippedVertical = false;
    _haveChanges = false;
}

// ---- The editor's fields and button

void KXImageView::updateCropFields() {
    if (_delegate) _delegate->cropResolutionWidth(cropWidthInPixels(), cropHeightInPixels(), this);
}

void KXImageView::validateCropButton() {
    const Rect F = _imageLayer ? _imageLayer->frame() : Rect(0, 0, 0, 0);
    const Rect& C = _cropFrame;
    const bool changed =
        std::fmod(std::trunc(rotationAngle()), 360.0) != 0 || _isFlippedHorizontal || _isFlippedVertical;
    const bool covers = C.contains(F);
    bool state;
    if (changed) {
        state = _haveChanges || !covers;
    } else {
        state = !covers;
        _haveChanges = false;
    }
    if (!covers && !C.intersects(F)) state = false;
    if (_delegate) _delegate->setStateForCropButton(state);
}

bool KXImageView::isCanCrop() const {
    if (!_imageLayer || _scale <= 0) return false;
    const Rect shown = _cropFrame.intersection(_imageLayer->frame());
    if (shown.isNull()) return false;
    return shown.width() * shown.height() / (_scale * _scale) > kMaxCropPixels;
}

// ---- Applying

bool KXImageView::applyCrop() {
    _haveChanges = false;
    if (!_image || _scale <= 0) return false;
    const double W = _image->width(), H = _image->height(), s = _scale;
    if (!imageLayer().transform().isIdentity()) setImageLayerTransformNow(AffineTransform::identity());
    const Rect F = _imageLayer->frame();
    const Rect crop(graphics::roundf32(_cropFrame.minX() / s), graphics::roundf32(_cropFrame.minY() / s),
                    graphics::floorf32(_cropFrame.width() / s), graphics::floorf32(_cropFrame.height() / s));
    Rect extent;
    graphics::ImagePtr result =
        bakeTransform(Point{F.minX() / s + W / 2, F.minY() / s + H / 2}, crop, extent);
    if (!result) return false;
    // Through setImage, so the diagonal limit follows the new size.
    setImage(std::move(result));
    _rotationAngle = 0;
    _imageLayer->removeFromSuperlayer();
    _imageLayer.reset();
    imageLayer().setFrame(
        Rect(extent.minX() * s, extent.minY() * s, extent.width() * s, extent.height() * s));
    _imageLayer->setNeedsDisplay();
    _isFlippedHorizontal = false;
    _isFlippedVertical = false;
    return true;
}

bool KXImageView::hasPendingTransform() const {
    return _isFlippedHorizontal || _isFlippedVertical || std::fmod(std::round(rotationAngle()), 360.0) != 0;
}

bool KXImageView::applyPendingTransform() {
    if (!_image || !hasPendingTransform()) return false;
    const double W = _image->width(), H = _image->height();
    // Quarter turns swap the sides exactly; what is left of the angle (under 45 degrees) is
    // straightening, whose wedges outside the photo are cut off: the largest centred rectangle of
    // the photo's proportions inside the turned picture. Anchored at the origin, so no sub-pixel
    // shift blurs a quarter turn.
    const double quarters = std::round(_rotationAngle / (kPiF32 / 2));
    const double rest = _rotationAngle - quarters * (kPiF32 / 2);
    const bool swapped = std::fmod(std::abs(quarters), 2.0) == 1;
    const double sideW = swapped ? H : W, sideH = swapped ? W : H;
    const double c = std::abs(std::cos(rest)), n = std::abs(std::sin(rest));
    const double fit =
        n < 1e-6 ? 1.0 : std::min(sideW / (sideW * c + sideH * n), sideH / (sideW * n + sideH * c));
    const double outW = std::max(1.0, std::floor(sideW * fit + 1e-6)),
                 outH = std::max(1.0, std::floor(sideH * fit + 1e-6));
    Rect extent;
    graphics::ImagePtr result = bakeTransform(Point{outW / 2, outH / 2}, Rect(0, 0, outW, outH), extent);
    if (!result) return false;
    setImageLayerTransformNow(AffineTransform::identity());
    _rotationAngle = 0;
    _isFlippedHorizontal = false;
    _isFlippedVertical = false;
    _haveChanges = false;
    setImage(std::move(result));
    return true;
}

graphics::ImagePtr KXImageView::bakeTransform(Point centre, const Rect& crop, Rect& extent) const {
    const double W = _image->width(), H = _image->height();
    // Every step in point order, folded into one resample.
    AffineTransform t = AffineTransform::identity();
    if (_isFlippedVertical) t = concat(t, AffineTransform{1, 0, 0, -1, 0, H});
    if (_isFlippedHorizontal) t = concat(t, AffineTransform{-1, 0, 0, 1, W, 0});
    t = concat(t, AffineTransform::makeTranslation(-W / 2, -H / 2));
    t = concat(t, AffineTransform::makeRotation(_rotationAngle));
    t = concat(t, AffineTransform::makeTranslation(centre.x, centre.y));
    coreimage::ImagePtr placed = coreimage::Image::imageWithCGImage(_image)->imageByApplyingTransform(t);
    coreimage::ImagePtr cropped = placed ? placed->imageByCroppingToRect(crop) : nullptr;
    if (!cropped || cropped->extent().isEmpty()) return nullptr; // nothing of the photo inside the frame
    extent = cropped->extent();
    coreimage::ImagePtr moved =
        cropped->imageByApplyingTransform(AffineTransform::makeTranslation(-extent.minX(), -extent.minY()));
    auto opaque = CIFilterSetAlpha::filterWithName("SetAlpha");
    if (!opaque) return nullptr;
    opaque->setValue("inputImage", moved);
    opaque->setValue("inputParam1", 1.0);
    return coreimage::render(opaque->outputImage(), _image->format().bitsPerComponent);
}

// ---- Drawing

void KXImageView::drawLayer(Layer& layer, QPainter& painter) {
    if (services::KXServiceUtils::isRetina()) layer.setContentsScale(2.0);
    if (&layer == _cropLayer.get()) drawCropOverlay(painter);
}

void KXImageView::drawCropOverlay(QPainter& painter) {
    // The painter is y-up over the crop layer's bounds; the frame is in view points.
    const Rect layerFrame = _cropLayer->frame();
    const auto local = [&layerFrame](const Rect& r) {
        return QRectF(r.minX() - layerFrame.minX(), r.minY() - layerFrame.minY(), r.width(), r.height());
    };
    const QRectF C = local(_cropFrame);
    const QRectF all(0, 0, layerFrame.width(), layerFrame.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Dim everything but the frame (clearing would punch through to the window).
    QPainterPath dim;
    dim.setFillRule(Qt::OddEvenFill);
    dim.addRect(all);
    dim.addRect(C);
    painter.fillPath(dim, layerBackgroundColor());

    QPainterPath grid;
    for (int i = 1; i <= 2; ++i) {
        const double gx = C.left() + C.width() / 3 * i, gy = C.top() + C.height() / 3 * i;
        grid.moveTo(gx, C.top());
        grid.lineTo(gx, C.bottom());
        grid.moveTo(C.left(), gy);
        grid.lineTo(C.right(), gy);
    }
    for (int pass = 0; pass < 2; ++pass) {
        painter.save();
        if (pass == 1) painter.translate(1, -1);
        QPen pen(pass == 0 ? whiteColor() : blackColor(), 1);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(pen);
        painter.drawRect(C);
        pen.setDashPattern({6, 6});
        pen.setDashOffset(10);
        painter.setPen(pen);
        painter.drawPath(grid);
        painter.restore();
    }
    const auto circle = [&](const Rect& square) {
        const QRectF r = local(square.inset(14, 14));
        painter.drawEllipse(r);
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(redColor());
    circle(cornerRect({_cropFrame.midX(), _cropFrame.midY()}));
    painter.setOpacity(0.5);
    painter.setBrush(greenColor());
    painter.setPen(QPen(whiteColor(), 2));
    for (const Rect& handle : {ltCornerRect(), rtCornerRect(), rbCornerRect(), lbCornerRect()})
        circle(handle);
    painter.setOpacity(1);
    painter.restore();
}
