#pragma once
// The top bar of the editor's window; drawn exactly as its base.
#include "controls/KXTopBarView.h"

class KXJRVTopBarView : public KXTopBarView {
  public:
    explicit KXJRVTopBarView(QWidget* parent = nullptr) : KXTopBarView(parent) {}
    static KXJRVTopBarView* topBarViewWithOwner(QWidget* owner);
};
