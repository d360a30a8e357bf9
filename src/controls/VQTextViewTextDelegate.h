#pragma once
// What a VQTextView tells the object that owns its text.
#include "controls/VQTextViewRules.h"

#include <optional>

class VQTextView;

class VQTextViewTextDelegate {
  public:
    virtual ~VQTextViewTextDelegate() = default;
    // After every change of the text.
    virtual void textDidChangeInTextView(VQTextView* textView) = 0;
    // Optional: the bounds a slider's value box validates against, asked when the box takes focus.
    virtual std::optional<VQTextViewSliderParams> getParamsDictionaryForSlider() { return std::nullopt; }
};
