#pragma once
// The base of every effect, and the one shared working image all effects read and write.
//
// Class side: the picture being edited as an X,R,G,B byte buffer (`gp_data`, byte 0 skipped by
// the bitmap context but non-zero wherever a pixel was drawn) plus two reduced copies that preview
// runs write into. The state is process-wide and unlocked: only one run may be active at a time.
// Whoever runs effects guarantees it by cancelling the running thread and then taking and
// releasing that effect's `lock()`, which waits until the run has left `process()`.
//
// Instance side: identity, mode flags and the hooks an effect class overrides. `process()` drives
// the hooks once per run, on a worker `foundation::Thread` or synchronously on the main thread.
// A run ends with exactly one notification on the default centre:
//   "EndProcess"       object the effect; userInfo {"ResultImage": image} on the whole-image
//                      paths only. Delivered on the main thread.
//   "ProcessCancelled" no object. Delivered on the run's own thread.
//   "ProcessFailed"    object the effect. Delivered on the main thread: no working image could be
//                      made, the output could not be allocated or installed, or a whole-image run
//                      had no source or produced no image. Nothing was changed.
// "progressChanged" (object the integer percent) is delivered on the main thread while a run that
// is not silent goes on.
// A run given an integer object (its serial number) adds it as "RunID" to the userInfo of its
// "EndProcess", "ProcessFailed" and "progressChanged", so that whoever starts runs can tell a late
// notification of an earlier run of the same effect from one of the current run.
#include "engine/ChannelLevels.h"
#include "engine/LookSpec.h"
#include "engine/Pixel.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Point.h"
#include "platform/graphics/Size.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class PostProcessParameter;
namespace coreimage {
class Filter;
}

// Posted by setPreviewImage() with the effect as object.
inline constexpr const char* PostProcessPreviewImageDidChangeNotification =
    "PostProcessPreviewImageDidChangeNotification";

class PostProcess {
  public:
    // ---- Shared working image (class side) ----

    // The working image: g_width x g_height pixels of 4 bytes, rows of g_bypr bytes. Owned here
    // (std::free), together with both preview buffers and the context.
    static inline uint8_t* gp_data = nullptr;
    static inline int32_t g_width = 0;
    static inline int32_t g_height = 0;
    static inline int32_t g_bpp = 32;
    static inline int32_t g_bpp_dv = 4;
    static inline int32_t g_bypr = 0;
    static inline int32_t g_bpc = 8;
    // Over gp_data; its bitmap info is reused for every context or image made over a buffer here.
    static inline std::unique_ptr<graphics::BitmapContext> g_cgctx;
    // The working image a full-size result replaced, kept as the next full-size run's output: memory
    // already mapped spares each run the page faults of a fresh buffer. g_spare_bytes is its size.
    static inline uint8_t* gp_spare_buf = nullptr;
    static inline size_t g_spare_bytes = 0;
    // Counts the working images installed: a copy made from one can tell when it was replaced,
    // even by a buffer of the same size at the same address.
    static inline uint64_t g_data_generation = 0;

    // What the working image was built from (global_pre_init), and which working image and spare
    // hold that picture's own pixels: a full-size result keeps them as its spare, so the next run
    // over the same picture swaps them back instead of drawing the picture again.
    static inline std::weak_ptr<const graphics::Image> g_source_image;
    static inline int32_t g_source_quality = 0;
    static inline uint64_t g_source_generation = 0;
    static inline uint64_t g_spare_generation = 0; // 0: the spare holds nothing known

    // Preview buffers hold one spare column and row and are not cleared.
    static inline uint8_t* gp_preview_buf = nullptr;
    static inline int32_t g_preview_w = 0;
    static inline int32_t g_preview_h = 0;
    static inline int32_t g_preview_step_x = 1;
    static inline int32_t g_preview_step_y = 1;
    static inline uint8_t* gp_small_preview_buf = nullptr;
    static inline int32_t g_small_preview_w = 0;
    static inline int32_t g_small_preview_h = 0;
    static inline int32_t g_small_preview_step_x = 1;
    static inline int32_t g_small_preview_step_y = 1;

    // 0, 1 or 2, set by the editor from the user's preview-quality setting.
    static inline int32_t g_preview_quality = 0;
    static inline bool g_global_pre_inited = false;

    // Builds the working image and both preview buffers from image unless they exist already:
    // while they exist the image is ignored, so a new source needs global_clean() first. False,
    // with nothing changed, when no image is given or memory runs out.
    static bool global_pre_init(const graphics::ImagePtr& image);
    // Preview target for g_preview_quality: 0 gives 640 x 480, 2 gives 1024 x 768, else 800 x 600.
    static graphics::Size getPreviewSize();
    // Makes buffer the working image and frees the one it replaces. A preview buffer given here
    // leaves its slot (it is gone until the next global_clean and global_pre_init) and brings its
    // size; any other buffer must have the working image's size. On failure (false) nothing
    // changed and the buffer is still the caller's.
    static bool updateContextForData(uint8_t* buffer);
    static bool updateContextForPreviewData();
    static bool updateContextForSmallPreviewData();
    // A copy of kind 0 the working image, 1 the preview buffer, 2 the small-preview buffer; a
    // preview buffer that is gone falls back to the working image. Null when there is none.
    static graphics::ImagePtr resultImageFromCurrentDataType(int kind);
    static void global_clean();
    // Whether the next run over image may use the working image as it stands: true when there is
    // none yet, or when it holds image's own pixels, taking them back from the spare when a
    // full-size result replaced them. False when it was built from another picture or at another
    // preview quality, or those pixels are gone: the caller then cleans it.
    static bool restore_source(const graphics::ImagePtr& image);
    // The working image as a thumbnail run of the given step reads it: each pixel the mean of the
    // step x step block it starts (cut at the picture's edges), so that the run's samples, one
    // every step pixels, each stand for the whole block instead of aliasing fine detail. Made once
    // per working image and step; null when memory runs out (the run then samples gp_data).
    static uint8_t* preview_source_data(int32_t step);
    // The working image's own pixels: gp_data, except while a thumbnail run reads gp_data averaged
    // (above); for effects that reduce or paint the picture their own way.
    static uint8_t* sharp_data() { return gp_sharp_data ? gp_sharp_data : gp_data; }
    static inline uint8_t* gp_sharp_data = nullptr;
    // An output buffer of bytes bytes, not cleared: the spare when it has that size, else a new
    // one (null when memory runs out). Give it back with keep_spare or std::free.
    static uint8_t* take_output_buffer(size_t bytes);
    // Keeps buffer (of bytes bytes) as the spare, freeing the one held before.
    static void keep_spare(uint8_t* buffer, size_t bytes);
    // Posts the notification named by info's "name" with its "object" and "userInfo" entries.
    static void _postNotificationName(const foundation::Dictionary& info);

    // Colour of the working-image pixel at (x, y), each byte times 1/255 in single precision;
    // black outside the image or when there is none. What every hook reads its source through.
    static pixel_t get_source_pixel(int32_t x, int32_t y) {
        if (!gp_data || x < 0 || y < 0 || x >= g_width || y >= g_height) return {0.0f, 0.0f, 0.0f};
        return colour_of_bytes(gp_data + (size_t(y) * size_t(g_width) + size_t(x)) * size_t(g_bpp_dv));
    }
    // The colour of the pixel whose four bytes start at p, as get_source_pixel reads it.
    static pixel_t colour_of_bytes(const uint8_t* p) {
        constexpr float k = 1.0f / 255.0f;
        return {float(p[1]) * k, float(p[2]) * k, float(p[3]) * k};
    }

    // ---- Instance side ----

    PostProcess();
    virtual ~PostProcess();
    PostProcess(const PostProcess&) = delete;
    PostProcess& operator=(const PostProcess&) = delete;

    // Held for the whole of a run, and by prepare() and freeMemory().
    std::recursive_mutex& lock() { return m_pp_lock; }
    int32_t get_index() const { return m_idx; }
    std::string get_display_name() { return get_name(); }
    // The source of the next run (null allowed: whole-image runs then use the working image).
    void prepare(graphics::ImagePtr image);
    // Builds the working image if needed and sets the steps and preview target of this run.
    bool pre_init();
    void post_clean();
    void freeMemory();
    void set_preview_mode(bool on) { m_preview_mode = on; }
    void setIsSmallPreview(bool on) { m_small_preview = on; }
    void set_silent_mode(bool on) { m_silent_mode = on; }
    graphics::Point effectCenter() const { return _effectCenter; }
    void setEffectCenter(graphics::Point center) { _effectCenter = center; }
    // The centre in working-image pixels, truncated toward zero.
    graphics::Point newEffectCenter() const;
    float getEdgesScale() const { return float(m_width) / 1600.0f; }
    static double clampMyPixel(double value, double min, double max) {
        return value < min ? min : (value > max ? max : value);
    }
    static void clapmPixel(pixel_t* p) {
        p->r = float(clampMyPixel(p->r, 0.0, 1.0));
        p->g = float(clampMyPixel(p->g, 0.0, 1.0));
        p->b = float(clampMyPixel(p->b, 0.0, 1.0));
    }
    int64_t get_complete_precent() const { return m_precent.load(std::memory_order_relaxed); }
    // An image over 4 x width x height bytes in the layout of bitmapInfo; the bytes are freed
    // (std::free) with the image when releaseDataBuffer is set, else they must outlive it.
    static graphics::ImagePtr create_nsimage_from_data(uint8_t* data, int32_t width, int32_t height,
                                                       uint32_t bitmapInfo, bool releaseDataBuffer);

    // One run (see the top of this file). Returns the result of the whole-image paths; the
    // per-pixel path returns null, its result being the working image or a preview buffer.
    // object: the run's serial number, or null.
    graphics::ImagePtr process(const foundation::Value& object = {});
    void call_progress_callback();
    // A kernel's progress as the run's percent: stored and posted unless it is the percent this
    // run posted last, so a callback called per tile does not flood the main thread.
    void report_changed_percent(int64_t percent);

    // ---- Hooks, with the base answers ----

    virtual bool isCenterSupported() { return false; }
    // Second step of construction, where virtual calls reach the effect class: stores the
    // catalogue index, centres the effect and sets up its Core Image filter.
    virtual void init(const foundation::Value& object, int32_t index);
    // Its own class name: resources and filters are looked up by it.
    virtual std::string class_name() const { return "PostProcess"; }
    // The declaration of the look of the current type; null for a class that declares none.
    virtual const LookSpec* look_spec() const { return nullptr; }
    // The types the class declares looks for are 0 .. look_count() - 1.
    virtual int32_t look_count() const { return 1; }
    // The display name, also the key of every per-effect setting: the look's, else "Noname".
    virtual std::string get_name();
    // Result colour at (x, y) of the working image (full-size coordinates, also in preview runs).
    virtual pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) {
        (void)pass;
        const pixel_t p = get_source_pixel(x, y);
        return {p.r * 2.0f, p.g * 2.0f, p.b * 2.0f};
    }
    // Per-pixel runs only, on the run's thread: read parameters, load textures, run kernels.
    // One that cannot make what its pixels need calls preparation_failed(): the run then ends with
    // "ProcessFailed" and leaves the working image as it was.
    virtual void prepare_for_process() {}
    virtual void before_pass(int32_t pass) { (void)pass; }
    // Sent once a pass has visited its last pixel, or was cut short by a cancel.
    virtual void after_pass(int32_t pass) { (void)pass; }
    // Per-pixel runs only, also when cancelled: free per-run buffers.
    virtual void process_ended() {}
    virtual bool isFrame() { return false; }
    // Asked before every pass; every pass reads the untouched source and rewrites the output.
    virtual uint64_t passes() { return 1; }
    virtual bool isCanDifferResult() { return false; }
    virtual void set_type(int32_t type) { m_type = type; }
    virtual bool this_filter_is_simply_color_modify() { return false; }
    // True lets a run hand the columns of each pass to several threads at once. Only for hooks
    // whose answer at a pixel depends on nothing but the source, the position, the pass and what
    // prepare_for_process or before_pass fixed: no member written per pixel, no random draw, no
    // read of what another pixel wrote in the same pass. Such a hook may run on a thread whose
    // Thread::current() is not the run's. Kept apart from the answer above, which some colour-only
    // effects give while keeping the pixel being worked on in a member.
    virtual bool pixels_are_independent() { return false; }
    // The look's category, else "Uncategorized".
    virtual std::string get_categorie();
    // An effect answering true makes its whole result in one call, from m_img.
    virtual bool has_custom_process_function() { return false; }
    virtual graphics::ImagePtr custom_process_function() { return nullptr; }

    // Core Image path (PostProcess_CI.cpp). ci_init() gives the effect the filter named after its
    // class when the main bundle ships "<class name>.cifilter" naming a registered kernel; from
    // then on every run is ci_process_function() instead of the per-pixel loop.
    virtual void ci_init();
    // The filter for class_name(), registering the name first; null (and no Core Image path)
    // without a usable kernel source.
    std::shared_ptr<coreimage::Filter> ci_get_filter();
    virtual bool has_ci_process_function();
    // The filter's output over m_img, opaque (alpha forced to 1, a layout without alpha), at the
    // source's pixel size or, in preview mode, fitted inside getPreviewSize(). Null on failure.
    virtual graphics::ImagePtr ci_process_function();
    virtual void ci_dealloc();
    virtual std::shared_ptr<coreimage::Filter> ci_filter_with_name(const std::string& name);
    // "inputParam1"/"inputParam2" from the parameters' values in single precision (0 for an
    // effect without that parameter), "inputParam3" 0.
    virtual void ci_filter_set_params();
    // The image drawn into a new opaque B,G,R,X bitmap at its pixel size, fitted inside
    // getPreviewSize() with its aspect kept in preview mode. Null for no image or no memory.
    graphics::ImagePtr CGImageCreateWithNSImage(const graphics::ImagePtr& image);

    virtual bool has_custom_preview_file() { return false; }
    virtual std::string custom_preview_file() { return {}; }
    virtual bool preview_needs_frame() { return true; }
    virtual bool preview_view_needs_frame() { return true; }
    virtual void tmp_process() {}
    // Made on first request from the look's sliders; null where the look has none.
    virtual PostProcessParameter* param_1();
    virtual PostProcessParameter* param_2();
    virtual std::vector<std::shared_ptr<PostProcessParameter>>& params() { return m_params; }
    void setParams(std::vector<std::shared_ptr<PostProcessParameter>> list) { m_params = std::move(list); }

    // ---- Luminance histogram (the counters are g_histogram_table, Neighbourhood.h) ----

    // Counts round(0.3 R + 0.59 G + 0.11 B) of every pixel of the image; a null image leaves
    // the counters at zero.
    void build_histogram_table(const graphics::ImagePtr& image);
    // The first and the last occupied bin; 0 when none is.
    int32_t get_histogramm_auto_low();
    int32_t get_histogramm_auto_high();
    // Stretches the luminance of width x height pixels (colour at bytes 1, 2, 3) in place so that
    // histogramm_low .. histogramm_high spans 0 .. 256, keeping each pixel's chroma. Bounds are
    // limited to 0 .. 256; an empty range leaves the pixels as they are.
    void adjust_image_histogramm(uint8_t* bytes, uint64_t width, uint64_t height, int32_t histogramm_low,
                                 int32_t histogramm_high);

    // ---- Per-effect settings, kept under the display name (PostProcessSettings.cpp). Main thread.

    bool favorite() const { return m_favorite; }
    // Sets the mark quietly, as when the catalogue loads the marks.
    void set_fav(bool favorite) { m_favorite = favorite; }
    // Toggles the mark, stores it under name + "_fav" at once and posts
    // "PostProcessFavoriteStateDidChange" with the effect as object.
    void on_add_to_fav();
    // Saved values live under name + "PostProcessParam_1" / "PostProcessParam_2" with every blank
    // made "_". An effect without a first parameter loads and saves neither; a value without a
    // stored key stays as it is.
    void loadParametrs();
    void saveParametrs();
    // Removes the saved values (written with the next synchronisation) and sets the parameters to
    // their defaults, which then count as set.
    void resetParametrs();
    // The effect became the current one: the first time, loads its saved values. Effects that keep
    // textures while they are current extend both.
    virtual void on_preview_entered();
    virtual void on_preview_exit() {}
    // The generated thumbnail, or for an effect with a fixed thumbnail file a new image read from
    // Bundle::pathForImageResource(custom_preview_file()) (null when missing or unreadable).
    graphics::ImagePtr previewImage();
    // Keeps a new thumbnail and posts PostProcessPreviewImageDidChangeNotification; the image
    // already held, or any image for an effect with a fixed thumbnail file, changes nothing.
    virtual void setPreviewImage(graphics::ImagePtr image);
    // The display name with every blank made "_".
    std::string get_preview_image_file_name();
    // Hidden flag and sort weights, kept by SortHidePostProcessSupportManager.
    bool isHidden();
    void setHidden(bool hidden);
    uint64_t weightInCategory();
    void setWeightInCategory(uint64_t weight);
    uint64_t weight();
    void setWeight(uint64_t weight);

  protected:
    void preparation_failed() { m_preparation_failed = true; }

    int32_t step_x = 1;
    int32_t step_y = 1;
    uint8_t* p_preview_buf = nullptr; // the buffer a preview run writes into; null at full size
    int32_t preview_w = 0;
    int32_t preview_h = 0;
    graphics::ImagePtr _previewImage;
    graphics::ImagePtr m_img; // source of the run, released when it ends
    // Written by the run's thread, read by get_complete_precent() from others.
    std::atomic<int64_t> m_precent{0};
    int64_t m_prev_precent = -1;
    int64_t m_run_id = 0; // 0: the run has no serial number
    int32_t m_width = 0;  // full working-image size, also in preview runs
    int32_t m_height = 0;
    int32_t m_idx = 0;
    int32_t m_type = 0;
    bool m_favorite = false;
    bool m_silent_mode = false;
    bool m_preview_mode = false; // cleared by every per-pixel run
    bool m_preparation_failed = false;
    bool m_small_preview = false;
    bool m_parametrs_is_loaded = false;
    graphics::Point _effectCenter{0.5, 0.5};
    // Shared pointers so that this header needs no parameter definition.
    std::shared_ptr<PostProcessParameter> m_param_1;
    std::shared_ptr<PostProcessParameter> m_param_2;
    std::vector<std::shared_ptr<PostProcessParameter>> m_params;
    std::recursive_mutex m_pp_lock;
    bool m_ci_present = false;
    std::shared_ptr<coreimage::Filter> m_ci_filter;

    // Asked after before_pass. True, with levels filled, when every channel of every colour the
    // pass writes is a function of that channel's source byte alone (LevelRows): the pass then
    // writes its rows by looking the bytes up, neither calling process_row nor the pixel hook, and
    // looks at the cancel flag after every kRowChunk pixels.
    virtual bool channel_levels(ChannelLevels& levels) {
        (void)levels;
        return false;
    }
    // Fills levels with what a pass writes of colour(source) for a marked pixel, for each source
    // byte: colour is handed the source as colour_of_bytes reads it, and its answer becomes bytes
    // through store_pixels, as a hook's does.
    template <class Colour> static void make_levels(Colour&& colour, ChannelLevels& levels) {
        static_assert(256 % kRowChunk == 0);
        float r[kRowChunk], g[kRowChunk], b[kRowChunk];
        uint8_t marked[kRowChunk];
        uint32_t words[kRowChunk];
        for (int32_t first = 0; first < 256; first += kRowChunk) {
            for (int32_t i = 0; i < kRowChunk; ++i) {
                const uint8_t v = uint8_t(first + i);
                const uint8_t bytes[4] = {255, v, v, v};
                const pixel_t p = colour(colour_of_bytes(bytes));
                r[i] = p.r;
                g[i] = p.g;
                b[i] = p.b;
                marked[i] = 255;
            }
            store_pixels(r, g, b, kRowChunk, marked, 1, reinterpret_cast<uint8_t*>(words));
            for (int32_t i = 0; i < kRowChunk; ++i)
                for (int c = 0; c < 3; ++c)
                    levels.word[c][first + i] = words[i] & (0xffu << (8 * (c + 1)));
        }
    }

    // Writes row y of a per-pixel pass into dst: every step_x-th column, X from the working image,
    // the colour from process_pixel_x where X is not 0. False when the run was cancelled: the flag
    // is looked at after every pixel. Overridden only through PixelRows, which keeps this loop.
    virtual bool process_row(const foundation::Thread& thread, int32_t y, int32_t pass, uint8_t* dst);
    // The loop of process_row; pixel(x, y, pass) gives the colour. The hook runs pixel by pixel
    // (the cancel flag is looked at after each); the bytes are made a chunk of pixels at a time,
    // in one loop without branches that the compiler vectorises.
    template <class Pixel>
    bool write_row(const foundation::Thread& thread, int32_t y, int32_t pass, uint8_t* dst, Pixel&& pixel) {
        const size_t bpp = size_t(g_bpp_dv);
        const uint8_t* alpha = gp_data + size_t(y) * size_t(g_width) * bpp;
        const int32_t w = g_width;
        const int32_t sx = step_x;
        float r[kRowChunk], g[kRowChunk], b[kRowChunk];
        for (int32_t x = 0; x < w;) {
            const int32_t first = x;
            int32_t n = 0;
            bool cancelled = false;
            do {
                const pixel_t p = pixel(x, y, pass);
                r[n] = p.r;
                g[n] = p.g;
                b[n] = p.b;
                ++n;
                x += sx;
                cancelled = thread.isCancelled();
            } while (!cancelled && n < kRowChunk && x < w);
            store_pixels(r, g, b, n, alpha + size_t(first) * bpp, size_t(sx) * bpp, dst);
            dst += size_t(n) * bpp;
            if (cancelled) return false;
        }
        return true;
    }
    static constexpr int32_t kRowChunk = 64;
    // Writes n pixels of 4 bytes into dst: the alpha byte read every alpha_stride bytes, and the
    // colour (r[i], g[i], b[i]) as bytes where that alpha is not 0, black where it is. A channel
    // becomes 0 below 0 and for NaN, 255 above 1, else trunc(v x 255) in single precision. The
    // arrays hold kRowChunk entries; those from n on are overwritten.
    static void store_pixels(float* r, float* g, float* b, int32_t n, const uint8_t* alpha,
                             size_t alpha_stride, uint8_t* dst);

  private:
    graphics::ImagePtr process_whole_image(const foundation::Thread& thread);
    void process_pixels(const foundation::Thread& thread);
    void run_pass(const foundation::Thread& thread, int32_t pass, uint8_t* output, float denominator);
    bool run_rows(const foundation::Thread& thread, int32_t pass, uint8_t* output,
                  const ChannelLevels* levels, int32_t first, int32_t end);
    bool write_level_row(const foundation::Thread& thread, int32_t y, uint8_t* dst,
                         const ChannelLevels& levels);
    void report_columns(int32_t pass, int32_t x0, int32_t x1, float denominator);
    void post_on_main_thread(const char* name, foundation::Value userInfo = {});
    foundation::Value self_reference() { return foundation::Value::reference(this, "PostProcess"); }
    // Frees the copies preview_source_data() made.
    static void release_preview_sources();
};
