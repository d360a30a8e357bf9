#pragma once
// What a slider's value box asks of its slider and tells it.
#include <cstdint>

class KXSliderValueFieldDelegate {
  public:
    virtual ~KXSliderValueFieldDelegate() = default;
    virtual double maxValue() const = 0;
    virtual double minValue() const = 0;
    virtual double curentValue() const = 0;
    // The text's integer value after every change (a percent or a real value, as the slider shows).
    virtual void textFieldValueWasChangedTo(int64_t value) = 0;
    // The text view committed its value.
    virtual void textFieldValueChangingWasFinished(int64_t value) = 0;
    virtual uint64_t maxValueRange() const = 0;
    virtual bool isShowRealValue() const = 0;
    virtual bool isShowNegativeValue() const = 0;
};
