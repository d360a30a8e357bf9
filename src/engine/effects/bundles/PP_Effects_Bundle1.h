#pragma once
// Nineteen overlay looks in one class, chosen by the type the catalogue sets: types 0 to 11 the
// "Grunge" looks (a contrast-stretched grey tinted with a fixed colour, times a paper, rays or
// wall texture), 12 to 18 the "Groovy Lo-Fi" looks (a colour treatment blended with a retro
// texture). Any other type is "Test1": no parameters, no overlay, the picture left as it is.
//
// The overlay is loaded afresh for every full-size run; while the effect is the live preview
// (between on_preview_entered and on_preview_exit) the one loaded is kept for the next runs. When
// the overlay picture is missing or unreadable the look leaves out its overlay step and keeps its
// colour treatment, instead of darkening the picture with an empty texture.
#include "engine/ImageEditable.h"
#include "engine/PixelRows.h"
#include "engine/PostProcess.h"

#include <memory>

class PP_Effects_Bundle1 : public PixelRows<PP_Effects_Bundle1> {
  public:
    std::string class_name() const override { return "PP_Effects_Bundle1"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return true; }
    // The type's overlay at the preview buffer's size in preview mode ("_small" picture), else at
    // the working size.
    void setup_overlays();
    void on_preview_entered() override;
    void prepare_for_process() override;
    void process_ended() override;
    void on_preview_exit() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }

  private:
    pixel_t treated(int32_t x, int32_t y) const;
    pixel_t texel(int32_t x, int32_t y) const;

    std::unique_ptr<ImageEditable> m_filter;
    float m_prm1 = 0.0f;
    float m_prm2 = 0.0f;
    bool m_in_preview = false;
    // Fixed for a run.
    bool m_has_overlay = false; // a picture was drawn into m_filter
    bool m_transposed = false;  // the overlay's orientation differs from the picture's
    pixel_t m_tint{0.0f, 0.0f, 0.0f};
};
