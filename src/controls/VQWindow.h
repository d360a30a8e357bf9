#pragma once
// A window with the top bar's pattern as its background.
#include "controls/KXAbstractDimmWindow.h"

class VQWindow : public KXAbstractDimmWindow {
  public:
    explicit VQWindow(QWidget* parent = nullptr);
};
