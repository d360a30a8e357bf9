#include "engine/effects/texture/PP_OV_Frame.h"

#include "engine/PostProcessParameter.h"
#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/imageio/NamedImage.h"
#include "platform/services/KXServiceUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using graphics::BitmapContext;
using graphics::ImagePtr;

// Every piece goes onto the canvas this way: scaled into the rectangle (y-up pixels), source-over.
void drawPiece(BitmapContext& ctx, const ImagePtr& piece, double x, double y, double w, double h) {
    graphics::drawImage(ctx, graphics::Rect(x, y, w, h), piece);
}

bool usable(const ImagePtr& image) {
    return image && image->pointSize().width > 0 && image->pointSize().height > 0;
}

// Tiles of `tile` length overlapping by `overlap` along an edge of `length`: an odd count, so
// that the middle tile is centred on the edge. No tiles when they would not advance.
struct Tiling {
    int64_t count = 0;
    double first = 0;
    double step = 0;
};

Tiling tiling(double length, double tile, double overlap) {
    // Tiles that hardly advance draw nothing visible and would only keep the run busy.
    constexpr double kLeastStep = 1.0 / 64.0;
    const double step = tile - overlap;
    if (!(step >= kLeastStep) || !std::isfinite(step)) return {};
    const auto count = int64_t(2.0 * std::ceil((length / 2.0 - step / 2.0) / step) + 1.0);
    return {count, length / 2.0 - overlap - double(count) * step / 2.0, step};
}

// Fades one premultiplied A,R,G,B pixel to f/256 of its coverage with the integer arithmetic the
// frame sets were made for.
void fadePixel(uint8_t* p, int f) {
    const int a = p[0];
    const int a2 = (a * f) >> 8;
    for (int i = 1; i < 4; ++i) {
        int c = p[i];
        if (a != 0) c = c * 255 / a;
        p[i] = uint8_t((c * a2) >> 8);
    }
    p[0] = uint8_t((a2 * 255) >> 8);
}

struct FreeBuffer {
    void operator()(uint8_t* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<uint8_t, FreeBuffer>;

// The drawn buffer becomes an image of the context's size and layout, without a copy.
ImagePtr adoptCanvas(std::unique_ptr<BitmapContext> ctx, Buffer buffer) {
    ImagePtr image = graphics::Image::adopt(buffer.get(), ctx->width(), ctx->height(), ctx->rowBytes(),
                                            ctx->format(), [](void* p) { std::free(p); });
    if (image) (void)buffer.release();
    return image;
}

} // namespace

void PP_OV_Frame::setup_name(const std::string& name, const std::string& category, int32_t gallery_index,
                             int32_t frame_index, bool image_under_frame, bool simple_frame, float scale) {
    setName(name);
    setCategory(category);
    setGal_idx(gallery_index);
    setFrame_idx(frame_index);
    m_image_under_frame = image_under_frame;
    m_simple_frame = simple_frame;
    m_scale = scale;
}

PostProcessParameter* PP_OV_Frame::param_1() {
    static constexpr SliderSpec kWidth = literalSlider("Width", 50.0, 200.0, 100.0);
    return parameterFromSlider(m_param_1, &kWidth);
}

std::string PP_OV_Frame::piece_file(const std::string& piece) const {
    return "f" + std::to_string(m_frame_idx) + "_g" + std::to_string(m_gal_idx) + "_" + piece;
}

std::string PP_OV_Frame::custom_preview_file() {
    return piece_file("preview");
}

bool PP_OV_Frame::has_custom_preview_file() {
    return !foundation::Bundle::pathForImageResource(custom_preview_file()).empty();
}

void PP_OV_Frame::setPreviewImage(graphics::ImagePtr image) {
    if (image && _previewImage) return;
    _previewImage = std::move(image);
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        PostProcessPreviewImageDidChangeNotification,
        foundation::Value::reference<PostProcess>(this, "PostProcess"));
}

graphics::ImagePtr PP_OV_Frame::load_image(const std::string& piece) const {
    return imageio::imageWithContentsOfFile(foundation::Bundle::pathForImageResource(piece_file(piece)));
}

graphics::ImagePtr PP_OV_Frame::makeGradientedImage(const graphics::ImagePtr& image, int32_t side,
                                                    int32_t gradientWidth, int32_t sideSize) {
    if (!image || side < 0 || side > 3 || sideSize <= 0) return nullptr;
    const int32_t w = image->width(), h = image->height();
    const bool vertical = side < 2; // a left or right strip of full height
    const int32_t pw = vertical ? sideSize : w;
    const int32_t ph = vertical ? h : sideSize;
    const size_t rowBytes = size_t(pw) * 4;
    Buffer buffer(static_cast<uint8_t*>(std::calloc(rowBytes * size_t(ph), 1)));
    if (!buffer) return nullptr;
    std::unique_ptr<BitmapContext> ctx =
        BitmapContext::create(buffer.get(), pw, ph, 8, rowBytes, graphics::kBitmapInfoPremultipliedFirst);
    if (!ctx) return nullptr;
    const double x = side == 1 ? double(sideSize + 1 - w) : 0.0;
    const double y = side == 2 ? double(sideSize - h) : 0.0;
    drawPiece(*ctx, image, x, y, w, h);

    // The band lies on the inner edge: k counts from its first column or row in memory order.
    const int32_t gw = std::max(gradientWidth, 0);
    const bool fadesOut = side == 0 || side == 2;
    const int32_t across = vertical ? pw : ph;
    const int32_t first = fadesOut ? across - gw : 0; // position of k = 0
    const auto factor = [&](int32_t k) {
        const auto step = int(int64_t(256) * k / gw);
        return fadesOut ? 256 - step : step;
    };
    const int32_t kBegin = std::max(0, -first), kEnd = std::min(gw, across - first);
    if (vertical) {
        for (int32_t row = 0; row < ph; ++row) {
            uint8_t* line = buffer.get() + size_t(row) * rowBytes;
            for (int32_t k = kBegin; k < kEnd; ++k)
                fadePixel(line + size_t(first + k) * 4, factor(k));
        }
    } else {
        for (int32_t k = kBegin; k < kEnd; ++k) {
            uint8_t* p = buffer.get() + size_t(first + k) * rowBytes;
            const int f = factor(k);
            for (int32_t col = 0; col < pw; ++col, p += 4)
                fadePixel(p, f);
        }
    }
    return adoptCanvas(std::move(ctx), std::move(buffer));
}

bool PP_OV_Frame::progress(int64_t percent) {
    if (foundation::Thread::current().isCancelled()) return false;
    m_precent.store(percent, std::memory_order_relaxed);
    call_progress_callback();
    return true;
}

graphics::ImagePtr PP_OV_Frame::custom_process_function() {
    const graphics::ImagePtr picture = m_img;
    if (!picture) return nullptr;
    const double bsf = services::KXServiceUtils::backingScaleFactor();
    const graphics::Size points = picture->pointSize();
    double uw = 0;
    if (const graphics::ImagePtr ul = load_image("ul")) uw = ul->pointSize().width;
    const float base = float((points.width + points.height) * uw * 0.5 * bsf * double(m_scale) / 5000.0);
    const float factor = m_small_preview ? 2.0f : float(param_1()->value() / 100.0);
    float bw = base * factor;

    const double wp = points.width * bsf, hp = points.height * bsf;
    double cw = m_image_under_frame ? wp : wp + 2.0 * double(bw);
    double ch = m_image_under_frame ? hp : hp + 2.0 * double(bw);
    double sc = 1.0;
    if (m_small_preview) {
        sc = std::min(166.0 / cw, 126.0 / ch);
        bw = float(std::max(sc * double(bw), 166.0 / 15.0));
        cw = 166.0;
        ch = 126.0;
    }
    bw = std::round(bw);
    cw = std::round(cw);
    ch = std::round(ch);
    const double wi = std::ceil(wp), hi = std::ceil(hp);
    // Without a corner to measure there is no border to draw.
    if (!(bw >= 1.0f)) return picture;
    const double b = bw;

    if (!progress(0)) return nullptr;
    std::unique_ptr<BitmapContext> ctx = CreateARGBBitmapContext(size_t(cw), size_t(ch));
    if (!ctx) return nullptr;
    Buffer canvas(ctx->data());
    m_precent.store(5, std::memory_order_relaxed);
    call_progress_callback();
    // Opaque white on the X,R,G,B canvas is every byte 255: what a white fill writes, at memset speed.
    std::memset(ctx->data(), 255, ctx->rowBytes() * size_t(ctx->height()));

    if (m_image_under_frame || m_small_preview) {
        if (wi / hi > cw / ch) {
            const double w = wi * ch / hi;
            drawPiece(*ctx, picture, (cw - w) / 2.0, 0, w, ch);
        } else {
            const double h = hi * cw / wi;
            drawPiece(*ctx, picture, 0, (ch - h) / 2.0, cw, h);
        }
    } else {
        drawPiece(*ctx, picture, b, b, std::ceil(wi * sc + 1.0), std::ceil(hi * sc + 1.0));
    }
    if (!progress(10) || !progress(20)) return nullptr;

    // Upper and lower edges; k scales every piece below to the border.
    double k = 0;
    {
        const graphics::ImagePtr u = load_image("u");
        const graphics::ImagePtr d = load_image("d");
        if (usable(u)) k = b / u->pointSize().height;
        if (k > 0 && std::isfinite(k)) {
            const double uW = u->pointSize().width;
            const double gw = uW * 0.25;
            const ImagePtr tileU = makeGradientedImage(u, 1, int32_t(gw), int32_t(uW));
            const ImagePtr tileD = makeGradientedImage(d, 1, int32_t(gw), int32_t(uW));
            const double tw = uW * k;
            const Tiling t = tiling(cw, tw, gw * k);
            for (int64_t i = 0; i < t.count; ++i) {
                const double x = t.first + double(i) * t.step;
                drawPiece(*ctx, tileU, x, ch - b, tw, b);
                drawPiece(*ctx, tileD, x, 0, tw, b);
            }
            if (!m_simple_frame) {
                const double c = std::min(uW, cw - 2.0 * b) / 3.0;
                for (const auto& [piece, y] : {std::pair{u, ch - b}, std::pair{d, 0.0}}) {
                    const ImagePtr left = makeGradientedImage(piece, 0, int32_t(c / 2.0), int32_t(c));
                    const ImagePtr right = makeGradientedImage(piece, 1, int32_t(c / 2.0), int32_t(c));
                    if (left) drawPiece(*ctx, left, b, y, left->pointSize().width * k, b);
                    if (right) drawPiece(*ctx, right, cw - b - c * k, y, right->pointSize().width * k, b);
                }
            }
        } else {
            k = 0;
        }
    }

    // Left and right edges, at the scale of the upper edge.
    {
        const graphics::ImagePtr l = load_image("l");
        const graphics::ImagePtr r = load_image("r");
        if (k > 0 && usable(l)) {
            const double lH = l->pointSize().height;
            const double gv = lH * 0.25;
            const ImagePtr tileL = makeGradientedImage(l, 2, int32_t(gv), int32_t(lH));
            const ImagePtr tileR =
                usable(r) ? makeGradientedImage(r, 2, int32_t(gv), int32_t(r->pointSize().height)) : nullptr;
            const double th = lH * k;
            const Tiling t = tiling(ch, th, gv * k);
            for (int64_t i = 0; i < t.count; ++i) {
                const double y = t.first + double(i) * t.step;
                drawPiece(*ctx, tileL, 0, y, b, th);
                drawPiece(*ctx, tileR, cw - b, y, b, th);
            }
            if (!m_simple_frame) {
                const double c = std::min(lH, ch - 2.0 * b) / 3.0;
                for (const auto& [piece, x] : {std::pair{l, 0.0}, std::pair{r, cw - b}}) {
                    const ImagePtr top = makeGradientedImage(piece, 2, int32_t(c / 2.0), int32_t(c));
                    const ImagePtr bottom = makeGradientedImage(piece, 3, int32_t(c / 2.0), int32_t(c));
                    if (bottom) drawPiece(*ctx, bottom, x, b, b, bottom->pointSize().height * k);
                    if (top) {
                        const double th2 = top->pointSize().height * k;
                        drawPiece(*ctx, top, x, ch - b - th2, b, th2);
                    }
                }
            }
        }
    }
    if (!progress(35)) return nullptr;

    drawPiece(*ctx, load_image("ul"), 0, ch - b, b, b);
    drawPiece(*ctx, load_image("ur"), cw - b, ch - b, b, b);
    drawPiece(*ctx, load_image("dl"), 0, 0, b, b);
    drawPiece(*ctx, load_image("dr"), cw - b, 0, b, b);
    if (!progress(50) || !progress(70)) return nullptr;

    graphics::ImagePtr result = adoptCanvas(std::move(ctx), std::move(canvas));
    progress(90);
    return result;
}

float PP_OV_Frame::get_scaled_rect_in_w(float w, float h, float max_w, float max_h) {
    if (w <= max_w && h <= max_h) return 1.0f;
    const float r = w / h;
    return (r > 1.0f ? max_w : max_h * r) / w;
}

graphics::ImagePtr PP_OV_Frame::scaleImge(const graphics::ImagePtr& image, graphics::Size size) {
    return image ? image->withPointSize(size) : nullptr;
}
