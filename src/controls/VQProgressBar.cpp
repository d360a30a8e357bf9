#include "controls/VQProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

void VQProgressBar::setDoubleValue(double value) {
    _doubleValue = value;
    update();
}

double VQProgressBar::filledWidth(double width) const {
    const double span = _doubleValue - _minValue, range = _maxValue - _minValue;
    if (span <= 0) return 0;
    return range >= span ? std::round(span * width / range) : width;
}

void VQProgressBar::paintEvent(QPaintEvent*) {
    const double w = width(), h = height(), filled = filledWidth(w);
    if (filled <= 0) return;
    const qreal ratio = devicePixelRatioF();
    if (_gradient.size() != size() * ratio) {
        _gradient = QPixmap(size() * ratio);
        _gradient.setDevicePixelRatio(ratio);
        _gradient.fill(Qt::transparent);
        QPainter image(&_gradient);
        QLinearGradient warm(0, h / 2, w, h / 2);
        warm.setColorAt(0, QColor(250, 201, 53));
        warm.setColorAt(1, QColor(253, 130, 22));
        image.fillRect(QRectF(0, 0, w, h), warm);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, filled, h), 1, 1);
    painter.setClipPath(clip);
    painter.drawPixmap(QPointF(filled - w, 0), _gradient);
}
