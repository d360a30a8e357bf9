// Core Image hooks of every effect class. A class whose kernel source ships gets a filter named
// after it at init() and every run goes through the kernel; any other class keeps its per-pixel
// or custom hooks.
#include "engine/PostProcess.h"

#include "engine/PP_CIFilter.h"
#include "engine/PostProcessParameter.h"
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Filter.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/Rect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Colours unchanged, alpha forced to 1: the result is opaque whatever the kernel wrote.
coreimage::ImagePtr opaque(const coreimage::ImagePtr& image) {
    const coreimage::FilterPtr matrix = coreimage::Filter::filterWithName("CIColorMatrix");
    if (!matrix) return nullptr;
    matrix->setValue("inputImage", image);
    matrix->setValue("inputRVector", coreimage::Vector(1, 0, 0, 0));
    matrix->setValue("inputGVector", coreimage::Vector(0, 1, 0, 0));
    matrix->setValue("inputBVector", coreimage::Vector(0, 0, 1, 0));
    matrix->setValue("inputAVector", coreimage::Vector(0, 0, 0, 0));
    matrix->setValue("inputBiasVector", coreimage::Vector(0, 0, 0, 1));
    return coreimage::asImage(matrix->value("outputImage"));
}

const graphics::PixelFormat kOpaqueRGB{
    8, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::X}, false};

} // namespace

void PostProcess::ci_init() {
    m_ci_filter = ci_get_filter();
}

std::shared_ptr<coreimage::Filter> PostProcess::ci_get_filter() {
    const std::string name = class_name();
    if (!PP_CIFilter::registerFilter(name)) return nullptr;
    std::shared_ptr<coreimage::Filter> filter = ci_filter_with_name(name);
    // A resource that vanished since registration leaves the class on its other hooks.
    m_ci_present = filter != nullptr;
    return filter;
}

std::shared_ptr<coreimage::Filter> PostProcess::ci_filter_with_name(const std::string& name) {
    return coreimage::Filter::filterWithName(name);
}

bool PostProcess::has_ci_process_function() {
    return m_ci_present;
}

void PostProcess::ci_dealloc() {
    m_ci_filter.reset();
}

// Through the getters, so a parameter nobody asked for yet gives its default.
void PostProcess::ci_filter_set_params() {
    if (!m_ci_filter) return;
    const auto number = [](PostProcessParameter* p) { return p ? double(float(p->value())) : 0.0; };
    m_ci_filter->setValue("inputParam1", number(param_1()));
    m_ci_filter->setValue("inputParam2", number(param_2()));
    m_ci_filter->setValue("inputParam3", 0.0);
}

// At the image's pixel size; a preview is brought inside the preview size with its aspect kept.
graphics::ImagePtr PostProcess::CGImageCreateWithNSImage(const graphics::ImagePtr& image) {
    if (!image) return nullptr;
    int32_t w = image->width(), h = image->height();
    const graphics::Size limit = getPreviewSize();
    if (m_preview_mode && (w > limit.width || h > limit.height)) {
        // The side that meets its limit first takes it exactly; the other follows, rounded.
        if (limit.width * h <= limit.height * w) {
            h = std::max<int32_t>(1, int32_t(std::lround(double(h) * limit.width / double(w))));
            w = int32_t(limit.width);
        } else {
            w = std::max<int32_t>(1, int32_t(std::lround(double(w) * limit.height / double(h))));
            h = int32_t(limit.height);
        }
    }
    const size_t rowBytes = size_t(w) * 4;
    auto* pixels = static_cast<uint8_t*>(std::calloc(rowBytes, size_t(h)));
    if (!pixels) return nullptr;
    std::unique_ptr<graphics::BitmapContext> ctx = graphics::BitmapContext::create(
        pixels, w, h, 8, rowBytes, graphics::kBitmapInfoLittleEndianSkipFirst);
    if (!ctx) {
        std::free(pixels);
        return nullptr;
    }
    graphics::drawImage(*ctx, graphics::Rect(0, 0, w, h), image);
    const graphics::PixelFormat format = ctx->format();
    ctx.reset();
    graphics::ImagePtr bitmap =
        graphics::Image::adopt(pixels, w, h, rowBytes, format, [](void* p) { std::free(p); });
    if (!bitmap) std::free(pixels);
    return bitmap;
}

// Rendered here, on the run's thread, rather than when the result is first drawn.
graphics::ImagePtr PostProcess::ci_process_function() {
    if (!m_ci_filter) return nullptr;
    const graphics::ImagePtr source = CGImageCreateWithNSImage(m_img);
    const coreimage::ImagePtr input = coreimage::Image::imageWithCGImage(source);
    if (!input) return nullptr;
    m_ci_filter->setValue("inputImage", input);
    ci_filter_set_params();
    const coreimage::ImagePtr output = coreimage::asImage(m_ci_filter->value("outputImage"));
    // The filter lives as long as the effect; it need not keep the picture alive.
    m_ci_filter->setValue("inputImage", {});
    if (!output) return nullptr;
    graphics::ImagePtr result =
        coreimage::Context().createCGImage(opaque(output), input->extent(), kOpaqueRGB);
    if (!result) return nullptr;
    // Shown at the source's scale: a high-density source gives a high-density result.
    const graphics::Size points = m_img->pointSize(), pixels = m_img->pixelSize();
    if (points == pixels) return result;
    return result->withPointSize(
        {result->width() * points.width / pixels.width, result->height() * points.height / pixels.height});
}
