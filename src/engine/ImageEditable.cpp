#include "engine/ImageEditable.h"

#include "platform/foundation/Bundle.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/imageio/NamedImage.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

namespace {

// Once per name: effects load their overlays again for every preview.
void report_missing(const std::string& name) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (reported.insert(name).second) std::fprintf(stderr, "Missing image resource: %s\n", name.c_str());
}

} // namespace

graphics::ImagePtr ImageEditable::checked(graphics::ImagePtr loaded) {
    if (!loaded && imageio::lastLoadRanOutOfMemory()) throw std::bad_alloc();
    return loaded;
}

graphics::ImagePtr ImageEditable::overlay_picture(const std::string& name) {
    graphics::ImagePtr image =
        checked(imageio::imageWithContentsOfFile(foundation::Bundle::pathForImageResource(name)));
    if (!image) report_missing(name);
    return image;
}

std::pair<int32_t, int32_t> ImageEditable::overlay_size(const graphics::ImagePtr& picture, int32_t w,
                                                        int32_t h) {
    if (w > h && picture && picture->width() > picture->height()) return {w, h};
    return {h, w};
}

std::unique_ptr<ImageEditable> ImageEditable::setup_overlay(const std::string& name, int32_t w, int32_t h) {
    const graphics::ImagePtr image = overlay_picture(name);
    const auto [width, height] = overlay_size(image, w, h);
    return std::make_unique<ImageEditable>(image, width, height);
}

std::unique_ptr<ImageEditable> ImageEditable::setup_overlay_e(const std::string& name) {
    return std::make_unique<ImageEditable>(overlay_picture(name));
}

texture_t* tex_create_from_file(const std::string& name) {
    const graphics::ImagePtr image = ImageEditable::checked(imageio::imageNamedAdditional(name));
    if (!image) report_missing(name);
    const ImageEditable texture(image);
    texture_t* copy = tex_create_copy(texture.width(), texture.height(), texture.img_data(), 4);
    if (!copy) throw std::bad_alloc();
    return copy;
}

bool ImageEditable::allocate(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    m_img_data.reset(new uint8_t[size_t(width) * size_t(height) * 4]);
    m_width = width;
    m_height = height;
    return true;
}

// In bands across threads: on a full-size buffer the first touch of each fresh page is most of
// the cost.
void ImageEditable::clear(uint8_t value) {
    const size_t row = bytesPerRow();
    graphics::parallelRows(m_height, size_t(m_width), [&](int32_t y0, int32_t y1) {
        std::memset(m_img_data.get() + size_t(y0) * row, value, size_t(y1 - y0) * row);
    });
}

void ImageEditable::draw(const graphics::ImagePtr& image) {
    auto ctx = graphics::BitmapContext::create(m_img_data.get(), m_width, m_height, 8, bytesPerRow(),
                                               graphics::kBitmapInfoBigEndianSkipLast);
    // The buffer is sound: only memory can fail the context or the draw.
    if (!ctx || !graphics::drawImage(*ctx, graphics::Rect(0, 0, m_width, m_height), image))
        throw std::bad_alloc();
}

ImageEditable::ImageEditable(const graphics::ImagePtr& image, uint8_t background) {
    if (!image || !allocate(image->width(), image->height())) return;
    // Cleared so that a transparent picture composites over the background, not over stale memory.
    clear(background);
    draw(image);
}

ImageEditable::ImageEditable(const graphics::ImagePtr& image, int32_t width, int32_t height) {
    if (!allocate(width, height)) return;
    clear(1);
    if (image) draw(image);
}
