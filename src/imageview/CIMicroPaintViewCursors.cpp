// The canvas's brush cursors: the outline picture, the hand of the hand tool, and the ring the
// canvas paints itself for brushes too large for a cursor picture.
#include "imageview/CIMicroPaintView.h"

#include <QCursor>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

QImage CIMicroPaintView::brushCursorImage(double diameter, double softness, bool erase, bool opaque,
                                          double devicePixelRatio) {
    const double d = std::round(opaque ? std::max(diameter, 8.0) : diameter);
    if (!(d >= 1)) return QImage();
    const int side = int(std::ceil(d * devicePixelRatio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn y-up, as the outline is specified.
    p.translate(0, d);
    p.scale(1, -1);
    const double a = opaque ? 1.0 : 0.7;
    const QColor white(255, 255, 255, int(std::round(a * 255))), black(0, 0, 0, int(std::round(a * 255)));
    p.setPen(QPen(white, 1.5));
    p.setBrush(QColor(255, 255, 255, int(std::round(0.15 * 255))));
    p.drawEllipse(QRectF(1, 1, d - 2, d - 2));
    p.setPen(QPen(black, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, d - 4, d - 4));
    if (d > 20) {
        const double c = std::floor(d / 2);
        p.setPen(Qt::NoPen);
        if (!erase) p.fillRect(QRectF(c - 1, c - 3, 3, 7), white);
        p.fillRect(QRectF(c - 3, c - 1, 7, 3), white);
        if (!erase) p.fillRect(QRectF(c, c - 2, 1, 5), black);
        p.fillRect(QRectF(c - 2, c, 5, 1), black);
    }
    const double e = (1 - softness / 200) * d;
    if (e - 2 > 0) {
        p.setPen(QPen(QColor(255, 255, 0, opaque ? 255 : 128), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF((d - e) / 2 + 1, (d - e) / 2 + 1, e - 2, e - 2));
    }
    return image;
}

void CIMicroPaintView::resetCursorRects() {
    setMouseTracking(true);
    if (isHandTool()) {
        _drawsBrushRing = false;
        setCursor(Qt::OpenHandCursor);
    } else {
        const double dpr = devicePixelRatioF();
        _drawsBrushRing = std::round(_brushSize) * dpr > kLargestCursor;
        if (_drawsBrushRing) {
            setCursor(Qt::BlankCursor);
        } else {
            const QImage picture = brushCursorImage(_brushSize, _brushSoftness, _eraseMask, false, dpr);
            if (picture.isNull())
                setCursor(Qt::ArrowCursor);
            else
                setCursor(QCursor(QPixmap::fromImage(picture), int(_brushSize / 2), int(_brushSize / 2)));
        }
    }
    update(ringRect());
}

void CIMicroPaintView::setBrushSoftness(double softness) {
    if (softness == _brushSoftness) return;
    _brushSoftness = softness;
    resetCursorRects();
}

void CIMicroPaintView::setEraseMask(bool erase) {
    if (erase == _eraseMask) return;
    _eraseMask = erase;
    resetCursorRects();
}

void CIMicroPaintView::setMoveImage(bool move) {
    if (move == _moveImage) return;
    _moveImage = move;
    resetCursorRects();
}

void CIMicroPaintView::setMoveImageUsingSpace(bool move) {
    if (move == _moveImageUsingSpace) return;
    _moveImageUsingSpace = move;
    resetCursorRects();
}

QRect CIMicroPaintView::ringRect() const {
    if (!_pointer) return QRect();
    const double d = std::round(_brushSize) + 2;
    return QRectF(_pointer->x() - d / 2, _pointer->y() - d / 2, d, d).toAlignedRect();
}

void CIMicroPaintView::movePointer(std::optional<QPointF> at) {
    if (!_drawsBrushRing) {
        _pointer = at;
        return;
    }
    update(ringRect());
    _pointer = at;
    update(ringRect());
}

void CIMicroPaintView::paintEvent(QPaintEvent* event) {
    SampleCIView::paintEvent(event);
    if (!_drawsBrushRing || !_pointer || !event->rect().intersects(ringRect())) return;
    const QImage ring =
        brushCursorImage(_brushSize, _brushSoftness, _eraseMask, _drawing, devicePixelRatioF());
    QPainter painter(this);
    const double d = std::round(_drawing ? std::max(_brushSize, 8.0) : _brushSize);
    painter.drawImage(QPointF(_pointer->x() - d / 2, _pointer->y() - d / 2), ring);
}

void CIMicroPaintView::leaveEvent(QEvent* event) {
    SampleCIView::leaveEvent(event);
    movePointer(std::nullopt);
}
