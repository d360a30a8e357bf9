#include "controls/VQDialogButton.h"

#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QPainter>

VQDialogButton::VQDialogButton(QWidget* parent) : VQButton(parent) {
    QFont font("Helvetica");
    font.setPixelSize(13);
    setFont(font);
    validateImages();
}

void VQDialogButton::setButtonSizeType(int type) {
    _buttonSizeType = type;
    _imagesSize = QSize();
    validateImages();
}

void VQDialogButton::setTitle(const QString& title) {
    _title = title;
    setText(title);
    update();
}

void VQDialogButton::validateImages() {
    if (_imagesSize == size() || width() <= 0) return;
    _imagesSize = size();
    const bool big = _buttonSizeType != 0;
    const double h = big ? 45 : 31;
    const qreal ratio = devicePixelRatioF();
    const QImage left = imageNamedAdditional(big ? "btn_left_big" : "btn_left", ratio);
    const QImage centre = imageNamedAdditional(big ? "btn_center_big" : "btn_center", ratio);
    const QImage right = imageNamedAdditional(big ? "btn_right_big" : "btn_right", ratio);
    const auto drawn = [&](double opacity) {
        QImage image((QSizeF(width(), h) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setOpacity(opacity);
        TileDrawing::drawThreePartImage(painter, QRectF(0, 0, width(), h), left, centre, right);
        return image;
    };
    setImage(drawn(1.0));
    setPressedImage(drawn(0.6));
}

void VQDialogButton::paintEvent(QPaintEvent* event) {
    validateImages();
    VQButton::paintEvent(event);
    if (_title.isEmpty()) return;
    QPainter painter(this);
    if (!isEnabled()) painter.setOpacity(0.5);
    painter.setPen(Qt::white);
    painter.setFont(font());
    // Raised by the baseline offset of 2.
    painter.drawText(QRectF(0, -2, width(), height()), Qt::AlignCenter, _title);
}
