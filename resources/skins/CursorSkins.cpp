// The image view's cursors: a target for picking an effect's centre, and the crop handles'
// diagonal double arrows, "_l" along the rising diagonal on screen and "_r" along the falling one.
#include "Skins.h"

#include <QPainterPath>
#include <cmath>
#include <utility>

namespace skins {

namespace {

// A double arrow from (x0, y0) to (x1, y1), white over a dark outline so it shows on any photo.
void doubleArrow(QPainter& painter, QPointF from, QPointF to) {
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    const double head = 4.5;
    QPainterPath path;
    for (const auto& [tip, dir] : {std::pair{from, d}, std::pair{to, -d}}) {
        path.moveTo(tip);
        path.lineTo(tip + dir * head + n * head * 0.8);
        path.lineTo(tip + dir * head - n * head * 0.8);
        path.closeSubpath();
    }
    path.moveTo(from + d * head);
    path.lineTo(to - d * head);
    for (const auto& [pen, colour] : {std::pair{3.2, theme::kOutline}, std::pair{1.4, QColor(Qt::white)}}) {
        painter.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(colour);
        painter.drawPath(path);
    }
}

} // namespace

void writeCursorSkins(const Write& write) {
    write("target_cursor", QSizeF(38, 38), [](QPainter& painter, QSizeF size) {
        const QPointF c(size.width() / 2, size.height() / 2);
        for (const auto& [pen, colour] :
             {std::pair{3.0, theme::kOutline}, std::pair{1.2, QColor(Qt::white)}}) {
            painter.setPen(QPen(colour, pen));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(c, 10, 10);
            for (const QPointF& dir : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
                painter.drawLine(c + dir * 4, c + dir * 17);
        }
    });
    write("crop_resize_cursor_l", QSizeF(16, 16), [](QPainter& painter, QSizeF size) {
        doubleArrow(painter, {1.5, size.height() - 1.5}, {size.width() - 1.5, 1.5});
    });
    write("crop_resize_cursor_r", QSizeF(16, 16), [](QPainter& painter, QSizeF size) {
        doubleArrow(painter, {1.5, 1.5}, {size.width() - 1.5, size.height() - 1.5});
    });
}

} // namespace skins
