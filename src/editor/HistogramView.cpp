#include "editor/HistogramView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

void HistogramView::setHistogram(Table table) {
    _histogram = std::move(table);
    update();
}

void HistogramView::setOverlayForLeftPosition(float left, float right) {
    _overlayPositionLeft = std::clamp(left, 5.0f, 254.0f);
    _overlayPositionRight = std::clamp(right, 45.0f, 294.0f);
    update();
}

uint64_t HistogramView::peak() const {
    uint64_t peak = 0;
    for (const Table* table : {&_redHistogram, &_greenHistogram, &_blueHistogram}) {
        const size_t end = std::min(_histogram.size(), table->size());
        for (size_t i = 1; i < end; ++i)
            peak = std::max(peak, (*table)[i]);
    }
    return peak;
}

void HistogramView::paintEvent(QPaintEvent*) {
    const uint64_t top = peak();
    if (top == 0) return; // nothing outside bin 0: no curve to scale
    const double w = width(), h = height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::pair<const Table*, QColor> curves[] = {
        {&_redHistogram, QColor(208, 45, 53)},
        {&_greenHistogram, QColor(0, 146, 123)},
        {&_blueHistogram, QColor(17, 87, 132)},
    };
    for (const auto& [table, colour] : curves) {
        QPainterPath path(QPointF(0, h));
        for (size_t i = 0; i < table->size(); ++i) {
            // Bin 0 may exceed the peak: keep it inside the view.
            const double y = std::max(0.0, h - double((*table)[i]) * h / double(top));
            path.lineTo(double(i) * w / 255.0, y);
        }
        path.lineTo(w, h);
        path.closeSubpath();
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        painter.drawPath(path);
    }
}
