#include "engine/effects/bundles/PP_Effects_Bundle1.h"

#include "engine/BlendFunctions.h"
#include "engine/ImageEditable.h"
#include "engine/Neighbourhood.h"
#include "engine/PostProcessParameter.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Clamp.h"
#include "platform/graphics/ParallelRows.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <new>

namespace {

struct Variant {
    LookSpec look;
    const char* overlay;
    uint8_t tint[3]; // the colour a Grunge type tints with (none for the black graffiti)
};

constexpr SliderSpec kGrungeContrast = localizedSlider("Contrast", 1.0, 20.0, 10.0);
constexpr SliderSpec kGrungeBrightness = localizedSlider("Brightness", 0.0, 0.4, 0.0);

// clang-format off
constexpr Variant kVariants[] = {
    {{"Stencil Poster Red", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {230, 154, 95}},
    {{"Stencil Poster Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {95, 154, 230}},
    {{"Stencil Poster Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {154, 230, 95}},
    {{"Stencil Poster", "Grunge", kGrungeContrast, kGrungeBrightness}, "red_poster_paper", {215, 215, 215}},
    {{"Grunge Rays Sepia", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {191, 152, 109}},
    {{"Grunge Rays Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {91, 152, 209}},
    {{"Grunge Rays Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "grunge_rays", {91, 205, 109}},
    {{"Grunge Rays", "Grunge", localizedSlider("Contrast", 1.0, 20.0, 7.65), localizedSlider("Brightness", 0.0, 0.4, 0.188)}, "grunge_rays", {189, 189, 189}},
    {{"Stencil Graffiti Black", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {}},
    {{"Stencil Graffiti Red", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {255, 10, 10}},
    {{"Stencil Graffiti Green", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {10, 255, 10}},
    {{"Stencil Graffiti Blue", "Grunge", kGrungeContrast, kGrungeBrightness}, "wall_texture", {10, 10, 255}},
    {{"Derby", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.18), localizedSlider("Overlay", 0.5, 0.9, 0.755)}, "retro_1_overlayer", {}},
    {{"Turin", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 2.0), {}}, "paloroid_overlayer", {}},
    {{"Napa", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 1.54), localizedSlider("Color", 0.2, 0.9, 0.4)}, "retro_3_overlayer", {}},
    {{"Ancona", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 3.0, 2.2), localizedSlider("Brightness", 1.0, 3.0, 2.0)}, "retro_2_overlayer", {}},
    {{"Bilbao", "Groovy Lo-Fi", localizedSlider("Amount", 1.0, 3.0, 1.4), {}}, "retro_2_overlayer", {}},
    {{"Ensley", "Groovy Lo-Fi", localizedSlider("Contrast", 1.0, 8.0, 2.4), localizedSlider("Brightness", 0.2, 1.5, 0.5)}, "retro_1_overlayer", {}},
    {{"Lantana", "Groovy Lo-Fi", localizedSlider("Contrast", 1.5, 4.0, 2.5), {}}, "red", {}},
};
constexpr LookSpec kPlaceholder{"Test1", "Test"};
// clang-format on

constexpr int32_t kVariantCount = int32_t(sizeof(kVariants) / sizeof(kVariants[0]));

const Variant* variant(int32_t type) {
    return type >= 0 && type < kVariantCount ? &kVariants[type] : nullptr;
}

constexpr pixel_t colour(uint8_t r, uint8_t g, uint8_t b) {
    return {float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f};
}

constexpr pixel_t kDerbyAdd = colour(40, 0, 222);
constexpr pixel_t kNapaTint = colour(247, 241, 186);
constexpr pixel_t kNapaSoftLight = colour(70, 15, 255);
constexpr pixel_t kLantanaHardLight = colour(204, 116, 104);

pixel_t contrast(pixel_t p, float k) {
    return {(p.r - 0.5f) * k + 0.5f, (p.g - 0.5f) * k + 0.5f, (p.b - 0.5f) * k + 0.5f};
}

pixel_t scaled(pixel_t p, float k) {
    return {p.r * k, p.g * k, p.b * k};
}

pixel_t product(pixel_t a, pixel_t b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

pixel_t clamped(pixel_t p) {
    PostProcess::clapmPixel(&p);
    return p;
}

using graphics::clamp01;

// (R + G + B) x 1/255 x 1/3 of the working image's bytes, rounded to single after each product;
// 0 outside the image.
float grey_at(int32_t x, int32_t y) {
    const uint8_t* data = PostProcess::gp_data;
    if (!data || x < 0 || y < 0 || x >= PostProcess::g_width || y >= PostProcess::g_height) return 0.0f;
    const uint8_t* p =
        data + (size_t(y) * size_t(PostProcess::g_width) + size_t(x)) * size_t(PostProcess::g_bpp_dv);
    const float sum = float(double(int32_t(p[1]) + p[2] + p[3]) * (1.0 / 255.0));
    return float(double(sum) * (1.0 / 3.0));
}

// Every run of every effect of the class has its own number, so that a thread never takes a line
// of another run.
std::atomic<uint64_t> g_runs{0};

// The byte order ImageEditable's overlays hold: R, G, B, skipped.
const graphics::PixelFormat& overlay_format() {
    static const graphics::PixelFormat format =
        *graphics::pixelFormatForBitmapInfo(graphics::kBitmapInfoBigEndianSkipLast);
    return format;
}

} // namespace

// One thread's line of the stretched overlay and the buffers that make it.
struct PP_Effects_Bundle1::Line {
    graphics::ScaledImage::Scratch scratch;
    std::vector<uint8_t> bytes;
    int32_t index = -1;
};

PP_Effects_Bundle1::PP_Effects_Bundle1() = default;
PP_Effects_Bundle1::~PP_Effects_Bundle1() = default;

int32_t PP_Effects_Bundle1::look_count() const {
    return kVariantCount;
}

const LookSpec* PP_Effects_Bundle1::look_spec() const {
    const Variant* v = variant(m_type);
    return v ? &v->look : &kPlaceholder;
}

void PP_Effects_Bundle1::setup_overlays() {
    const Variant* v = variant(m_type);
    if (!v) return;
    const graphics::ImagePtr picture =
        ImageEditable::overlay_picture(m_preview_mode ? std::string(v->overlay) + "_small" : v->overlay);
    const auto [w, h] = ImageEditable::overlay_size(picture, m_preview_mode ? preview_w : m_width,
                                                    m_preview_mode ? preview_h : m_height);
    m_overlay =
        std::make_unique<graphics::ScaledImage>(picture, graphics::Rect(0, 0, w, h), w, h, overlay_format());
    m_overlay_w = w;
    m_overlay_h = h;
}

void PP_Effects_Bundle1::on_preview_entered() {
    PostProcess::on_preview_entered();
    m_in_preview = true;
}

void PP_Effects_Bundle1::on_preview_exit() {
    PostProcess::on_preview_exit();
    // A run still going would be reading the overlay.
    std::lock_guard guard(m_pp_lock);
    m_overlay.reset();
    m_in_preview = false;
}

void PP_Effects_Bundle1::free_lines() {
    std::lock_guard lock(m_lines_lock);
    m_lines.clear();
    m_lines_taken = 0;
}

void PP_Effects_Bundle1::process_ended() {
    free_lines();
    if (!m_in_preview) m_overlay.reset();
}

void PP_Effects_Bundle1::prepare_for_process() {
    free_lines();
    if (!m_preview_mode) m_overlay.reset();
    m_has_overlay = false;
    try {
        if (!m_preview_mode || !m_overlay) setup_overlays();
        m_has_overlay = m_overlay && !m_overlay->empty();
        if (m_has_overlay) {
            // A line for every thread of the pass, made here where running out of memory can fail
            // the run.
            const int32_t w = m_overlay_w, h = m_overlay_h;
            m_transposed = (m_width > m_height && w < h) || (m_width < m_height && w > h);
            const size_t length = size_t(m_transposed ? h : w);
            for (unsigned i = 0; i < std::max(graphics::parallelThreads(), 1u); ++i) {
                auto line = std::make_unique<Line>();
                line->scratch = m_overlay->scratch();
                line->bytes.resize(length * 4);
                m_lines.push_back(std::move(line));
            }
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "PP_Effects_Bundle1: out of memory for the overlay\n");
        free_lines();
        m_overlay.reset();
        m_has_overlay = false;
        preparation_failed();
        return;
    }
    m_run = ++g_runs;
    m_prm1 = param_1() ? float(param_1()->value()) : 0.0f;
    m_prm2 = param_2() ? float(param_2()->value()) : 0.0f;
    const Variant* v = variant(m_type);
    m_tint = v ? colour(v->tint[0], v->tint[1], v->tint[2]) : pixel_t{0.0f, 0.0f, 0.0f};
}

PP_Effects_Bundle1::Line& PP_Effects_Bundle1::thread_line() {
    struct Held {
        uint64_t run = 0;
        Line* line = nullptr;
    };
    thread_local Held held;
    if (held.run != m_run) {
        std::lock_guard lock(m_lines_lock);
        // More threads than prepared for: only when the pass runs on more than parallelThreads().
        if (m_lines_taken == m_lines.size()) {
            auto line = std::make_unique<Line>();
            line->scratch = m_overlay->scratch();
            line->bytes.resize(m_lines.front()->bytes.size());
            m_lines.push_back(std::move(line));
        }
        held = {m_run, m_lines[m_lines_taken++].get()};
    }
    return *held.line;
}

const uint8_t* PP_Effects_Bundle1::overlay_line(int32_t index) {
    Line& line = thread_line();
    if (line.index != index) {
        // The bytes a stretched overlay is drawn over.
        std::fill(line.bytes.begin(), line.bytes.end(), uint8_t(1));
        if (m_transposed)
            m_overlay->drawColumn(index, line.scratch, line.bytes.data() + size_t(m_overlay->firstRow()) * 4,
                                  4);
        else
            m_overlay->drawRow(index, line.scratch, line.bytes.data() + size_t(m_overlay->firstColumn()) * 4);
        line.index = index;
    }
    return line.bytes.data();
}

// The line of the stretched overlay that row y of the picture reads: a row, or a column when the
// overlay is laid across. Null when the row maps outside it.
const uint8_t* PP_Effects_Bundle1::line_for_row(int32_t y) {
    int32_t index = 0;
    if (!ImageEditable::relative(y, m_height, m_transposed ? m_overlay_w : m_overlay_h, index))
        return nullptr;
    return overlay_line(index);
}

namespace {

pixel_t unit_texel(const uint8_t* p) {
    constexpr float k = 1.0f / 255.0f;
    return {float(p[0]) * k, float(p[1]) * k, float(p[2]) * k};
}

} // namespace

// The texel that column x of the picture maps to in a line; black outside.
pixel_t PP_Effects_Bundle1::texel(const uint8_t* line, int32_t x) const {
    int32_t along = 0;
    if (!line || !ImageEditable::relative(x, m_width, m_transposed ? m_overlay_h : m_overlay_w, along))
        return {0.0f, 0.0f, 0.0f};
    return unit_texel(line + size_t(along) * 4);
}

// The texel that (x, y) maps to, drawn alone: the hook may be asked in any order (column by
// column), where making a whole line for each pixel would cost a row of the overlay a pixel.
pixel_t PP_Effects_Bundle1::texel_at(int32_t x, int32_t y) {
    int32_t column = 0, row = 0;
    const auto relative = &ImageEditable::relative;
    const bool inside =
        m_transposed ? relative(y, m_height, m_overlay_w, column) && relative(x, m_width, m_overlay_h, row)
                     : relative(x, m_width, m_overlay_w, column) && relative(y, m_height, m_overlay_h, row);
    if (!inside) return {0.0f, 0.0f, 0.0f};
    uint8_t bytes[4] = {1, 1, 1, 1}; // what the stretched overlay is drawn over
    m_overlay->drawPixel(column, row, thread_line().scratch, bytes);
    return unit_texel(bytes);
}

// Each look before its overlay step.
pixel_t PP_Effects_Bundle1::treated(int32_t x, int32_t y) const {
    const float p1 = m_prm1, p2 = m_prm2;
    if (m_type >= 0 && m_type <= 7) {
        const float v = clamp01((grey_at(x, y) + p2 - 0.5f) * p1 + 0.5f);
        return blend_hard_light2({v, v, v}, m_tint);
    }
    if (m_type >= 8 && m_type <= 11) {
        const float s = grey_at(x, y) + p2;
        const pixel_t c = m_type == 8 ? pixel_t{s, s, s} : blend_screen({s, s, s}, m_tint);
        return clamped(contrast(c, p1));
    }
    const pixel_t src = get_source_pixel(x, y);
    switch (m_type) {
    case 12: {
        const pixel_t s = do_saturation(src, 0.5f);
        const auto channel = [p1](float c) { return (float(double(c) * 0.7) - 0.5f) * p1 + 0.5f; };
        const pixel_t a = clamped({channel(s.r), channel(s.g), channel(s.b)});
        return blend_alpha(a, blend_add(a, kDerbyAdd), p2);
    }
    case 13:
        return contrast(src, p1);
    case 14: {
        const pixel_t a = clamped(contrast(src, p1));
        const pixel_t d = clamped(blend_alpha(a, product(a, kNapaTint), 0.5f));
        return blend_alpha(d, blend_soft_light(d, kNapaSoftLight), p2);
    }
    case 15:
        return clamped(do_saturation(scaled(contrast(src, p1), p2), 0.5f));
    case 16:
        return clamped(do_saturation(src, 0.5f));
    case 17:
        return contrast(scaled(do_saturation(src, 0.7f), p2), p1);
    case 18:
        return blend_hard_light(clamped(contrast(src, p1)), kLantanaHardLight);
    default:
        return src;
    }
}

pixel_t PP_Effects_Bundle1::overlaid(pixel_t c, pixel_t t) const {
    switch (m_type) {
    case 12:
        return blend_overlay(c, t);
    case 15:
        return blend_hard_light(c, t);
    case 16:
        return blend_overlay(c, scaled(t, m_prm1));
    case 17:
        return blend_alpha(c, blend_screen(c, t), 0.2f);
    case 13:
    case 14:
    case 18:
        return blend_screen(c, t);
    default: // the Grunge looks
        return product(c, t);
    }
}

pixel_t PP_Effects_Bundle1::process_pixel_x(int32_t x, int32_t y, int32_t /*pass*/) {
    const pixel_t c = treated(x, y);
    if (!m_has_overlay) return c;
    return overlaid(c, texel_at(x, y));
}

// The row's overlay line found once, not at every pixel.
bool PP_Effects_Bundle1::process_row(const foundation::Thread& thread, int32_t y, int32_t pass,
                                     uint8_t* dst) {
    if (!m_has_overlay)
        return write_row(thread, y, pass, dst,
                         [this](int32_t x, int32_t y, int32_t) { return treated(x, y); });
    const uint8_t* line = line_for_row(y);
    return write_row(thread, y, pass, dst, [this, line](int32_t x, int32_t y, int32_t) {
        return overlaid(treated(x, y), texel(line, x));
    });
}
