#pragma once
// The crop tool's panel: the proportions button that opens the list, the lock with its stripes
// joining the two size fields, and the apply-crop button. The editor wires the controls.
#include "controls/VQView.h"

class KXButton;
class QLabel;
class VQTextView;

class CropToolbarView : public VQView {
  public:
    static constexpr int kWidth = 200, kHeight = 184;

    explicit CropToolbarView(QWidget* parent = nullptr);

    KXButton* proportionsComboBox() const { return _proportionsComboBox; }
    KXButton* lockButton() const { return _lockButton; }
    QWidget* lockOnStripes() const { return _lockOnStripes; }
    VQTextView* cropResolutionX() const { return _cropResolutionX; }
    VQTextView* cropResolutionY() const { return _cropResolutionY; }
    KXButton* applyCropButton() const { return _applyCropButton; }

  private:
    QLabel* _title = nullptr;
    KXButton* _proportionsComboBox = nullptr;
    KXButton* _lockButton = nullptr;
    QWidget* _lockOnStripes = nullptr;
    VQTextView* _cropResolutionX = nullptr;
    VQTextView* _cropResolutionY = nullptr;
    KXButton* _applyCropButton = nullptr;
};
