// The push button's three-part background, the drop-down arrow and the top bar's rotate button.
// The three parts are cut from one rounded, softly raised shape so they join without a seam at any
// width.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

namespace {

constexpr double kHeight = 24, kCap = 6, kWhole = 40;
// The top bar's rotate button is 74 points wide; its title is drawn over the image.
constexpr double kRotateWidth = 74;

void raisedShape(QPainter& painter, QSizeF size, bool pushed = false) {
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, pushed ? theme::kAccent.darker(125) : theme::kRaisedTop);
    shade.setColorAt(1, pushed ? theme::kAccent.darker(160) : theme::kRaisedBottom);
    painter.setPen(QPen(theme::kOutline, 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 5, 5);
    painter.setPen(QPen(theme::kEdgeLight, 1));
    painter.drawLine(QPointF(5, 1.5), QPointF(size.width() - 5, 1.5));
}

// One slice [x, x + width) of the whole shape.
Draw slice(double x) {
    return [x](QPainter& painter, QSizeF) {
        painter.translate(-x, 0);
        raisedShape(painter, QSizeF(kWhole, kHeight));
    };
}

} // namespace

void writeButtonSkins(const Write& write) {
    write("button_left", QSizeF(kCap, kHeight), slice(0));
    write("button_center", QSizeF(1, kHeight), slice(kWhole / 2));
    write("button_right", QSizeF(kCap, kHeight), slice(kWhole - kCap));
    write("dropdown_arrow", QSizeF(9, 6), [](QPainter& painter, QSizeF size) {
        QPainterPath arrow;
        arrow.moveTo(0.5, 0.5);
        arrow.lineTo(size.width() - 0.5, 0.5);
        arrow.lineTo(size.width() / 2, size.height() - 0.5);
        arrow.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme::kHandleLight);
        painter.drawPath(arrow);
    });
    // Closed, the rotate button matches its neighbours; while the tool is open it is lit.
    write("rotate_off", QSizeF(kRotateWidth, kHeight),
          [](QPainter& painter, QSizeF size) { raisedShape(painter, size); });
    write("rotate_on", QSizeF(kRotateWidth, kHeight),
          [](QPainter& painter, QSizeF size) { raisedShape(painter, size, true); });
}

} // namespace skins
