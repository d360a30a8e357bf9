#pragma once
// FNV-1a of a run's bytes: pins a picture in one number, so a test can tell that a faster path
// stored exactly the bytes the plain one did. Header only.
#include <cstdint>
#include <vector>

inline uint64_t checksum(const std::vector<uint8_t>& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}
