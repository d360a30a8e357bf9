#include "controls/KXBackgroundGradientView.h"

#include <QLinearGradient>
#include <QPainter>

void KXBackgroundGradientView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double w = width(), h = height(), cx = w / 2, cy = h / 2;
    // Each gradient runs from an edge to 0.2 of the size past the centre; padding beyond its ends
    // adds the edge's own colour outside the view or clear inside it, so filling the whole view is
    // the same as drawing before or after its ends.
    const QLineF runs[4] = {{0, cy, cx + 0.2 * w, cy},
                            {w, cy, cx - 0.2 * w, cy},
                            {cx, 0, cx, cy + 0.2 * h},
                            {cx, h, cx, cy - 0.2 * h}};
    for (const QLineF& run : runs) {
        QLinearGradient shade(run.p1(), run.p2());
        shade.setColorAt(0, QColor(0, 0, 0, 64));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(rect(), shade);
    }
}
