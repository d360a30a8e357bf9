#pragma once
// "Old Photo": the picture's luma, contrasted, given a warm fixed chroma and multiplied by the
// "Vignette2" overlay (×3 at the default brightness of 0.5, ×6 at the top).
//
// A preview run loads the "_small" picture afresh; while the effect is the live preview (between
// on_preview_entered and on_preview_exit) it keeps the one loaded, and a full-size run then uses
// it; otherwise a full-size run loads the full picture and drops it when it ends.
#include "engine/ImageEditable.h"
#include "engine/PostProcess.h"
#include "kernels/vmath.h"

#include <memory>

class PP_OldCamera : public PostProcess {
  public:
    std::string class_name() const override { return "PP_OldCamera"; }
    static constexpr LookSpec kLook{"Old Photo", "Vintage", localizedSlider("Contrast", 0.4, 2.0, 1.2),
                                    localizedSlider("Brightness", 0.0, 1.0, 0.5)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool this_filter_is_simply_color_modify() override { return true; }
    bool pixels_are_independent() override { return true; }
    void setup_overlays();
    void on_preview_entered() override;
    void on_preview_exit() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    std::unique_ptr<ImageEditable> m_filter;
    matr4_t YIQMatrix{};
    matr4_t inverseYIQ{};
    double m_contrast = 0.0;
    double m_vignette = 0.0;
    bool m_in_preview = false;
    // Fixed for a run: the vignette's orientation differs from the picture's.
    bool m_transposed = false;
};
