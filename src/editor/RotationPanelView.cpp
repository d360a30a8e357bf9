#include "editor/RotationPanelView.h"

#include "controls/KXButton.h"

#include <QLabel>
#include <QLineEdit>

namespace {

KXButton* button(QWidget* parent, const char* name, const char* title, QRect frame) {
    auto* b = new KXButton(parent);
    b->setObjectName(name);
    b->setTitle(title);
    b->setGeometry(frame);
    b->initialize();
    return b;
}

} // namespace

RotationPanelView::RotationPanelView(QWidget* parent) : VQView(parent) {
    setObjectName("rotationView");
    setType(1);
    resize(kWidth, kHeight);
    _title = new QLabel("Rotate", this);
    _title->setGeometry(16, 12, 168, 20);
    _title->setStyleSheet("color: rgb(230, 230, 232); font: bold 15px 'Helvetica';");

    _rotateLeftButton = button(this, "rotateLeftButton", "Left 90°", QRect(16, 42, 81, 26));
    _rotateRightButton = button(this, "rotateRightButton", "Right 90°", QRect(103, 42, 81, 26));
    _cropRotateLeftButton = button(this, "cropRotateLeftButton", "−", QRect(16, 80, 36, 26));
    _cropRotateRightButton = button(this, "cropRotateRightButton", "+", QRect(148, 80, 36, 26));
    _rotationDegrees = new QLineEdit(this);
    _rotationDegrees->setObjectName("rotationDegrees");
    _rotationDegrees->setGeometry(58, 80, 84, 26);
    _rotationDegrees->setAlignment(Qt::AlignCenter);
    _rotationDegrees->setStyleSheet("QLineEdit { color: rgb(230, 230, 232); background: rgb(30, 30, 33); "
                                    "border: 1px solid rgb(22, 22, 24);"
                                    " border-radius: 4px; font: 14px 'Helvetica'; }");
    _flipHorizontallyButton =
        button(this, "flipHorizontallyButton", "Flip Horizontal", QRect(16, 118, 168, 26));
    _flipVerticallyButton = button(this, "flipVerticallyButton", "Flip Vertical", QRect(16, 152, 168, 26));
}
