#include "platform/services/KXServiceUtils.h"

#include <atomic>
#include <cmath>

namespace services {

namespace {
std::atomic<double> g_scale{1.0};
}

bool KXServiceUtils::isRetina() {
    return g_scale.load() > 1.0;
}

double KXServiceUtils::backingScaleFactor() {
    return g_scale.load();
}

void KXServiceUtils::setBackingScaleFactor(double scale) {
    if (std::isfinite(scale) && scale > 0) g_scale.store(scale);
}

float KXServiceUtils::systemVersion() {
    return 14.0f;
}

} // namespace services
