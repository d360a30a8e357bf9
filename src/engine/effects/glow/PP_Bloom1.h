#pragma once
// Six glow looks, one per type: a contrast- or tone-treated copy of the photo plus a glow. Five
// take the glow from a gaussian blur of the photo (two passes), "Glowing Edges" from a soft edge
// mask (one pass). The working image is only read.
#include "engine/PixelRows.h"
#include "engine/effects/texture/OutputTexture.h"
#include "kernels/Texture.h"

#include <cstdint>
#include <string>

class PP_Bloom1 : public PixelRows<PP_Bloom1> {
  public:
    ~PP_Bloom1() override;
    std::string class_name() const override { return "PP_Bloom1"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    uint64_t passes() override { return m_type == 2 ? 1 : 2; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;
    // Every pixel reads only the source and the texture prepared for the run.
    bool pixels_are_independent() override { return true; }

  private:
    // The blurred photo (bytes as the gaussian second pass leaves them) or, for "Glowing Edges",
    // the soft edge mask; working-image size, at full size in the run's output buffer.
    texture_t* mp_tex = nullptr;
    OutputTexture m_output;
    double m_float_param1 = 0.0;
    double m_float_param2 = 0.0;
    uint64_t _currentRadius = 1;
};
