#pragma once
// The one clock of every animation. Programs read the steady real clock; tests switch to a
// virtual clock and advance it by hand, which also runs the animation tick that advance causes
// (completions, delegate calls), so a test sees them at once and in order.
namespace quartz {

class Clock {
  public:
    // Seconds on the current clock.
    static double now();

    // Switches to a virtual clock that starts at `start` and moves only when advanced.
    static void useVirtual(double start = 1000.0);
    static void useReal();
    static bool isVirtual();

    // Moves the virtual clock on (negative steps are ignored) and runs one animation tick.
    // Does nothing on the real clock.
    static void advance(double seconds);
};

} // namespace quartz
