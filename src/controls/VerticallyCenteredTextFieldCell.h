#pragma once
// A text cell whose text sits centred vertically in its frame at its natural height.
#include <QLabel>

class VerticallyCenteredTextFieldCell : public QLabel {
  public:
    explicit VerticallyCenteredTextFieldCell(QWidget* parent = nullptr) : QLabel(parent) {
        setAlignment((alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    }
};
