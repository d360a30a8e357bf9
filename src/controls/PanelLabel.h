#pragma once
// A plain text line of the floating panels: the panel font at a pixel size, one colour, vertically
// centred in its frame.
#include <QColor>
#include <QRect>

class QLabel;
class QWidget;

QLabel* panelLabel(QWidget* parent, QRect frame, int pixelSize, QColor colour,
                   Qt::Alignment alignment = Qt::AlignLeft);
