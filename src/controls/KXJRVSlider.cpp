#include "controls/KXJRVSlider.h"

#include "controls/KXSliderValueField.h"
#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QLabel>
#include <QPainter>
#include <cmath>

namespace {
QRectF centred(double x, double width, double h, int H) {
    const double yUp = std::lround((H - h) / 2);
    return QRectF(x, H - yUp - h, width, h);
}
} // namespace

void KXJRVSlider::validateSlider() {
    _maxValueRange = 100;
    _minValue = 0;
    _maxValue = 1;
    _defaultValue = kNoDefault;
    setDoubleValue(0.5);
    delete _valueLabel;
    _valueLabel = nullptr;
    const int W = width(), H = height();
    _barFrame = QRect(0, 0, W, H);
    _decreaseFrame = _increaseFrame = QRect();
    _knobFrame = QRect(H, 1, H, H); // y-up -1: one point lower than the bar
    _knobDisplayX = H;
    _built = true;
    validateKnobPositionAnimated(true);
}

QRectF KXJRVSlider::fillFrame() const {
    const double h = TileDrawing::pointSize(imageNamedAdditional("jrv_adjuster_bar_color")).height();
    return centred(5, knobFrame().x(), h, height());
}

QRectF KXJRVSlider::rightPartFrame() const {
    const QImage right = imageNamedAdditional("jrv_adjuster_bar_back_right");
    const double rightX = width() - TileDrawing::pointSize(right).width() - 5;
    const double h = TileDrawing::pointSize(imageNamedAdditional("jrv_adjuster_bar_back_center")).height();
    const double start = knobFrame().x() + knobFrame().width() / 2.0;
    return centred(start, std::max(0.0, rightX - start), h, height());
}

void KXJRVSlider::validateValueLabel() {
    if (_jrvValueLabel) _jrvValueLabel->setText(valueText());
    update();
}

void KXJRVSlider::paintBar(QPainter& painter) {
    const QImage left = imageNamedAdditional("jrv_adjuster_bar_back_left");
    const QImage right = imageNamedAdditional("jrv_adjuster_bar_back_right");
    const QImage centre = imageNamedAdditional("jrv_adjuster_bar_back_center");
    const QImage fill = imageNamedAdditional("jrv_adjuster_bar_color");
    const int H = height(), W = width();
    // Fill and right part follow the knob as drawn, so they move with its animation.
    QRect knob = knobFrame();
    knob.moveLeft(knobDisplayX());
    const QSizeF l = TileDrawing::pointSize(left), r = TileDrawing::pointSize(right);
    if (!left.isNull()) painter.drawImage(centred(5, l.width(), l.height(), H), left);
    if (!right.isNull()) painter.drawImage(centred(W - r.width() - 5, r.width(), r.height(), H), right);
    if (!fill.isNull() && knob.x() > 0)
        painter.drawImage(centred(5, knob.x(), TileDrawing::pointSize(fill).height(), H), fill);
    const double start = knob.x() + knob.width() / 2.0, end = W - r.width() - 5;
    if (!centre.isNull() && end > start)
        painter.drawImage(centred(start, end - start, TileDrawing::pointSize(centre).height(), H), centre);
}
