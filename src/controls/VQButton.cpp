#include "controls/VQButton.h"

#include "controls/TileDrawing.h"

#include <QMouseEvent>
#include <QPainter>

void VQButton::paintEvent(QPaintEvent*) {
    const QImage& image = isDown() && !_pressedImage.isNull() ? _pressedImage : _image;
    if (image.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled()) painter.setOpacity(0.5);
    QSizeF size = TileDrawing::pointSize(image);
    size.scale(QSizeF(this->size()).boundedTo(size), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                      image);
}

void VQButton::leaveEvent(QEvent* event) {
    if (isDown()) {
        _releasedByLeaving = true;
        setDown(false);
    }
    QAbstractButton::leaveEvent(event);
}

void VQButton::mouseMoveEvent(QMouseEvent* event) {
    if (isDown() && !rect().contains(event->position().toPoint())) {
        _releasedByLeaving = true;
        setDown(false);
    }
    QAbstractButton::mouseMoveEvent(event);
}
