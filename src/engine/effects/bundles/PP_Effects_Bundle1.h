#pragma once
// Nineteen overlay looks in one class, chosen by the type the catalogue sets: types 0 to 11 the
// "Grunge" looks (a contrast-stretched grey tinted with a fixed colour, times a paper, rays or
// wall texture), 12 to 18 the "Groovy Lo-Fi" looks (a colour treatment blended with a retro
// texture). Any other type is "Test1": no parameters, no overlay, the picture left as it is.
//
// The overlay is loaded afresh for every full-size run; while the effect is the live preview
// (between on_preview_entered and on_preview_exit) the one loaded is kept for the next runs. It
// is kept at its own size and stretched a row (a column when laid across) at a time by each
// thread as its pixels need it, never whole at the picture's size. When the overlay picture is
// missing or unreadable the look leaves out its overlay step and keeps its colour treatment,
// instead of darkening the picture with an empty texture; when memory for stretching it runs out
// the run fails.
#include "engine/PostProcess.h"
#include "platform/graphics/ScaledImage.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class PP_Effects_Bundle1 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Effects_Bundle1"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool this_filter_is_simply_color_modify() override { return true; }
    PP_Effects_Bundle1();
    ~PP_Effects_Bundle1() override;
    // The type's overlay at the preview buffer's size in preview mode ("_small" picture), else at
    // the working size. Throws std::bad_alloc when memory runs out.
    void setup_overlays();
    void on_preview_entered() override;
    void prepare_for_process() override;
    void process_ended() override;
    void on_preview_exit() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    bool pixels_are_independent() override { return true; }

  protected:
    // Finds the row's overlay line once and calls the pixel formula directly, as PixelRows does.
    bool process_row(const foundation::Thread& thread, int32_t y, int32_t pass, uint8_t* dst) override;

  private:
    struct Line;
    pixel_t treated(int32_t x, int32_t y) const;
    pixel_t overlaid(pixel_t c, pixel_t t) const;
    pixel_t texel(const uint8_t* line, int32_t x) const;
    pixel_t texel_at(int32_t x, int32_t y);
    Line& thread_line();
    const uint8_t* line_for_row(int32_t y);
    // Line `index` of the stretched overlay, made by the calling thread.
    const uint8_t* overlay_line(int32_t index);
    void free_lines();

    std::unique_ptr<graphics::ScaledImage> m_overlay; // empty when the picture is missing
    int32_t m_overlay_w = 0;                          // the size it is stretched to
    int32_t m_overlay_h = 0;
    // Each thread's line of a run, found through a thread_local tagged with m_run.
    std::vector<std::unique_ptr<Line>> m_lines;
    size_t m_lines_taken = 0;
    uint64_t m_run = 0;
    std::mutex m_lines_lock;
    float m_prm1 = 0.0f;
    float m_prm2 = 0.0f;
    bool m_in_preview = false;
    // Fixed for a run.
    bool m_has_overlay = false; // m_overlay draws a picture
    bool m_transposed = false;  // the overlay's orientation differs from the picture's
    pixel_t m_tint{0.0f, 0.0f, 0.0f};
};
