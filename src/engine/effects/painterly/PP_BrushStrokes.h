#pragma once
// A painting of stamped brush strokes: the oil paint kernel repaints the whole working image once
// per run with the bundle's four brush pictures, then every pixel reads the painting back with a
// contrast ("Brush Strokes") or a strong contrast and saturation ("Brush Strokes Vivid"). Preview
// runs paint the full-size image too, so strokes keep their size; the strokes are drawn from a
// sequence seeded by the photo, so a preview shows the strokes the saved result will have.
#include "engine/ImageEditable.h"
#include "engine/PixelRows.h"
#include "engine/effects/texture/OutputTexture.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class PP_BrushStrokes : public PixelRows<PP_BrushStrokes> {
  public:
    std::string class_name() const override { return "PP_BrushStrokes"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    void prepare_for_process() override;
    // The painting at (x, y); the source pixel when there is none (memory ran out).
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }
    void process_ended() override;

    // The kernel's stroke scale for a working image of width x height and a "Scale" value.
    static float painting_scale(int32_t width, int32_t height, double scale);
    // The strokes' random sequence for a picture of width x height pixels (the working image's
    // layout) painted at `scale`: the same photo and settings give the same painting in the
    // thumbnail, the preview and the saved result.
    static uint64_t strokes_seed(const uint8_t* pixels, int32_t width, int32_t height, float scale);

  private:
    // Held only while a run prepares; white where a picture is transparent, as white paints nothing.
    std::array<std::unique_ptr<ImageEditable>, 4> m_brushes;
    float m_contrast = 0.0f;
    // The painting, g_width x g_height pixels in the working image's layout: at full size in the
    // run's output buffer, in preview a buffer owned by the effect, not the process, so that it
    // goes with the run that made it.
    const uint8_t* m_painting = nullptr;
    std::unique_ptr<uint8_t[]> mp_tmp_buf;
    OutputTexture m_output;
};
