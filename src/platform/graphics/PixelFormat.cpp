#include "platform/graphics/PixelFormat.h"

namespace graphics {

bool PixelFormat::isValid() const {
    if (bitsPerComponent != 8 && bitsPerComponent != 16 && bitsPerComponent != 32) return false;
    int counts[5] = {};
    for (Channel ch : order) {
        if (uint8_t(ch) > uint8_t(Channel::X)) return false;
        ++counts[uint8_t(ch)];
    }
    const int alphaSlots = counts[uint8_t(Channel::A)] + counts[uint8_t(Channel::X)];
    if (counts[0] != 1 || counts[1] != 1 || counts[2] != 1 || alphaSlots != 1) return false;
    return !premultiplied || hasAlpha();
}

bool PixelFormat::hasAlpha() const {
    return indexOf(Channel::A) >= 0;
}

int PixelFormat::indexOf(Channel ch) const {
    for (int i = 0; i < 4; ++i)
        if (order[size_t(i)] == ch) return i;
    return -1;
}

} // namespace graphics
