// The text field's sunken three-part frame (and its focused form, ringed in the accent colour),
// the search field's magnifier and its reset button.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

namespace {

constexpr double kHeight = 23, kCap = 6, kWhole = 40;

Draw slice(double x, bool focused) {
    return [x, focused](QPainter& painter, QSizeF) {
        painter.translate(-x, 0);
        const QRectF body(0.5, 0.5, kWhole - 1, kHeight - 1);
        QLinearGradient well(0, 0, 0, kHeight);
        well.setColorAt(0, QColor(24, 24, 26));
        well.setColorAt(1, QColor(34, 34, 37));
        painter.setBrush(well);
        painter.setPen(QPen(focused ? theme::kAccent : QColor(14, 14, 16), 1));
        painter.drawRoundedRect(body, 4, 4);
        painter.setPen(QPen(QColor(255, 255, 255, 18), 1));
        painter.drawLine(QPointF(4, kHeight - 0.5), QPointF(kWhole - 4, kHeight - 0.5));
    };
}

} // namespace

void writeTextFieldSkins(const Write& write) {
    for (bool focused : {false, true}) {
        const std::string suffix = focused ? "_hl" : "";
        write("text_left" + suffix, QSizeF(kCap, kHeight), slice(0, focused));
        write("text_center" + suffix, QSizeF(1, kHeight), slice(kWhole / 2, focused));
        write("text_right" + suffix, QSizeF(kCap, kHeight), slice(kWhole - kCap, focused));
    }
    write("search_btn", QSizeF(19, 19), [](QPainter& painter, QSizeF) {
        painter.setPen(QPen(QColor(150, 150, 154), 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(8.5, 8.5), 4.5, 4.5);
        painter.setPen(QPen(QColor(150, 150, 154), 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(12, 12), QPointF(15.5, 15.5));
    });
    write("close_btn", QSizeF(18, 18), [](QPainter& painter, QSizeF) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(110, 110, 114));
        painter.drawEllipse(QPointF(9, 9), 7, 7);
        painter.setPen(QPen(QColor(30, 30, 32), 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(6.5, 6.5), QPointF(11.5, 11.5));
        painter.drawLine(QPointF(11.5, 6.5), QPointF(6.5, 11.5));
    });
}

} // namespace skins
