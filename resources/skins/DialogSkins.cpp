// The in-window dialog's buttons (normal and big) and close button, and the popover list's
// check marks and row separator.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

namespace {

constexpr double kCap = 8, kWhole = 40;

// A raised pill in the accent colour; slices of it join without a seam.
void pill(QPainter& painter, double height) {
    const QRectF body(0.5, 0.5, kWhole - 1, height - 1);
    QLinearGradient shade(0, 0, 0, height);
    shade.setColorAt(0, theme::kAccent.lighter(112));
    shade.setColorAt(1, theme::kAccent.darker(125));
    painter.setPen(QPen(theme::kOutline, 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 6, 6);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawLine(QPointF(6, 1.5), QPointF(kWhole - 6, 1.5));
}

void writeButton(const Write& write, const std::string& suffix, double height) {
    const auto slice = [height](double x) -> Draw {
        return [x, height](QPainter& painter, QSizeF) {
            painter.translate(-x, 0);
            pill(painter, height);
        };
    };
    write("btn_left" + suffix, QSizeF(kCap, height), slice(0));
    write("btn_center" + suffix, QSizeF(1, height), slice(kWhole / 2));
    write("btn_right" + suffix, QSizeF(kCap, height), slice(kWhole - kCap));
}

Draw checkMark(QColor colour) {
    return [colour](QPainter& painter, QSizeF size) {
        const double mid = size.height() / 2;
        QPainterPath mark;
        mark.moveTo(1.5, mid);
        mark.lineTo(4.2, mid + 3);
        mark.lineTo(9.5, mid - 3.5);
        painter.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(mark);
    };
}

} // namespace

void writeDialogSkins(const Write& write) {
    writeButton(write, "", 31);
    writeButton(write, "_big", 45);
    write("dialog_close", QSizeF(27, 27), [](QPainter& painter, QSizeF) {
        painter.setPen(QPen(theme::kOutline, 1));
        painter.setBrush(QColor(72, 72, 78));
        painter.drawEllipse(QRectF(3.5, 3.5, 20, 20));
        painter.setPen(QPen(QColor(230, 230, 232), 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(9.5, 9.5), QPointF(17.5, 17.5));
        painter.drawLine(QPointF(17.5, 9.5), QPointF(9.5, 17.5));
    });
    // On a lit (amber) row the mark is dark; on the grey rows it is amber.
    write("check_y", QSizeF(11, 15), checkMark(QColor(20, 20, 22)));
    write("check_b", QSizeF(11, 15), checkMark(QColor(255, 186, 31)));
    write("title_stroke", QSizeF(40, 2), [](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(0, 0, size.width(), 1), QColor(0, 0, 0, 150));
        painter.fillRect(QRectF(0, 1, size.width(), 1), QColor(255, 255, 255, 22));
    });
}

} // namespace skins
