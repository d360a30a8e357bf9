#pragma once
// "Linocut" (type 0) and "Linocut 2" (any other type): black and white from the difference of two
// box blurs of the picture, white where the narrow blur is darker than the wide one. Type 1
// blurs the inverted picture, which swaps black and white.
//
// The blurred pictures are never held whole: each thread of a run blurs just the two texel rows
// its pixel samples, carrying its column sums down from row to row, so a run holds a few rows per
// thread instead of two copies of the picture. The bytes are those of the whole blurred textures.
#include "engine/PostProcess.h"
#include "engine/effects/ThreadRows.h"

#include <cstdint>
#include <vector>

class PP_Linocut : public PostProcess {
  public:
    PP_Linocut();
    ~PP_Linocut() override;
    std::string class_name() const override { return "PP_Linocut"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    struct Rows;
    // The calling thread's rows of this run, made on its first pixel.
    Rows& thread_rows();
    // Texel row j of blur b (4 bytes a texel, colour at 1-3), computed unless the thread has it;
    // `keep` is a row the caller still holds, which is not overwritten.
    const uint8_t* blurred_row(Rows& rows, int b, int32_t j, int32_t keep);
    void add_source_row(uint32_t* sums, int32_t j, uint32_t times, bool subtract) const;

    // The texture the blurs start from: its size and the source column and row of every texel.
    int32_t m_tex_w = 0;
    int32_t m_tex_h = 0;
    std::vector<int32_t> m_columns;
    std::vector<int32_t> m_rows;
    bool m_inverted = false;
    int32_t m_radius[2] = {0, 0};
    ThreadRows<Rows> m_thread_rows;
};
