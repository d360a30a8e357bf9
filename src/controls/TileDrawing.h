#pragma once
// The kit's two ways of stretching a skin over a control of any size. Rectangles are in the
// painter's own (Qt) coordinates; tiles are drawn at their size in points.
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace TileDrawing {

// Left and right caps at their own width, the centre stretched between them; all three at their
// own height, centred vertically in the rectangle. Missing tiles leave their place empty.
void drawThreePartImage(QPainter& painter, const QRectF& rect, const QImage& left, const QImage& centre,
                        const QImage& right);

// The same standing up: top and bottom caps at their own height, the centre stretched between
// them; all three at their own width, centred horizontally.
void drawVerticalThreePartImage(QPainter& painter, const QRectF& rect, const QImage& top,
                                const QImage& centre, const QImage& bottom);

// Corners at their own size, edges stretched along their length, the centre stretched both ways.
// Tiles in reading order: top-left, top, top-right, left, centre, right, bottom-left, bottom,
// bottom-right.
void drawNinePartImage(QPainter& painter, const QRectF& rect, const QImage (&tiles)[9]);

// Points a picture covers on screen.
QSizeF pointSize(const QImage& image);

} // namespace TileDrawing
