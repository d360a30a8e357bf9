#include "controls/VQDialogView.h"

#include <QKeyEvent>
#include <QPainter>

VQDialogView::VQDialogView(QWidget* parent) : QWidget(parent), _dialogCenterView(new VQView(this)) {
    _dialogCenterView->setGeometry(0, 0, kCenterWidth, kCenterHeight);
    setFocusPolicy(Qt::StrongFocus);
}

void VQDialogView::setBackgroundColor(const QColor& colour) {
    _backgroundColor = colour;
    update();
}

void VQDialogView::paintEvent(QPaintEvent*) {
    if (_backgroundColor.alpha() == 0) return;
    QPainter(this).fillRect(rect(), _backgroundColor);
}

void VQDialogView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void VQDialogView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}
void VQDialogView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
void VQDialogView::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void VQDialogView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool equivalent = key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (equivalent && keyEquivalent && keyEquivalent(key)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
