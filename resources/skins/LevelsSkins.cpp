// The levels control's handle: an upward wedge pointing at the histogram bin it marks.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

void writeLevelsSkins(const Write& write) {
    write("levels_slider", QSizeF(12, 14), [](QPainter& painter, QSizeF size) {
        const double w = size.width(), h = size.height();
        QPainterPath wedge;
        wedge.moveTo(w / 2, 0.75);
        wedge.lineTo(w - 0.75, h * 0.55);
        wedge.lineTo(w - 0.75, h - 0.75);
        wedge.lineTo(0.75, h - 0.75);
        wedge.lineTo(0.75, h * 0.55);
        wedge.closeSubpath();
        QLinearGradient shade(0, 0, 0, h);
        shade.setColorAt(0, theme::kHandleLight);
        shade.setColorAt(1, theme::kHandleDark);
        painter.setPen(QPen(theme::kOutline, 1));
        painter.setBrush(shade);
        painter.drawPath(wedge);
    });
}

} // namespace skins
