#pragma once
// The rotate tool's panel: quarter turns, fine turns either side of the angle field, and the two
// flips. The editor wires the controls; the panel only lays them out.
#include "controls/VQView.h"

class KXButton;
class QLabel;
class QLineEdit;

class RotationPanelView : public VQView {
  public:
    static constexpr int kWidth = 200, kHeight = 196;

    explicit RotationPanelView(QWidget* parent = nullptr);

    KXButton* rotateLeftButton() const { return _rotateLeftButton; }
    KXButton* rotateRightButton() const { return _rotateRightButton; }
    KXButton* cropRotateLeftButton() const { return _cropRotateLeftButton; }
    KXButton* cropRotateRightButton() const { return _cropRotateRightButton; }
    KXButton* flipHorizontallyButton() const { return _flipHorizontallyButton; }
    KXButton* flipVerticallyButton() const { return _flipVerticallyButton; }
    QLineEdit* rotationDegrees() const { return _rotationDegrees; }

  private:
    QLabel* _title = nullptr;
    KXButton* _rotateLeftButton = nullptr;
    KXButton* _rotateRightButton = nullptr;
    KXButton* _cropRotateLeftButton = nullptr;
    KXButton* _cropRotateRightButton = nullptr;
    KXButton* _flipHorizontallyButton = nullptr;
    KXButton* _flipVerticallyButton = nullptr;
    QLineEdit* _rotationDegrees = nullptr;
};
