#pragma once
// The adjustments tool: twenty photographic corrections in one per-pixel pass. The editor creates
// one instance (init with the catalogue size), sets the values of params() from its sliders and
// runs it like any effect: previews while a slider moves, a full-size run on apply.
//
// The whole-image work (noise reduction, the high-pass of the luma, the shadow and highlight
// masks) is done in prepare_for_process and kept, so that a preview after a slider move redoes
// only what that slider changed. The editor calls clearCashes whenever the picture is replaced.
//
// The editor posts "processingAreCanceled" before it cancels a full-size render and
// "processingCancelingAreFinished" once it is done; a noise reduction that finishes in between
// is not kept.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"
#include "kernels/blur/GaussianKernelCache.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PP_SuperFilter : public PostProcess {
  public:
    // Positions in params(), in the toolbar's order.
    enum Adjustment {
        kRed,
        kGreen,
        kBlue,
        kContrast,
        kSaturation,
        kHue,
        kTemperature,
        kShadowAmount,
        kShadowTonalWidth,
        kHighlightAmount,
        kHighlightTonalWidth,
        kLevelsLow,
        kLevelsHigh,
        kBrightness,
        kSharpenAmount,
        kSharpenRadius,
        kDenoiseAmount,
        kDenoiseRadius,
        kExposure,
        kLevelsGamma,
        kAdjustmentCount
    };

    PP_SuperFilter();
    ~PP_SuperFilter() override;

    void init(const foundation::Value& object, int32_t index) override;
    std::string class_name() const override { return "PP_SuperFilter"; }
    static constexpr LookSpec kLook{"Super Filter", "Super", localizedSlider("Gamma", 0.1, 1.9, 1.0),
                                    localizedSlider("Brightness", 0.3, 2.0, 1.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    // The twenty adjustments, made on first call.
    std::vector<std::shared_ptr<PostProcessParameter>>& params() override;
    // Generic per-effect values; no adjustment reads them.

    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

    // Drops every cached plane and the kept noise reduction. Waits for a run in progress.
    void clearCashes();
    void processingWasCanceled() { canceled.store(true); }
    void cancelingWasFinished() { canceled.store(false); }
    // Progress of the noise reduction (0..1); false once the run's thread is cancelled.
    bool progress_callback(float fraction);
    // The form the denoise kernel calls, with the effect as context.
    static int progress_callback(float fraction, void* context);
    // Gaussian weights for radius r from a table kept for the largest radius asked.
    const float* gaussianMatrixForRadius(size_t r) { return m_kernels.gaussianMatrixForRadius(r); }

    // Stages of process_pixel_x that have their own step. Coordinates are full-image pixels.
    pixel_t processDenoiseAtY(int32_t y, int32_t x) const;
    pixel_t processHistogramAtY(int32_t y, int32_t x, pixel_t p) const;
    pixel_t processExposureAtY(int32_t y, int32_t x, float amount, pixel_t p) const;
    pixel_t processShadowsAtY(int32_t y, int32_t x, pixel_t p) const;
    pixel_t processHighlightsAtY(int32_t y, int32_t x, pixel_t p) const;
    pixel_t processSharpenAtY(int32_t y, int32_t x, pixel_t p) const;

  protected:
    // A one-byte-per-pixel plane over the working image, remembered with the size it was made for.
    struct BytePlane {
        std::unique_ptr<uint8_t[]> data;
        int32_t width = 0;
        int32_t height = 0;
        bool fits(int32_t w, int32_t h) const { return data && width == w && height == h; }
        void reset() { *this = BytePlane(); }
    };
    struct TextureFree {
        void operator()(texture_t* t) const { tex_free(t); }
    };
    using TexturePtr = std::unique_ptr<texture_t, TextureFree>;

    void buildLevelsTable(float low, float high);
    // False when memory ran out, or a blur stopped for the run's cancel.
    [[nodiscard]] bool prepareDenoise();
    [[nodiscard]] bool prepareMasks();
    // The plane's byte at (x, y), or -1 when the plane does not cover the working image there.
    int planeAt(const BytePlane& plane, int32_t x, int32_t y) const;

    double m_float_param1 = 1.0; // weight of the temperature stage
    float m_rgb_mult[3] = {1.0f, 1.0f, 1.0f};
    float previousValues[kAdjustmentCount];
    float currentValues[kAdjustmentCount];
    float defaultValues[kAdjustmentCount];
    uint8_t transform_table[256] = {};

    // Denoised working image, read per pixel; kept between preview runs of the same strength and
    // size, dropped after a full-size run (the picture changes then) and by clearCashes.
    TexturePtr mp_tex_denoise_processed;
    float m_denoise_amount = 0.0f; // the strength mp_tex_denoise_processed was made with

    BytePlane mp_highpass;   // luma minus its box blur, 128 = no detail
    BytePlane mp_shadows;    // blurred darkness, 128..255
    BytePlane mp_highlights; // blurred brightness above mid grey
    GaussianKernelCache m_kernels;
    std::atomic<bool> canceled{false};

    // What prepare_for_process works out once for the per-pixel stages.
    struct Stages {
        bool denoise = false, levels = false, temperature = false, saturation = false, hue = false,
             exposure = false, brightness = false, contrast = false, shadows = false, highlights = false,
             sharpen = false, gamma = false;
        int gamma_column = 255;        // column of the levels gamma in the gamma table
        float exponent[3] = {1, 1, 1}; // 1 / v of the channel gamma
        bool black[3] = {};            // v <= 0: the channel goes to 0
    } m_stages;
};
