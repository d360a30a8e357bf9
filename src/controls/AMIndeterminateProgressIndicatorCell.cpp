#include "controls/AMIndeterminateProgressIndicatorCell.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

void AMIndeterminateProgressIndicatorCell::setDoubleValue(double value) {
    _doubleValue = std::clamp(value, 0.0, 1.0);
    if (std::isnan(value)) _doubleValue = 0;
    update();
}

void AMIndeterminateProgressIndicatorCell::setDisplayedWhenStopped(bool on) {
    _displayedWhenStopped = on;
    update();
}

void AMIndeterminateProgressIndicatorCell::setSpinning(bool on) {
    _spinning = on;
    update();
}

void AMIndeterminateProgressIndicatorCell::setObjectValue(const QVariant& value) {
    const bool answersBool =
        value.isValid() && value.canConvert<bool>() && value.metaType().id() != QMetaType::QString;
    setSpinning(answersBool && value.toBool());
}

void AMIndeterminateProgressIndicatorCell::setColor(const QColor& colour) {
    _color = colour;
    _red = float(colour.redF());
    _green = float(colour.greenF());
    _blue = float(colour.blueF());
    update();
}

AMIndeterminateProgressIndicatorCell::Spokes
AMIndeterminateProgressIndicatorCell::spokesInFrame(const QRectF& frame, bool flipped) const {
    Spokes result;
    if (!_spinning && !_displayedWhenStopped) return result;
    const int step = int(std::lround(_doubleValue * 12));
    const double s = std::min(frame.width(), frame.height());
    const QPointF centre(frame.x() + s / 2, frame.y() + frame.height() / 2);
    const bool large = s >= 32;
    const double inner = (large ? 0.23 : 0.27) * s, outer = (large ? 0.38 : 0.48) * s;
    result.lineWidth = 0.08 * s;
    double angle = _spinning ? 270.0 + step * 30.0 : 270.0;
    const double direction = flipped ? 1 : -1;
    for (int i = 0; i < 12; ++i) {
        const double radians = angle * M_PI / 180;
        const QPointF unit(std::cos(radians), std::sin(radians));
        result.spokes.push_back(
            {QLineF(centre + unit * inner, centre + unit * outer), 1 - 0.25 * std::sqrt(double(i))});
        angle -= 30.0 * direction;
    }
    return result;
}

void AMIndeterminateProgressIndicatorCell::drawInteriorWithFrame(QPainter& painter,
                                                                 const QRectF& frame) const {
    // Computed in the y-up frame the spinner was designed for, then turned into painter rows.
    const Spokes spokes = spokesInFrame(QRectF(frame.x(), 0, frame.width(), frame.height()), false);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto toPainter = [&](QPointF p) { return QPointF(p.x(), frame.y() + frame.height() - p.y()); };
    for (const Spoke& spoke : spokes.spokes) {
        QColor colour;
        colour.setRgbF(_red, _green, _blue, float(spoke.alpha));
        painter.setPen(QPen(colour, spokes.lineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(toPainter(spoke.line.p1()), toPainter(spoke.line.p2()));
    }
    painter.restore();
}

void AMIndeterminateProgressIndicatorCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawInteriorWithFrame(painter, QRectF(rect()));
}
