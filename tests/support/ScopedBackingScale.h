#pragma once

// The screen's backing scale factor changed for a test's lifetime and put back at the end, also
// when an assertion leaves the test early.

#include "platform/services/KXServiceUtils.h"

class ScopedBackingScale {
  public:
    explicit ScopedBackingScale(double scale) : saved_(services::KXServiceUtils::backingScaleFactor()) {
        set(scale);
    }
    ~ScopedBackingScale() { set(saved_); }
    ScopedBackingScale(const ScopedBackingScale&) = delete;
    ScopedBackingScale& operator=(const ScopedBackingScale&) = delete;

    void set(double scale) { services::KXServiceUtils::setBackingScaleFactor(scale); }

  private:
    double saved_;
};
