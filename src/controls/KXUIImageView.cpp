#include "controls/KXUIImageView.h"

#include "controls/TileDrawing.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

void KXUIImageView::setImage(const QImage& image) {
    _image = image;
    updateGeometry();
    update();
}

void KXUIImageView::setImageResizesView(bool on) {
    _imageResizesView = on;
    updateGeometry();
}

QSize KXUIImageView::sizeHint() const {
    if (_imageResizesView && !_image.isNull()) return TileDrawing::pointSize(_image).toSize();
    return QWidget::sizeHint();
}

void KXUIImageView::paintEvent(QPaintEvent*) {
    if (_image.isNull()) return;
    // Scaled down to fit when larger than the view, never up; centred.
    QSizeF size = TileDrawing::pointSize(_image);
    if (size.width() > width() || size.height() > height())
        size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                      _image);
}

void KXUIImageView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!mouseDownCanMoveWindow()) return;
    if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
}

void KXUIImageView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}
