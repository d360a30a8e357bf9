// The effect browser: its tab pills, the favourites check box, previous, next and random, the
// strip's scroll arrows and the shadows that show the strip goes on past an edge.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

namespace {

void arrow(QPainter& painter, QSizeF size, bool left) {
    painter.setPen(QPen(QColor(190, 190, 194), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const double cx = size.width() / 2, cy = size.height() / 2, d = left ? 1 : -1;
    QPainterPath chevron;
    chevron.moveTo(cx + 2.5 * d, cy - 5);
    chevron.lineTo(cx - 2.5 * d, cy);
    chevron.lineTo(cx + 2.5 * d, cy + 5);
    painter.drawPath(chevron);
}

void shadow(QPainter& painter, QSizeF size, bool left) {
    QLinearGradient fade(left ? 0 : size.width(), 0, left ? size.width() : 0, 0);
    fade.setColorAt(0, QColor(0, 0, 0, 170));
    fade.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(QPointF(0, 0), size), fade);
}

} // namespace

void writeBrowserSkins(const Write& write) {
    for (bool on : {false, true}) {
        write(std::string("browser_tab") + (on ? "_on" : "_off"), QSizeF(84, 24),
              [on](QPainter& painter, QSizeF size) {
                  painter.setPen(QPen(on ? theme::kAccent.darker(130) : theme::kOutline, 1));
                  painter.setBrush(on ? theme::kAccent.darker(115) : QColor(52, 52, 56));
                  painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 5, 5);
              });
        write(std::string("favorites_check") + (on ? "_on" : "_off"), QSizeF(104, 24),
              [on](QPainter& painter, QSizeF) {
                  const QRectF box(3.5, 5.5, 13, 13);
                  painter.setPen(QPen(theme::kOutline, 1));
                  painter.setBrush(on ? theme::kAccent : QColor(30, 30, 33));
                  painter.drawRoundedRect(box, 3, 3);
                  if (!on) return;
                  painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                  QPainterPath tick;
                  tick.moveTo(6.5, 12);
                  tick.lineTo(9, 14.5);
                  tick.lineTo(13.5, 8.5);
                  painter.drawPath(tick);
              });
    }
    write("strip_arrow_left", QSizeF(28, 24),
          [](QPainter& painter, QSizeF size) { arrow(painter, size, true); });
    write("strip_arrow_right", QSizeF(28, 24),
          [](QPainter& painter, QSizeF size) { arrow(painter, size, false); });
    // Previous and next: a play triangle against a bar; random: a die.
    for (bool next : {false, true}) {
        write(next ? "effect_next" : "effect_previous", QSizeF(28, 24),
              [next](QPainter& painter, QSizeF size) {
                  painter.translate(size.width() / 2, size.height() / 2);
                  if (!next) painter.scale(-1, 1);
                  painter.setPen(Qt::NoPen);
                  painter.setBrush(QColor(200, 200, 204));
                  QPainterPath triangle;
                  triangle.moveTo(-5, -5.5);
                  triangle.lineTo(3, 0);
                  triangle.lineTo(-5, 5.5);
                  triangle.closeSubpath();
                  painter.drawPath(triangle);
                  painter.drawRect(QRectF(3.5, -5.5, 2, 11));
              });
    }
    write("effect_random", QSizeF(28, 24), [](QPainter& painter, QSizeF size) {
        const QRectF die(size.width() / 2 - 6.5, size.height() / 2 - 6.5, 13, 13);
        painter.setPen(QPen(QColor(200, 200, 204), 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(die, 3, 3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 200, 204));
        for (QPointF pip : {die.center() + QPointF(-3, -3), die.center(), die.center() + QPointF(3, 3)})
            painter.drawEllipse(pip, 1.3, 1.3);
    });
    // Collapses the strip (drawn pushed while the strip shows).
    write("strip_hide", QSizeF(28, 24), [](QPainter& painter, QSizeF size) {
        painter.setPen(QPen(QColor(190, 190, 194), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath chevron;
        chevron.moveTo(size.width() / 2 - 5, size.height() / 2 - 2.5);
        chevron.lineTo(size.width() / 2, size.height() / 2 + 2.5);
        chevron.lineTo(size.width() / 2 + 5, size.height() / 2 - 2.5);
        painter.drawPath(chevron);
    });
    write("strip_shadow_left", QSizeF(24, 140),
          [](QPainter& painter, QSizeF size) { shadow(painter, size, true); });
    write("strip_shadow_right", QSizeF(24, 140),
          [](QPainter& painter, QSizeF size) { shadow(painter, size, false); });
}

} // namespace skins
