#include "controls/VQView.h"

#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QMouseEvent>
#include <QPainter>

VQView::VQView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
}

void VQView::setType(int type) {
    if (type == _type) return;
    _type = type;
    update();
}

void VQView::setBackgroundColor(const QColor& colour) {
    _backgroundColor = colour;
    update();
}

std::array<std::string, 9> VQView::artworkNames(int type) {
    const auto grid = [](const std::string& prefix) -> std::array<std::string, 9> {
        return {prefix + "left_top",    prefix + "center_top",    prefix + "right_top",
                prefix + "left_center", prefix + "center_center", prefix + "right_center",
                prefix + "left_bottom", prefix + "center_bottom", prefix + "right_bottom"};
    };
    // These sets have no right-hand pieces: the right column repeats the centre.
    const auto noRight = [](std::string top, std::string topCentre, std::string left, std::string centre,
                            std::string bottomLeft, std::string bottom) -> std::array<std::string, 9> {
        return {top, topCentre, topCentre, left, centre, centre, bottomLeft, bottom, bottom};
    };
    switch (type) {
    case 1:
        return noRight("adj_left_top", "adj_center_top", "adj_left_center", "adj_center_center",
                       "adj_left_bottom", "adj_center_bottm");
    case 2:
        return grid("dialog_");
    case 3:
        return grid("jrv_dialog_");
    case 4:
        return noRight("adj_left_top_s", "adj_center_top_s", "adj_left_center", "adj_center_center",
                       "adj_left_bottom", "adj_center_bottm");
    case 5:
        return noRight("drawing_left_center", "drawing_center_center", "drawing_left_center",
                       "drawing_center_center", "drawing_left_center", "drawing_center_center");
    default:
        return {};
    }
}

void VQView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (_backgroundColor.isValid()) painter.fillRect(rect(), _backgroundColor);
    const std::array<std::string, 9> names = artworkNames(_type);
    if (names[0].empty()) return;
    QImage tiles[9];
    for (int i = 0; i < 9; ++i)
        tiles[i] = imageNamedAdditional(names[i], devicePixelRatioF());
    TileDrawing::drawNinePartImage(painter, QRectF(rect()), tiles);
}

void VQView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void VQView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}
void VQView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
