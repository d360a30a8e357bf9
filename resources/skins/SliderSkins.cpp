// Sliders: the adjustments bar (normal and hovered), its knob, minus and plus, the value box, and
// the parameter sliders' bar with its accent fill and knob.
#include "Skins.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace skins {

namespace {

constexpr double kTrack = 6, kCap = 4, kWhole = 30;

// A rounded groove cut into three slices.
Draw groove(double x, QColor top, QColor bottom, QColor edge) {
    return [=](QPainter& painter, QSizeF) {
        painter.translate(-x, 0);
        QLinearGradient shade(0, 0, 0, kTrack);
        shade.setColorAt(0, top);
        shade.setColorAt(1, bottom);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(shade);
        painter.drawRoundedRect(QRectF(0.5, 0.5, kWhole - 1, kTrack - 1), 2.5, 2.5);
    };
}

void writeGroove(const Write& write, const std::string& prefix, QColor top, QColor bottom, QColor edge) {
    write(prefix + "_left", QSizeF(kCap, kTrack), groove(0, top, bottom, edge));
    write(prefix + "_center", QSizeF(1, kTrack), groove(kWhole / 2, top, bottom, edge));
    write(prefix + "_right", QSizeF(kCap, kTrack), groove(kWhole - kCap, top, bottom, edge));
}

Draw knob(bool grabbed, double diameter) {
    return [=](QPainter& painter, QSizeF size) {
        const QPointF centre(size.width() / 2, size.height() / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawEllipse(centre + QPointF(0, 1), diameter / 2, diameter / 2);
        QRadialGradient face(centre - QPointF(diameter / 6, diameter / 6), diameter * 0.75);
        face.setColorAt(0, grabbed ? QColor(255, 255, 255) : theme::kHandleLight);
        face.setColorAt(1, grabbed ? QColor(196, 210, 230) : theme::kHandleDark);
        painter.setPen(QPen(theme::kOutline, 1));
        painter.setBrush(face);
        painter.drawEllipse(centre, diameter / 2 - 0.5, diameter / 2 - 0.5);
        if (grabbed) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(theme::kAccent);
            painter.drawEllipse(centre, 2.5, 2.5);
        }
    };
}

Draw sign(bool plus, bool pressed) {
    return [=](QPainter& painter, QSizeF size) {
        const QPointF c(size.width() / 2, size.height() / 2);
        painter.setPen(
            QPen(pressed ? QColor(Qt::white) : QColor(150, 150, 154), 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(c - QPointF(4, 0), c + QPointF(4, 0));
        if (plus) painter.drawLine(c - QPointF(0, 4), c + QPointF(0, 4));
    };
}

} // namespace

void writeSliderSkins(const Write& write) {
    writeGroove(write, "adjuster_bar", QColor(20, 20, 22), QColor(40, 40, 44), QColor(12, 12, 14));
    writeGroove(write, "adjuster_bar_on", QColor(26, 26, 30), QColor(52, 52, 58), theme::kAccent.darker(160));
    write("adjuster_tumb", QSizeF(16, 16), knob(false, 14));
    write("adjuster_tumb_on", QSizeF(16, 16), knob(true, 14));
    write("minus", QSizeF(16, 16), sign(false, false));
    write("minus_on", QSizeF(16, 16), sign(false, true));
    write("plus", QSizeF(16, 16), sign(true, false));
    write("plus_on", QSizeF(16, 16), sign(true, true));

    // The value box: a small sunken well.
    const auto well = [](double x) -> Draw {
        return [x](QPainter& painter, QSizeF) {
            painter.translate(-x, 0);
            painter.setPen(QPen(QColor(12, 12, 14), 1));
            painter.setBrush(QColor(26, 26, 28));
            painter.drawRoundedRect(QRectF(0.5, 0.5, 29, 17), 3, 3);
        };
    };
    write("slider_input_left", QSizeF(4, 18), well(0));
    write("slider_input_center", QSizeF(1, 18), well(15));
    write("slider_input_right", QSizeF(4, 18), well(26));

    writeGroove(write, "jrv_adjuster_bar_back", QColor(20, 20, 22), QColor(40, 40, 44), QColor(12, 12, 14));
    write("jrv_adjuster_bar_color", QSizeF(4, kTrack), [](QPainter& painter, QSizeF size) {
        QLinearGradient shade(0, 0, 0, size.height());
        shade.setColorAt(0, theme::kAccent.lighter(115));
        shade.setColorAt(1, theme::kAccent.darker(115));
        painter.fillRect(QRectF(0, 0.5, size.width(), size.height() - 1), shade);
    });
    write("jrv_adjuster_tumb", QSizeF(16, 16), knob(false, 12));
}

} // namespace skins
