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
    std::string get_name() override { return m_type == 0 ? "Linocut" : "Linocut 2"; }
    std::string get_categorie() override { return "Art"; }
    bool pixels_are_independent() override { return true; }
    PostProcessParameter* param_1() override; // "Inner Radius"
    PostProcessParameter* param_2() override; // "Outer Radius"
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    void free_textures();

    // The two blurs of the full picture, held from preparation to the end of the run.
    texture_t* mp_tex1 = nullptr;
    texture_t* mp_tex2 = nullptr;
};
