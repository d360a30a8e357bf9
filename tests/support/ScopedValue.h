#pragma once

// A process-wide variable set for a test's lifetime and given its old value back at the end, also
// when an assertion leaves the test early.

#include <utility>

template <class T> class ScopedValue {
  public:
    ScopedValue(T& variable, T value) : variable_(variable), saved_(variable) {
        variable_ = std::move(value);
    }
    ~ScopedValue() { variable_ = std::move(saved_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

    void set(T value) { variable_ = std::move(value); }

  private:
    T& variable_;
    T saved_;
};
