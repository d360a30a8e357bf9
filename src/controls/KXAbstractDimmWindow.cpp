#include "controls/KXAbstractDimmWindow.h"

#include <QPaintEvent>
#include <QPainter>

void KXAbstractDimmWindow::setPatternImage(const QImage& image) {
    _patternImage = image;
    update();
}

void KXAbstractDimmWindow::setDimmed(bool on) {
    _dimmed = on;
    update();
}

void KXAbstractDimmWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!_patternImage.isNull()) {
        painter.setBrushOrigin(QPointF(0, height())); // rows start at the bottom edge
        painter.fillRect(event->rect(), QBrush(_patternImage));
    }
    if (_dimmed) painter.fillRect(event->rect(), QColor(0, 0, 0, 102));
}
