#pragma once
// Square cells, each filled with the colour of its top-left pixel: types 1 "Pixelate 1",
// 2 "Pixelate", 3 "Pixelate 3". Type 0 "Mosaic 1" also darkens the pixels along the cell borders
// by the edge between neighbouring cells. For types 0 to 3 "Pixelization" is the number of cells
// along the longer side; any other type ("Mosaic 1" again) takes it as the cell size in pixels.
#include "engine/PostProcess.h"

#include <cstdint>

class PP_Mosaic1 : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Mosaic1"; }
    int32_t look_count() const override;
    const LookSpec* look_spec() const override;
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    int32_t m_pixel_size = 0;
    int32_t m_cell = 1; // fixed for a run
};
