#pragma once
// One effect class behind many looks: the picture combined with a bundle texture by one of 41
// numbered blend modes (1 to 28), or graded by fixed colour curves that ignore the texture (29 to
// 41). Each instance carries its own display name, category, texture file and mode. Modes 0, 21
// and numbers outside 0..41 leave the picture as it is.
//
// Texture "<base>.<ext>" is looked up with "_v" before it for portrait pictures and "_small"
// after the base in preview; a missing "_small" falls back to the full-size file. A mode that
// reads the texture passes the picture through when no file is found at all. While previewed the
// texture is kept between runs made at the same size and orientation.
#include "engine/ImageEditable.h"
#include "engine/PixelRows.h"
#include "engine/PostProcess.h"

#include <memory>
#include <string>

class PP_ImageFilter : public PixelRows<PP_ImageFilter> {
  public:
    using PostProcess::init;
    void init(const foundation::Value& object, std::string name, std::string image_name, int32_t blend_mode,
              int32_t index, std::string categorie);
    // The program's texture looks, 0 .. texture_look_count() - 1, each its own name, category,
    // texture and mode; the look of type made through the initialiser above.
    static int32_t texture_look_count();
    void init_texture_look(int32_t type, int32_t index);

    std::string class_name() const override { return "PP_ImageFilter"; }
    std::string get_name() override { return m_name; }
    std::string get_categorie() override { return m_categorie; }
    bool this_filter_is_simply_color_modify() override { return true; }
    PostProcessParameter* param_1() override;
    PostProcessParameter* param_2() override;
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }
    void process_ended() override;
    void on_preview_entered() override;
    void on_preview_exit() override;

  private:
    bool reads_texture() const;
    // The texture for a target of w x h, or null when no file of the name could be read.
    std::unique_ptr<ImageEditable> load_texture(bool preview, int32_t w, int32_t h);
    pixel_t blend(pixel_t s, int32_t x, int32_t y) const;
    pixel_t grade(pixel_t s) const;

    std::unique_ptr<ImageEditable> m_filter;
    std::string m_name;
    std::string m_img_name;
    std::string m_categorie;
    int32_t m_bm = 0;
    double m_float_param1 = 0.0;
    double m_float_param2 = 0.0;
    bool m_in_preview = false;

    // Fixed for a run.
    float m_p1 = 0.0f;
    float m_p2 = 0.0f;
    bool m_transposed = false;
    // The target size m_filter was made for: a preview texture is reused only at that size.
    int32_t m_filter_w = 0;
    int32_t m_filter_h = 0;
    bool m_reported_missing = false;
};
