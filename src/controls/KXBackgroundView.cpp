#include "controls/KXBackgroundView.h"

#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

void KXBackgroundView::setBackgroundColor(const QColor& colour) {
    _backgroundColor = colour;
    update();
}

void KXBackgroundView::setBackgroundImage(const QImage& image) {
    _backgroundImage = image;
    update();
}

void KXBackgroundView::setPatternImageName(const std::string& name) {
    _patternImageName = name;
    update();
}

void KXBackgroundView::setContentMode(int mode) {
    if (mode == _contentMode) return;
    _contentMode = mode;
    if (!_backgroundImage.isNull()) update();
    emit contentModeChanged(mode);
}

QRectF KXBackgroundView::imageRect(QSizeF image) const {
    const double bw = width(), bh = height();
    QSizeF drawn(bw, bh);
    if ((_contentMode == kFit || _contentMode == kFill) && image.width() > 0 && image.height() > 0) {
        const double sx = bw / image.width(), sy = bh / image.height();
        const double scale = _contentMode == kFit ? std::min(sx, sy) : std::max(sx, sy);
        drawn = image * scale;
    }
    const double x = std::round((bw - drawn.width()) / 2), yUp = std::round((bh - drawn.height()) / 2);
    return QRectF(QPointF(x, bh - yUp - drawn.height()), drawn);
}

void KXBackgroundView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (!_backgroundColor.isValid() && !_patternImageName.empty()) {
        const QImage tile = imageNamedAdditional(_patternImageName, devicePixelRatioF());
        if (!tile.isNull()) {
            // The pattern's rows start at the bottom edge of the view or of the window, as in y-up
            // drawing.
            QPointF origin(0, height());
            if (!_drawPatternToImage && window() != this) {
                const QPoint inWindow = mapTo(window(), QPoint(0, 0));
                origin = QPointF(-inWindow.x(), window()->height() - inWindow.y());
            }
            painter.save();
            painter.setBrushOrigin(origin);
            painter.fillRect(dirty, QBrush(tile));
            painter.restore();
        }
    }
    if (_backgroundColor.isValid()) painter.fillRect(dirty, _backgroundColor);
    if (_drawsSelectionFrame) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(201, 174, 110), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
        painter.restore();
    }
    if (_backgroundImage.isNull() && !_backgroundImageName.empty())
        _backgroundImage = imageNamedAdditional(_backgroundImageName, devicePixelRatioF());
    if (!_backgroundImage.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(imageRect(TileDrawing::pointSize(_backgroundImage)), _backgroundImage);
    }
}

void KXBackgroundView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, event->position().toPoint(),
                               event->globalPosition().toPoint(), event->modifiers());
        QApplication::sendEvent(this, &menu); // the widget's own menu policy decides
        return;
    }
    if (!_canMoveWindow) return;
    if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
}
