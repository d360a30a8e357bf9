#include "editor/DSSUISliderButtonView.h"

#include <QPainter>
#include <QPainterPath>

void DSSUISliderButtonView::setImage(const QImage& image) {
    _image = image;
    update();
}

void DSSUISliderButtonView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!_image.isNull()) {
        const QSizeF size = QSizeF(_image.size()) / _image.devicePixelRatio();
        const QPointF origin((width() - size.width()) / 2, (height() - size.height()) / 2);
        painter.drawImage(QRectF(origin, size), _image);
        return;
    }
    // No skin: a light upward wedge, so the handle still reads as one.
    QPainterPath wedge;
    wedge.moveTo(width() / 2.0, 0.5);
    wedge.lineTo(width() - 0.5, height() - 0.5);
    wedge.lineTo(0.5, height() - 0.5);
    wedge.closeSubpath();
    painter.setPen(QPen(QColor(30, 30, 30), 1));
    painter.setBrush(QColor(225, 225, 225));
    painter.drawPath(wedge);
}
