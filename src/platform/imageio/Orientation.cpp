#include "platform/imageio/Orientation.h"

#include <cstring>
#include <new>

namespace imageio {

graphics::ImagePtr applyOrientation(const graphics::ImagePtr& image, int orientation) {
    if (!image || orientation < 2 || orientation > 8 || image->format().bitsPerComponent != 8) return image;
    const int w = image->width(), h = image->height();
    const bool swaps = orientation >= 5; // 5-8 turn by a quarter
    const int ow = swaps ? h : w, oh = swaps ? w : h;
    const size_t rowBytes = size_t(ow) * 4;
    auto* out = new (std::nothrow) uint8_t[rowBytes * size_t(oh)];
    if (!out) return nullptr;
    for (int dy = 0; dy < oh; ++dy) {
        for (int dx = 0; dx < ow; ++dx) {
            int sx = dx, sy = dy;
            switch (orientation) {
            case 2:
                sx = w - 1 - dx;
                break;
            case 3:
                sx = w - 1 - dx;
                sy = h - 1 - dy;
                break;
            case 4:
                sy = h - 1 - dy;
                break;
            case 5:
                sx = dy;
                sy = dx;
                break;
            case 6:
                sx = dy;
                sy = h - 1 - dx;
                break;
            case 7:
                sx = w - 1 - dy;
                sy = h - 1 - dx;
                break;
            case 8:
                sx = w - 1 - dy;
                sy = dx;
                break;
            }
            std::memcpy(out + size_t(dy) * rowBytes + size_t(dx) * 4, image->row(sy) + size_t(sx) * 4, 4);
        }
    }
    auto result = graphics::Image::adopt(out, ow, oh, rowBytes, image->format(),
                                         [](void* p) { delete[] static_cast<uint8_t*>(p); });
    if (!result) delete[] out;
    return result;
}

} // namespace imageio
