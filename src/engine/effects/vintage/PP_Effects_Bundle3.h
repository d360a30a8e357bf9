#pragma once
// Seven lo-fi treatments, one per type, that mix the pixel with a box-blurred copy of the whole
// working image and with an overlay picture ("lomo_overlayer" or "horror", "_small" in preview)
// sampled bilinearly at its own size. Results are returned unclamped.
//
// Overlay and blurred copy live for one full-size run, or for as long as the effect is the live
// preview; they are rebuilt when the working image they were made from was replaced.
#include "engine/ImageEditable.h"
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

#include <cstdint>
#include <memory>
#include <string>

class PP_Effects_Bundle3 : public PostProcess {
  public:
    ~PP_Effects_Bundle3() override;
    std::string class_name() const override { return "PP_Effects_Bundle3"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return true; }
    // Loads the overlay of the current type into m_filter; other types load nothing.
    void setup_overlays();
    void prepare_for_process() override;
    void process_ended() override;
    void on_preview_exit() override;
    void on_preview_entered() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    void release_cache();
    // False when memory ran out or the run was cancelled.
    bool build_blurred_copy();
    pixel_t overlay_texel(int32_t x, int32_t y) const;
    const uint8_t* blurred_texel(int32_t x, int32_t y) const;

    texture_t* mp_tex = nullptr; // X,R,G,B like the working image, m_width x m_height
    std::unique_ptr<ImageEditable> m_filter;
    float m_prm1 = 0.0f;
    float m_prm2 = 0.0f;
    bool m_in_preview = false;
    // The working image the cache was made from, and how the overlay lies over it.
    uint64_t m_cache_generation = 0;
    int32_t m_cache_width = 0;
    int32_t m_cache_height = 0;
    bool m_transposed = false;
};
