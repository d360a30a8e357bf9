#include "controls/PanelLabel.h"

#include <QLabel>

QLabel* panelLabel(QWidget* parent, QRect frame, int pixelSize, QColor colour, Qt::Alignment alignment) {
    auto* l = new QLabel(parent);
    l->setGeometry(frame);
    QFont font("Helvetica Neue");
    font.setPixelSize(pixelSize);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, colour);
    l->setPalette(palette);
    l->setAlignment(alignment | Qt::AlignVCenter);
    return l;
}
