#include "platform/quartz/Clock.h"

#include "platform/quartz/Animator.h"

#include <chrono>

namespace quartz {

namespace {
bool virtualClock = false;
double virtualNow = 0;
} // namespace

double Clock::now() {
    if (virtualClock) return virtualNow;
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Clock::useVirtual(double start) {
    virtualClock = true;
    virtualNow = start;
}

void Clock::useReal() {
    virtualClock = false;
}

bool Clock::isVirtual() {
    return virtualClock;
}

void Clock::advance(double seconds) {
    if (!virtualClock) return;
    if (seconds > 0) virtualNow += seconds;
    Animator::shared().tick();
}

} // namespace quartz
