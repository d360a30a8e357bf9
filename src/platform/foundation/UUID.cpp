#include "platform/foundation/UUID.h"

#include <cstdint>
#include <random>

namespace foundation {

std::string makeUUIDString() {
    thread_local std::mt19937_64 engine{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    std::uint8_t bytes[16];
    for (int i = 0; i < 16; i += 8) {
        std::uint64_t r = engine();
        for (int k = 0; k < 8; ++k)
            bytes[i + k] = static_cast<std::uint8_t>(r >> (8 * k));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 0x0F];
    }
    return s;
}

} // namespace foundation
