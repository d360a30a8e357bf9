#pragma once
// LayerKit's virtual clock for one test: animations move only when the test advances it, and
// each advance runs the tick that reports completions. Back to the real clock afterwards.
#include "platform/quartz/Clock.h"

class VirtualClock {
  public:
    explicit VirtualClock(double start = 1000.0) { quartz::Clock::useVirtual(start); }
    ~VirtualClock() { quartz::Clock::useReal(); }
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    double now() const { return quartz::Clock::now(); }
    void advance(double seconds) { quartz::Clock::advance(seconds); }
};
