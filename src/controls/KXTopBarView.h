#pragma once
// The editor's top bar: a background view built by its own interface builder.
#include "controls/KXBackgroundView.h"

class KXTopBarView : public KXBackgroundView {
  public:
    explicit KXTopBarView(QWidget* parent = nullptr) : KXBackgroundView(parent) {}
    // A new top bar as its interface file has it, a child of `owner`.
    static KXTopBarView* topBarViewWithOwner(QWidget* owner);
};
