#include "platform/quartz/Animation.h"

namespace quartz {

std::optional<double> Animation::progressAt(double t, bool holdEnd) const {
    if (t < 0) return std::nullopt;
    if (t >= duration_ || duration_ <= 0) {
        if (fillsForwards_ || holdEnd) return 1.0;
        return std::nullopt;
    }
    return timing_.valueAt(t / duration_);
}

} // namespace quartz
