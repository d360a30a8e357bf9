#include "controls/KXScroller.h"

#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

void KXScroller::awakeFromNib() {
    if (isHorizontal())
        resize(width(), 7);
    else
        resize(7, height());
}

void KXScroller::setDoubleValue(double value) {
    _doubleValue = std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0);
    update();
}

void KXScroller::setKnobProportion(double proportion) {
    _knobProportion = std::isnan(proportion) ? 0 : std::clamp(proportion, 0.0, 1.0);
    update();
}

QRectF KXScroller::knobRect() const {
    const double slot = length();
    const double knob = std::min(slot, std::max(kMinimumKnobLength, std::round(_knobProportion * slot)));
    const double start = std::round(_doubleValue * (slot - knob));
    return isHorizontal() ? QRectF(start, 0, knob, height()) : QRectF(0, start, width(), knob);
}

KXScroller::HitPart KXScroller::testPart(QPointF point) const {
    if (!rect().contains(point.toPoint())) return kNoPart;
    const QRectF knob = knobRect();
    const double at = along(point), from = isHorizontal() ? knob.left() : knob.top();
    const double to = isHorizontal() ? knob.right() : knob.bottom();
    if (at < from) return kDecrementPage;
    if (at >= to) return kIncrementPage;
    return kKnob;
}

void KXScroller::setBackSubview(QWidget* view) {
    _backSubview = view;
    checkSpaceForParts();
}

void KXScroller::checkSpaceForParts() {
    if (_backSubview) _backSubview->setHidden(isEnabled());
}

void KXScroller::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) checkSpaceForParts();
    QWidget::changeEvent(event);
}

void KXScroller::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(18, 22, 27));
    const QRectF knob = knobRect();
    const qreal ratio = devicePixelRatioF();
    // The knob sits 7 points in from the slot's edge, 7 points thick.
    if (isHorizontal()) {
        TileDrawing::drawThreePartImage(painter, QRectF(knob.x(), 7, knob.width(), 7),
                                        imageNamedAdditional("jrv_scroll_btn_left", ratio),
                                        imageNamedAdditional("jrv_scroll_btn_center", ratio),
                                        imageNamedAdditional("jrv_scroll_btn_right", ratio));
    } else {
        TileDrawing::drawVerticalThreePartImage(painter, QRectF(7, knob.y(), 7, knob.height()),
                                                imageNamedAdditional("jrv_scroll_btn_top", ratio),
                                                imageNamedAdditional("jrv_scroll_btn_center_vertical", ratio),
                                                imageNamedAdditional("jrv_scroll_btn_bottom", ratio));
    }
}

void KXScroller::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    _hitPart = testPart(at);
    if (_hitPart == kNoPart) return;
    _draggingKnob = _hitPart == kKnob;
    if (_draggingKnob) {
        const QRectF knob = knobRect();
        _grabOffset = along(at) - (isHorizontal() ? knob.left() : knob.top());
    }
    emit action(this);
}

void KXScroller::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!_draggingKnob) return;
    const QRectF knob = knobRect();
    const double travel = length() - (isHorizontal() ? knob.width() : knob.height());
    if (travel <= 0) return;
    _hitPart = kKnob;
    setDoubleValue((along(event->position()) - _grabOffset) / travel);
    emit action(this);
}

void KXScroller::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    _draggingKnob = false;
}
