#include "engine/PostProcess.h"

#include "engine/PostProcessParameter.h"
#include "engine/effects/sketch/Sketch.h"
#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/Drawing.h"
#include "platform/graphics/Rect.h"
#include "platform/services/KXServiceUtils.h"

#include <cmath>
#include <cstdlib>

namespace {

// Point size half the pixel size on high-density screens, as every image made here is shown.
graphics::ImagePtr forScreen(graphics::ImagePtr image) {
    if (!image || !services::KXServiceUtils::isRetina()) return image;
    return image->withPointSize({double(image->width() / 2), double(image->height() / 2)});
}

// floorf of the step converted to single precision; a step of 0 samples every pixel.
int32_t previewStep(double s) {
    const int32_t step = int32_t(std::floor(float(s)));
    return step == 0 ? 1 : step;
}

int32_t stepsToCover(int32_t size, int32_t step) {
    return int32_t(std::ceil(double(size) / double(step)));
}

// One spare column and row beyond the preview size.
uint8_t* allocatePreview(int32_t w, int32_t h) {
    return static_cast<uint8_t*>(std::malloc((size_t(w) + 1) * 4 * (size_t(h) + 1)));
}

} // namespace

// ---- Class side ----

bool PostProcess::global_pre_init(const graphics::ImagePtr& image) {
    if (g_global_pre_inited) return true;
    if (!image) return false;
    const int32_t w = image->width();
    const int32_t h = image->height();
    std::unique_ptr<graphics::BitmapContext> ctx = CreateARGBBitmapContext(size_t(w), size_t(h));
    if (!ctx) return false;
    graphics::drawImage(*ctx, graphics::Rect(0, 0, w, h), image);
    uint8_t* data = ctx->data();
    if (!data) return false;

    const graphics::Size target = getPreviewSize();
    const int32_t ratio = h / w;
    const double s =
        target.height / target.width > ratio ? double(h) / target.height : double(w) / target.width;
    const int32_t step = previewStep(s);
    const int32_t previewW = stepsToCover(w, step);
    const int32_t previewH = stepsToCover(h, step);

    const int32_t smallStep = previewStep(ratio > 0 ? double(w) / 450.0 : double(h) / 400.0);
    const int32_t smallW = stepsToCover(w, smallStep);
    const int32_t smallH = stepsToCover(h, smallStep);

    uint8_t* preview = allocatePreview(previewW, previewH);
    uint8_t* small = allocatePreview(smallW, smallH);
    if (!preview || !small) {
        std::free(preview);
        std::free(small);
        ctx.reset();
        std::free(data);
        return false;
    }

    gp_data = data;
    g_width = w;
    g_height = h;
    g_bpp = 32;
    g_bpp_dv = 4;
    g_bypr = 4 * w;
    g_bpc = 8;
    gp_preview_buf = preview;
    g_preview_w = previewW;
    g_preview_h = previewH;
    g_preview_step_x = g_preview_step_y = step;
    gp_small_preview_buf = small;
    g_small_preview_w = smallW;
    g_small_preview_h = smallH;
    g_small_preview_step_x = g_small_preview_step_y = smallStep;
    g_cgctx = std::move(ctx);
    g_global_pre_inited = true;
    ++g_data_generation;
    g_source_image = image;
    g_source_quality = g_preview_quality;
    g_source_generation = g_data_generation;
    return true;
}

graphics::Size PostProcess::getPreviewSize() {
    switch (g_preview_quality) {
    case 0:
        return {640, 480};
    case 2:
        return {1024, 768};
    default:
        return {800, 600};
    }
}

bool PostProcess::updateContextForData(uint8_t* buffer) {
    if (!buffer || !g_cgctx) return false;
    int32_t w = g_width, h = g_height;
    const bool preview = buffer == gp_preview_buf;
    const bool small = !preview && buffer == gp_small_preview_buf;
    if (preview) {
        w = g_preview_w;
        h = g_preview_h;
    } else if (small) {
        w = g_small_preview_w;
        h = g_small_preview_h;
    }
    // The new context first: on failure the old working image stays whole.
    std::unique_ptr<graphics::BitmapContext> ctx =
        graphics::BitmapContext::create(buffer, w, h, 8, size_t(w) * 4, g_cgctx->bitmapInfo());
    if (!ctx) return false;
    if (gp_data != buffer) {
        if (preview || small) {
            std::free(gp_data);
        } else {
            keep_spare(gp_data, size_t(g_width) * size_t(g_height) * 4);
            g_spare_generation = g_data_generation;
        }
    }
    gp_data = buffer;
    release_preview_sources();
    if (preview) gp_preview_buf = nullptr;
    if (small) gp_small_preview_buf = nullptr;
    g_width = w;
    g_height = h;
    g_bpp = 32;
    g_bpp_dv = 4;
    g_bypr = 4 * w;
    g_bpc = 8;
    g_cgctx = std::move(ctx);
    ++g_data_generation;
    return true;
}

bool PostProcess::updateContextForPreviewData() {
    return updateContextForData(gp_preview_buf);
}

bool PostProcess::updateContextForSmallPreviewData() {
    return updateContextForData(gp_small_preview_buf);
}

uint8_t* PostProcess::take_output_buffer(size_t bytes) {
    uint8_t* buffer = gp_spare_buf;
    if (buffer && g_spare_bytes == bytes) {
        gp_spare_buf = nullptr;
        g_spare_bytes = 0;
        g_spare_generation = 0;
        return buffer;
    }
    keep_spare(nullptr, 0); // a spare of another size is only in the way
    return static_cast<uint8_t*>(std::malloc(bytes));
}

void PostProcess::keep_spare(uint8_t* buffer, size_t bytes) {
    std::free(gp_spare_buf);
    gp_spare_buf = buffer;
    g_spare_bytes = buffer ? bytes : 0;
    g_spare_generation = 0;
}

bool PostProcess::restore_source(const graphics::ImagePtr& image) {
    if (!g_global_pre_inited) return true;
    // A preset chain gives a preview buffer to the working image; only a clean brings it back.
    if (!image || g_source_image.lock() != image || g_source_quality != g_preview_quality ||
        !gp_preview_buf || !gp_small_preview_buf)
        return false;
    if (g_data_generation == g_source_generation) return true;
    const size_t bytes = size_t(g_width) * size_t(g_height) * 4;
    if (!gp_spare_buf || g_spare_generation != g_source_generation || g_spare_bytes != bytes ||
        g_width != image->width() || g_height != image->height())
        return false;
    uint8_t* const source = gp_spare_buf;
    gp_spare_buf = nullptr;
    g_spare_bytes = 0;
    if (!updateContextForData(source)) {
        keep_spare(source, bytes);
        g_spare_generation = g_source_generation;
        return false;
    }
    g_source_generation = g_data_generation;
    return true;
}

graphics::ImagePtr PostProcess::resultImageFromCurrentDataType(int kind) {
    uint8_t* buffer = gp_data;
    int32_t w = g_width, h = g_height;
    if (kind == 1 && gp_preview_buf) {
        buffer = gp_preview_buf;
        w = g_preview_w;
        h = g_preview_h;
    } else if (kind == 2 && gp_small_preview_buf) {
        buffer = gp_small_preview_buf;
        w = g_small_preview_w;
        h = g_small_preview_h;
    }
    if (!buffer || !g_cgctx) return nullptr;
    std::unique_ptr<graphics::BitmapContext> ctx =
        graphics::BitmapContext::create(buffer, w, h, 8, size_t(w) * 4, g_cgctx->bitmapInfo());
    if (!ctx) return nullptr;
    return forScreen(graphics::createImage(*ctx));
}

void PostProcess::global_clean() {
    if (!g_global_pre_inited) return;
    g_cgctx.reset();
    std::free(gp_data);
    std::free(gp_preview_buf);
    std::free(gp_small_preview_buf);
    gp_data = gp_preview_buf = gp_small_preview_buf = nullptr;
    keep_spare(nullptr, 0);
    release_preview_sources();
    sketch::release_cache();
    g_source_image.reset();
    g_global_pre_inited = false;
}

void PostProcess::_postNotificationName(const foundation::Dictionary& info) {
    const auto entry = [&](const char* key) {
        const auto it = info.find(key);
        return it == info.end() ? foundation::Value() : it->second;
    };
    const foundation::Value name = entry("name");
    if (!name.getString()) return;
    foundation::NotificationCenter::defaultCenter().postNotificationName(*name.getString(), entry("object"),
                                                                         entry("userInfo"));
}

graphics::ImagePtr PostProcess::create_nsimage_from_data(uint8_t* data, int32_t width, int32_t height,
                                                         uint32_t bitmapInfo, bool releaseDataBuffer) {
    const std::optional<graphics::PixelFormat> format = graphics::pixelFormatForBitmapInfo(bitmapInfo);
    if (!format || width <= 0) return nullptr;
    graphics::Image::Release release;
    if (releaseDataBuffer) release = [](void* p) { std::free(p); };
    return forScreen(graphics::Image::adopt(data, width, height, size_t(width) * 4, *format, release));
}

// ---- Instance side ----

PostProcess::PostProcess() = default;

PostProcess::~PostProcess() {
    ci_dealloc();
}

void PostProcess::init(const foundation::Value& object, int32_t index) {
    (void)object;
    m_idx = index;
    _effectCenter = {0.5, 0.5};
    ci_init();
}

void PostProcess::prepare(graphics::ImagePtr image) {
    std::lock_guard guard(m_pp_lock);
    m_img = std::move(image);
}

bool PostProcess::pre_init() {
    global_pre_init(m_img);
    m_width = g_width;
    m_height = g_height;
    if (m_preview_mode) {
        if (m_small_preview) {
            step_x = g_small_preview_step_x;
            step_y = g_small_preview_step_y;
            preview_w = g_small_preview_w;
            preview_h = g_small_preview_h;
            p_preview_buf = gp_small_preview_buf;
        } else {
            step_x = g_preview_step_x;
            step_y = g_preview_step_y;
            preview_w = g_preview_w;
            preview_h = g_preview_h;
            p_preview_buf = gp_preview_buf;
        }
    } else {
        p_preview_buf = nullptr;
        preview_w = preview_h = 0;
        step_x = step_y = 1;
    }
    return true;
}

void PostProcess::post_clean() {
    m_img.reset();
}

void PostProcess::freeMemory() {
    std::lock_guard guard(m_pp_lock);
    post_clean();
}

void PostProcess::report_changed_percent(int64_t percent) {
    if (percent == m_prev_precent) return;
    m_prev_precent = percent;
    m_precent.store(percent, std::memory_order_relaxed);
    call_progress_callback();
}

std::string PostProcess::get_name() {
    const LookSpec* look = look_spec();
    return look ? look->name : "Noname";
}

std::string PostProcess::get_categorie() {
    const LookSpec* look = look_spec();
    return look ? look->category : "Uncategorized";
}

PostProcessParameter* PostProcess::param_1() {
    const LookSpec* look = look_spec();
    return parameterFromSlider(m_param_1, look ? &look->param1 : nullptr);
}

PostProcessParameter* PostProcess::param_2() {
    const LookSpec* look = look_spec();
    return parameterFromSlider(m_param_2, look ? &look->param2 : nullptr);
}

graphics::Point PostProcess::newEffectCenter() const {
    return {std::trunc(_effectCenter.x * g_width), std::trunc(_effectCenter.y * g_height)};
}
