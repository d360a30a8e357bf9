#pragma once
// "Linocut" (type 0) and "Linocut 2" (any other type): black and white from the difference of two
// box blurs of the picture, white where the narrow blur is darker than the wide one. Type 1
// blurs the inverted picture, which swaps black and white.
#include "engine/PostProcess.h"
#include "kernels/Texture.h"

class PP_Linocut : public PostProcess {
  public:
    ~PP_Linocut() override;
    std::string class_name() const override { return "PP_Linocut"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    void free_textures();

    // The two blurs of the full picture, held from preparation to the end of the run.
    texture_t* mp_tex1 = nullptr;
    texture_t* mp_tex2 = nullptr;
};
