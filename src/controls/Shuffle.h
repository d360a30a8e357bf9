#pragma once
// In-place uniform shuffle from the front: element i swaps with one at or after it.
#include "kernels/Random.h"

#include <utility>
#include <vector>

template <typename T> void shuffle(std::vector<T>& items) {
    const size_t count = items.size();
    for (size_t i = 0; i + 1 < count; ++i) {
        const size_t j = i + size_t(Random::random()) % (count - i);
        std::swap(items[i], items[j]);
    }
}
