#include "platform/quartz/BasicAnimation.h"

namespace quartz {

namespace {

// The from and to values of type T, each falling back to `current`; false when a given value
// has another type (such an animation shows nothing).
template <typename T>
bool ends(const std::optional<AnimationValue>& from, const std::optional<AnimationValue>& to,
          const T& current, T& a, T& b) {
    a = current;
    b = current;
    if (from) {
        if (!std::holds_alternative<T>(*from)) return false;
        a = std::get<T>(*from);
    }
    if (to) {
        if (!std::holds_alternative<T>(*to)) return false;
        b = std::get<T>(*to);
    }
    return true;
}

template <typename T>
void animate(const std::optional<AnimationValue>& from, const std::optional<AnimationValue>& to,
             double progress, T& value) {
    T a, b;
    if (ends(from, to, value, a, b)) value = interpolate(a, b, progress);
}

} // namespace

void BasicAnimation::apply(double t, LayerValues& values, bool holdEnd) const {
    const std::optional<double> progress = progressAt(t, holdEnd);
    if (!progress) return;
    const double p = *progress;
    if (keyPath_ == "opacity") {
        animate(from_, to_, p, values.opacity);
    } else if (keyPath_ == "position") {
        animate(from_, to_, p, values.position);
    } else if (keyPath_ == "bounds") {
        animate(from_, to_, p, values.bounds);
    } else if (keyPath_ == "transform") {
        animate(from_, to_, p, values.transform);
    } else if (keyPath_ == "transform.rotation" || keyPath_ == "transform.rotation.z") {
        TransformParts parts = TransformParts::of(values.transform);
        double angle = parts.angle;
        animate(from_, to_, p, angle);
        parts.angle = angle;
        values.transform = parts.transform();
    }
}

} // namespace quartz
