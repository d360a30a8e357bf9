// The application's icon: an opal on a dark rounded tile, the theme's accent in its play of
// colour. Drawn afresh for each size so the small ones stay crisp: below 32 pixels the stone loses
// its inner glints and the tile its inner light, which would only blur there.
#include "Skins.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace skins {

QImage applicationIcon(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = pixels, margin = pixels >= 32 ? s * 0.06 : 0;
    const bool small = pixels < 32;

    // The tile: graphite, lit from above, with a crisp dark rim.
    const QRectF tile(margin + 0.5, margin + 0.5, s - 2 * margin - 1, s - 2 * margin - 1);
    QLinearGradient ground(0, tile.top(), 0, tile.bottom());
    ground.setColorAt(0, QColor(64, 66, 72));
    ground.setColorAt(1, QColor(28, 29, 33));
    painter.setPen(QPen(theme::kOutline, 1));
    painter.setBrush(ground);
    painter.drawRoundedRect(tile, tile.width() * 0.22, tile.width() * 0.22);
    if (!small) {
        painter.setPen(QPen(QColor(255, 255, 255, 36), std::max(1.0, s / 256)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -1.5), tile.width() * 0.2, tile.width() * 0.2);
    }

    // The stone: a play of colour turning around its centre, a milky body and a highlight.
    const QPointF centre(s / 2, s / 2 + s * 0.01);
    const double r = (s - 2 * margin) * (small ? 0.36 : 0.31);
    const QRectF stone(centre.x() - r, centre.y() - r * 0.86, 2 * r, 2 * r * 0.86);
    QConicalGradient play(centre, 110);
    play.setColorAt(0.0, theme::kAccent);
    play.setColorAt(0.2, QColor(84, 206, 196));
    play.setColorAt(0.4, QColor(150, 224, 128));
    play.setColorAt(0.55, QColor(246, 200, 110));
    play.setColorAt(0.72, QColor(236, 124, 168));
    play.setColorAt(0.86, QColor(150, 120, 236));
    play.setColorAt(1.0, theme::kAccent);
    // A deep blue body under the play, so the stone reads as a gem, not a colour wheel.
    QRadialGradient body(centre + QPointF(-r * 0.2, -r * 0.25), r * 1.2);
    body.setColorAt(0, QColor(120, 190, 240));
    body.setColorAt(1, QColor(24, 58, 112));
    painter.setPen(QPen(QColor(10, 12, 16, 200), std::max(1.0, s / 128)));
    painter.setBrush(body);
    painter.drawEllipse(stone);
    painter.setPen(Qt::NoPen);
    painter.setOpacity(small ? 0.7 : 0.55);
    painter.setBrush(play);
    painter.drawEllipse(stone);
    painter.setOpacity(1);
    QRadialGradient milk(centre + QPointF(r * 0.1, r * 0.05), r);
    milk.setColorAt(0, QColor(255, 255, 255, small ? 90 : 150));
    milk.setColorAt(0.6, QColor(255, 255, 255, small ? 25 : 50));
    milk.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(milk);
    painter.drawEllipse(stone);
    if (!small) {
        // Glints of colour deeper in the stone, then the light on its upper left.
        const struct {
            double x, y, size;
            QColor colour;
        } glints[] = {
            {-0.42, 0.22, 0.24, QColor(110, 240, 200, 190)}, {0.38, -0.18, 0.2, QColor(255, 130, 190, 180)},
            {0.12, 0.45, 0.18, QColor(255, 214, 110, 190)},  {-0.1, -0.35, 0.16, QColor(170, 140, 255, 160)},
            {0.5, 0.3, 0.14, QColor(120, 230, 140, 170)},
        };
        for (const auto& g : glints) {
            const QPointF at = centre + QPointF(g.x * r, g.y * r);
            QRadialGradient glow(at, g.size * r);
            glow.setColorAt(0, g.colour);
            glow.setColorAt(1, QColor(g.colour.red(), g.colour.green(), g.colour.blue(), 0));
            painter.setBrush(glow);
            painter.drawEllipse(at, g.size * r, g.size * r);
        }
        QPainterPath shine;
        shine.addEllipse(QRectF(stone.left() + r * 0.32, stone.top() + r * 0.14, r * 0.9, r * 0.42));
        QLinearGradient light(0, stone.top(), 0, stone.top() + r * 0.6);
        light.setColorAt(0, QColor(255, 255, 255, 170));
        light.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setBrush(light);
        painter.drawPath(shine);
    }
    return image;
}

} // namespace skins
