// Toolbar glyphs: the collapse toggle's chevron, the mask brush and the centre-pick crosshair.
#include "Skins.h"

#include <QPainterPath>
#include <cmath>

namespace skins {

void writeToolbarSkins(const Write& write) {
    // The adjustments panel's tabs: a lit pill for the open group, a dark one for the others.
    for (const char* tab : {"adjusters", "levels", "sharpen", "shadows"}) {
        for (bool on : {false, true}) {
            write(std::string(tab) + (on ? "_on" : "_off"), QSizeF(80, 22),
                  [on](QPainter& painter, QSizeF size) {
                      painter.setPen(QPen(on ? theme::kAccent.darker(130) : QColor(16, 16, 18), 1));
                      painter.setBrush(on ? theme::kAccent.darker(115) : QColor(52, 52, 56));
                      painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 11, 11);
                  });
        }
    }

    write("small_size_btn", QSizeF(24, 24), [](QPainter& painter, QSizeF) {
        painter.setPen(QPen(QColor(170, 170, 174), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath chevron;
        chevron.moveTo(7, 14.5);
        chevron.lineTo(12, 9.5);
        chevron.lineTo(17, 14.5);
        painter.drawPath(chevron);
    });
    write("brush_icon", QSizeF(14, 14), [](QPainter& painter, QSizeF) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(230, 230, 232));
        QPainterPath handle;
        handle.moveTo(12.8, 1.2);
        handle.lineTo(13.8, 2.2);
        handle.lineTo(7.2, 8.8);
        handle.lineTo(5.2, 6.8);
        handle.closeSubpath();
        painter.drawPath(handle);
        painter.setBrush(theme::kAccent);
        QPainterPath tip;
        tip.moveTo(4.6, 7.4);
        tip.lineTo(6.6, 9.4);
        tip.cubicTo(6.0, 12.2, 3.0, 13.2, 0.8, 13.2);
        tip.cubicTo(2.2, 11.6, 1.6, 8.4, 4.6, 7.4);
        painter.drawPath(tip);
    });
    // The preset cell's edit and delete buttons.
    write("cell_edit", QSizeF(24, 20), [](QPainter& painter, QSizeF) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 110));
        painter.drawRoundedRect(QRectF(0, 0, 24, 20), 5, 5);
        painter.setPen(QPen(QColor(235, 235, 237), 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(8, 14), QPointF(15.5, 6.5));
        painter.drawLine(QPointF(7, 15), QPointF(9, 15));
    });
    write("cell_delete", QSizeF(24, 20), [](QPainter& painter, QSizeF) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 110));
        painter.drawRoundedRect(QRectF(0, 0, 24, 20), 5, 5);
        painter.setPen(QPen(QColor(235, 235, 237), 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(8.5, 6.5), QPointF(15.5, 13.5));
        painter.drawLine(QPointF(15.5, 6.5), QPointF(8.5, 13.5));
    });
    // The favourite star of the older list cell, filled when on.
    for (bool on : {false, true}) {
        write(on ? "star_on" : "star_off", QSizeF(22, 22), [on](QPainter& painter, QSizeF) {
            QPainterPath star;
            for (int i = 0; i < 10; ++i) {
                const double angle = -M_PI / 2 + i * M_PI / 5, radius = i % 2 ? 3.6 : 8.5;
                const QPointF p(11 + radius * std::cos(angle), 11.5 + radius * std::sin(angle));
                if (i == 0)
                    star.moveTo(p);
                else
                    star.lineTo(p);
            }
            star.closeSubpath();
            painter.setPen(QPen(on ? QColor(250, 200, 60) : QColor(170, 170, 174), 1.2));
            painter.setBrush(on ? QColor(250, 200, 60) : Qt::transparent);
            painter.drawPath(star);
        });
    }
    write("crosshair_hint", QSizeF(20, 20), [](QPainter& painter, QSizeF) {
        painter.setPen(QPen(QColor(230, 230, 232), 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(10, 10), 5.5, 5.5);
        painter.drawLine(QPointF(10, 1), QPointF(10, 6));
        painter.drawLine(QPointF(10, 14), QPointF(10, 19));
        painter.drawLine(QPointF(1, 10), QPointF(6, 10));
        painter.drawLine(QPointF(14, 10), QPointF(19, 10));
    });
}

} // namespace skins
