#include "controls/VQPopoverScrollView.h"

#include "controls/KXPopoverViewCell.h"

#include <QPainterPath>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>

VQPopoverScrollView::VQPopoverScrollView(QWidget* parent) : QScrollArea(parent), _header(new QWidget(this)) {
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setStyleSheet(QString("QScrollArea { border: 1px solid black; background: transparent; }"));
    setViewportMargins(0, kHeaderHeight, 0, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _header->setAutoFillBackground(true);
    QPalette palette = _header->palette();
    palette.setColor(QPalette::Window, KXPopoverViewCell::kRowColour);
    _header->setPalette(palette);
}

void VQPopoverScrollView::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void VQPopoverScrollView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    const QRect inside = contentsRect();
    _header->setGeometry(inside.x(), inside.y(), inside.width(), kHeaderHeight);
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(rect()), 10, 10);
    setMask(QRegion(rounded.toFillPolygon().toPolygon()));
}
