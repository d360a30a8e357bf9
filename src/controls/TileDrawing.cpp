#include "controls/TileDrawing.h"

#include <algorithm>

namespace TileDrawing {

QSizeF pointSize(const QImage& image) {
    if (image.isNull()) return QSizeF(0, 0);
    return QSizeF(image.size()) / image.devicePixelRatio();
}

namespace {
void drawInto(QPainter& painter, const QRectF& target, const QImage& image) {
    if (image.isNull() || target.width() <= 0 || target.height() <= 0) return;
    painter.drawImage(target, image, QRectF(QPointF(0, 0), QSizeF(image.size())));
}
} // namespace

void drawThreePartImage(QPainter& painter, const QRectF& rect, const QImage& left, const QImage& centre,
                        const QImage& right) {
    const QSizeF l = pointSize(left), c = pointSize(centre), r = pointSize(right);
    const auto row = [&](double height) { return rect.y() + (rect.height() - height) / 2; };
    const double leftWidth = std::min(l.width(), rect.width());
    const double rightWidth = std::min(r.width(), rect.width() - leftWidth);
    drawInto(painter, QRectF(rect.x(), row(l.height()), leftWidth, l.height()), left);
    drawInto(painter, QRectF(rect.right() - rightWidth, row(r.height()), rightWidth, r.height()), right);
    drawInto(painter,
             QRectF(rect.x() + leftWidth, row(c.height()), rect.width() - leftWidth - rightWidth, c.height()),
             centre);
}

void drawVerticalThreePartImage(QPainter& painter, const QRectF& rect, const QImage& top,
                                const QImage& centre, const QImage& bottom) {
    const QSizeF t = pointSize(top), c = pointSize(centre), b = pointSize(bottom);
    const auto column = [&](double width) { return rect.x() + (rect.width() - width) / 2; };
    const double topHeight = std::min(t.height(), rect.height());
    const double bottomHeight = std::min(b.height(), rect.height() - topHeight);
    drawInto(painter, QRectF(column(t.width()), rect.y(), t.width(), topHeight), top);
    drawInto(painter, QRectF(column(b.width()), rect.bottom() - bottomHeight, b.width(), bottomHeight),
             bottom);
    drawInto(
        painter,
        QRectF(column(c.width()), rect.y() + topHeight, c.width(), rect.height() - topHeight - bottomHeight),
        centre);
}

void drawNinePartImage(QPainter& painter, const QRectF& rect, const QImage (&tiles)[9]) {
    const QSizeF topLeft = pointSize(tiles[0]), bottomRight = pointSize(tiles[8]);
    const double left = std::min(topLeft.width(), rect.width() / 2);
    const double top = std::min(topLeft.height(), rect.height() / 2);
    const double right = std::min(bottomRight.width(), rect.width() - left);
    const double bottom = std::min(bottomRight.height(), rect.height() - top);
    const double xs[4] = {rect.x(), rect.x() + left, rect.right() - right, rect.right()};
    const double ys[4] = {rect.y(), rect.y() + top, rect.bottom() - bottom, rect.bottom()};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            drawInto(painter, QRectF(QPointF(xs[column], ys[row]), QPointF(xs[column + 1], ys[row + 1])),
                     tiles[row * 3 + column]);
}

} // namespace TileDrawing
