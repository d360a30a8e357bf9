#pragma once
// A decorative frame built around the picture (or over its edges) from eight piece images of a
// frame set: four corners and four edge pieces, the edges tiled with soft overlapping seams.
// A whole-image effect: custom_process_function() returns the framed picture in one call.
//
// A piece P of frame f in gallery g is the bundle picture "f<f>_g<g>_<P>" (jpg, else png); the
// pieces are "ul", "u", "ur", "l", "r", "dl", "d", "dr" and the thumbnail is "f<f>_g<g>_preview".
// Missing pieces are left out of the drawing; without the "ul" corner there is no border width
// and the picture comes back unframed.
#include "engine/PostProcess.h"

#include <cstdint>
#include <string>

class PP_OV_Frame : public PostProcess {
  public:
    // Configures the frame once, after init().
    void setup_name(const std::string& name, const std::string& category, int32_t gallery_index,
                    int32_t frame_index, bool image_under_frame, bool simple_frame, float scale);

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& category() const { return m_category; }
    void setCategory(std::string category) { m_category = std::move(category); }
    int64_t gal_idx() const { return m_gal_idx; }
    void setGal_idx(int64_t index) { m_gal_idx = index; }
    int64_t frame_idx() const { return m_frame_idx; }
    void setFrame_idx(int64_t index) { m_frame_idx = index; }

    std::string class_name() const override { return "PP_OV_Frame"; }
    std::string get_name() override { return m_name; }
    std::string get_categorie() override { return m_category; }
    bool isFrame() override { return true; }
    bool has_custom_process_function() override { return true; }
    bool preview_needs_frame() override { return true; }
    bool preview_view_needs_frame() override { return false; }
    // "Width", 50 to 200, default 100: the border in percent of the frame's own thickness.
    PostProcessParameter* param_1() override;

    std::string custom_preview_file() override;
    bool has_custom_preview_file() override;
    // The first thumbnail given stays; a null image clears it. Every change is announced.
    void setPreviewImage(graphics::ImagePtr image) override;

    // The piece's picture from the bundle, or null when the frame set lacks it.
    graphics::ImagePtr load_image(const std::string& piece) const;

    // One side of a piece with a faded inner band, as an A,R,G,B premultiplied image.
    // side 0 (left): the left `sideSize` columns, the last `gradientWidth` columns fading out;
    // side 1 (right): columns W - sideSize - 1 .. W - 2, the first columns fading in;
    // side 2 (up): the top `sideSize` rows, the last rows fading out;
    // side 3 (down): the bottom `sideSize` rows, the first rows fading in.
    // Null for another side, no image or a side size of 0 or less.
    static graphics::ImagePtr makeGradientedImage(const graphics::ImagePtr& image, int32_t side,
                                                  int32_t gradientWidth, int32_t sideSize);

    // The framed picture; null when cancelled or when the canvas cannot be made.
    graphics::ImagePtr custom_process_function() override;

    // The factor that fits w x h inside max_w x max_h (1 when it fits already).
    static float get_scaled_rect_in_w(float w, float h, float max_w, float max_h);
    // The same pixels with the given size in points.
    static graphics::ImagePtr scaleImge(const graphics::ImagePtr& image, graphics::Size size);

  private:
    // Sets the progress and reports it; false when the run's thread was cancelled.
    bool progress(int64_t percent);
    std::string piece_file(const std::string& piece) const;

    std::string m_name;
    std::string m_category;
    int64_t m_gal_idx = 0;
    int64_t m_frame_idx = 0;
    bool m_image_under_frame = false;
    bool m_simple_frame = false;
    float m_scale = 1.0f;
};
