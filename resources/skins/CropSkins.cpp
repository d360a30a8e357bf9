// The crop toolbar's lock: a padlock shut (proportions kept) in the accent colour, or open in grey.
#include "Skins.h"

#include <QPainterPath>

namespace skins {

void writeCropSkins(const Write& write) {
    for (bool on : {false, true}) {
        write(on ? "lock_on" : "lock_off", QSizeF(24, 24), [on](QPainter& painter, QSizeF) {
            const QColor colour = on ? theme::kAccent : QColor(170, 170, 174);
            painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            QPainterPath shackle;
            shackle.moveTo(8, 11);
            shackle.lineTo(8, 8);
            shackle.arcTo(QRectF(8, 4, 8, 8), 180, -180);
            if (on)
                shackle.lineTo(16, 11);
            else
                shackle.lineTo(16, 6.5);
            painter.drawPath(shackle);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawRoundedRect(QRectF(5.5, 11, 13, 9.5), 2, 2);
            painter.setBrush(QColor(30, 30, 33));
            painter.drawEllipse(QPointF(12, 15.2), 1.5, 1.5);
        });
    }
}

} // namespace skins
