#pragma once
// A share of the progress bar: a run's own percent (0 to 100) maps onto [begin, end) of the
// percent of whatever holds it. Each level truncates toward zero, so a step nested in a preset
// nested in a render with a frame shows what the bar has always shown, level by level.

#include <cmath>
#include <cstddef>
#include <cstdint>

class ProgressSpan {
  public:
    // The whole bar.
    constexpr ProgressSpan() = default;
    constexpr ProgressSpan(double begin, double end) : _begin(begin), _width(end - begin) {}

    // The i-th of n equal shares; the share is taken in single precision, which decides where
    // truncation falls (the last report of the last of three steps is 99, not 100).
    ProgressSpan child(size_t i, size_t n) const {
        const float share = float(_width) / float(n);
        ProgressSpan span;
        span._begin = _begin + double(i) * double(share);
        span._width = double(share);
        return span;
    }
    // The holder's percent for percent of this span.
    int64_t at(double percent) const { return int64_t(std::trunc(percent * _width / 100.0 + _begin)); }

  private:
    double _begin = 0.0;
    double _width = 100.0;
};
