#include "engine/ImageEditable.h"

#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"

#include <cstring>
#include <new>

bool ImageEditable::allocate(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    m_img_data.reset(new (std::nothrow) uint8_t[bytes]);
    if (!m_img_data) return false;
    m_width = width;
    m_height = height;
    return true;
}

void ImageEditable::draw(const graphics::ImagePtr& image) {
    auto ctx = graphics::BitmapContext::create(m_img_data.get(), m_width, m_height, 8, bytesPerRow(),
                                               graphics::kBitmapInfoBigEndianSkipLast);
    if (ctx) graphics::drawImage(*ctx, graphics::Rect(0, 0, m_width, m_height), image);
}

ImageEditable::ImageEditable(const graphics::ImagePtr& image) {
    if (!image || !allocate(image->width(), image->height())) return;
    // Cleared so that a transparent picture composites over black, not over stale memory.
    std::memset(m_img_data.get(), 0, size_t(m_height) * bytesPerRow());
    draw(image);
}

ImageEditable::ImageEditable(const graphics::ImagePtr& image, int32_t width, int32_t height) {
    if (!allocate(width, height)) return;
    std::memset(m_img_data.get(), 1, size_t(m_height) * bytesPerRow());
    if (image) draw(image);
}
