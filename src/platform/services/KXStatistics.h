#pragma once
// Usage statistics of the services framework. Nothing is collected here: the calls stay so that
// the places that count an event are kept.
#include <string>

namespace services {

struct KXStatistics {
    static void start() {}
    static void useMask() {}
    static void useBatch() {}
    static void usingCrop() {}
    static void useFrame(const std::string&) {}
    static void imageWasSaved() {}
    static void useEffect(const std::string&) {}
    static void countEffectOnImage(int) {}
    static void addAdjustToEffect(const std::string&) {}
    static void shareTo(const std::string&) {}
    static void sharingWindowDidOpen() {}
};

} // namespace services
