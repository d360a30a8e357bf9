#include "kernels/Random.h"

#include <chrono>
#include <random>

void Random::seed_unpredictably() {
    uint64_t value = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        value ^= (uint64_t(device()) << 32) ^ device();
    } catch (...) {
        // No entropy source: the clock and this thread's state address still differ per run.
        value ^= uint64_t(reinterpret_cast<uintptr_t>(&state_));
    }
    seed(value);
}
