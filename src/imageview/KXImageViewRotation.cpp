// Turning the working photo: the turned copy, the layer's turn animation and its end.
#include "imageview/KXImageView.h"

#include "platform/appkit/DeferredCall.h"
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Image.h"
#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/TimingFunction.h"

#include <cmath>
#include <numbers>

using graphics::AffineTransform;
using graphics::f32;
using graphics::kPiF32;
using graphics::Point;
using graphics::Rect;

void KXImageView::setRotationAngle(double degrees, Point, bool) {
    _haveChanges = true;
    ++_countRotations;
    quartz::BasicAnimation turn("transform.rotation");
    turn.setDuration(f32(0.2));
    turn.setRemovedOnCompletion(false);
    turn.setFillsForwards(true);
    turn.setTimingFunction(quartz::TimingFunction::easeInEaseOut());
    turn.setFromValue(f32(-(rotationAngle() / 180 * kPiF32)));
    turn.setToValue(f32(degrees / 180 * kPiF32));
    turn.setDelegate(this);
    // A replaced turn ends at once and rebuilds the layer: keep this one alive meanwhile.
    imageLayer();
    const std::shared_ptr<quartz::Layer> turning = _imageLayer;
    turning->addAnimation(turn, "animateLayer");
    graphics::ImagePtr turned = rotatedImage(_image, degrees);
    if (turned && turned != _image) setImage(std::move(turned));
}

graphics::ImagePtr KXImageView::rotatedImage(const graphics::ImagePtr& image, double degrees) const {
    if (!image || degrees == 0) return image;
    // Whole turns change nothing; 450 is a quarter turn like 90.
    degrees = std::fmod(degrees, 360.0);
    if (degrees == 0) return image;
    const double w = image->width(), h = image->height();
    const bool quarter = degrees == -270 || degrees == -90 || degrees == 90 || degrees == 270;
    const double tx = quarter ? h / 2 : w / 2, ty = quarter ? w / 2 : h / 2;
    const AffineTransform transform =
        concat(concat(AffineTransform::makeTranslation(-w / 2, -h / 2),
                      AffineTransform::makeRotation(degrees * std::numbers::pi / 180)),
               AffineTransform::makeTranslation(tx, ty));
    coreimage::ImagePtr turned =
        coreimage::Image::imageWithCGImage(image)->imageByApplyingTransform(transform);
    if (!turned) return image;
    // Other angles reach below the origin; the rendered copy starts at the extent's corner.
    const Rect extent = turned->extent();
    if (extent.minX() != 0 || extent.minY() != 0)
        turned = turned->imageByApplyingTransform(
            AffineTransform::makeTranslation(-extent.minX(), -extent.minY()));
    graphics::ImagePtr copy = coreimage::render(turned, image->format().bitsPerComponent);
    return copy ? copy : image;
}

void KXImageView::animationDidStop(quartz::Animation*, bool finished) {
    if (_countRotations == 0 || !*_alive) return; // not a turn of ours, or the view is going
    // A turn replaced by the next one ends on the next pass, as the platform reports it, so the
    // new turn's bookkeeping is in place first.
    if (!finished) {
        appkit::DeferredCall::perform(static_cast<const QObject*>(this), "animationDidStop", 0,
                                      [this] { animationDidStop(nullptr, true); });
        return;
    }
    --_countRotations;
    const Rect frame = imageLayer().frame();
    const Point c{frame.midX(), frame.midY()};
    const double sw = _correctedSize.width * _scale, sh = _correctedSize.height * _scale;
    const std::shared_ptr<quartz::Layer> old = _imageLayer;
    old->removeFromSuperlayer();
    _imageLayer.reset();
    imageLayer().setFrame(Rect(c.x - sw / 2, c.y - sh / 2, sw, sh));
    _imageLayer->setNeedsDisplay();
    if (_countRotations == 0)
        appkit::DeferredCall::perform(static_cast<const QObject*>(this), "zoom", 0, [this] { zoom(); });
}

void KXImageView::zoom() {
    if (_countRotations != 0) return;
    zoomToFitAnimated(true);
    commitChangesAnimated(true);
}

double KXImageView::validateAngleForLeftRotationFromAngle(double a) {
    if (a > 0 && a <= 90) return -90;
    if (a > 90 && a < 180) return -180;
    if (a >= 180 && a < 270) return -270;
    if (a >= 270 && a < 360) return -0.0;
    if (a > -90 && a < 0) return -0.0;
    if (a > -180 && a < -90) return 90;
    if (a > -270 && a < -180) return 180;
    if (a > -360 && a < -270) return 270;
    return 0;
}

double KXImageView::validateAngleForRightRotationFromAngle(double a) {
    if (a > 0 && a <= 90) return 0;
    if (a > 90 && a < 180) return -90;
    if (a >= 180 && a < 270) return -180;
    if (a >= 270 && a < 360) return -270;
    if (a > -90 && a < 0) return 90;
    if (a > -180 && a < -90) return 180;
    if (a > -270 && a < -180) return 270;
    return 0;
}

double KXImageView::rotateLeftAnimated(bool animated) {
    const double angle = validateAngleForLeftRotationFromAngle(rotationAngle()) + 90;
    setRotationAngle(angle, Point{0, 0}, animated);
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), "validateCropButton", 0.5,
                                  [this] { validateCropButton(); });
    return angle;
}

double KXImageView::rotateRightAnimated(bool animated) {
    const double angle = validateAngleForRightRotationFromAngle(rotationAngle()) - 90;
    setRotationAngle(angle, Point{0, 0}, animated);
    appkit::DeferredCall::perform(static_cast<const QObject*>(this), "validateCropButton", 0.5,
                                  [this] { validateCropButton(); });
    return angle;
}
