#pragma once
// Pacing of an animation: a cubic Bézier from (0, 0) to (1, 1) through two control points,
// mapping elapsed fraction x to progress y.
namespace quartz {

struct TimingFunction {
    double c1x = 0, c1y = 0, c2x = 1, c2y = 1;

    static TimingFunction linear() { return {0, 0, 1, 1}; }
    static TimingFunction easeInEaseOut() { return {0.42, 0, 0.58, 1}; }

    // Progress at elapsed fraction x, clamped to [0, 1].
    double valueAt(double x) const;

    friend bool operator==(const TimingFunction&, const TimingFunction&) = default;
};

} // namespace quartz
