#pragma once
// "Linocut 2" by box means of the working image: black where the mean over the inner radius is
// darker than the mean over the outer radius, white elsewhere.
//
// The means are single-precision sums, whose rounding decides near-ties. A summed-area table of
// exact integer sums settles every pixel whose two means differ by more than that rounding could
// move them; only the others are summed the slow way, so the bytes are those of the plain sums.
#include "engine/PostProcess.h"

#include <cstdint>
#include <memory>

class PP_LinocutInv : public PostProcess {
  public:
    std::string class_name() const override { return "PP_LinocutInv"; }
    static constexpr LookSpec kLook{"Linocut 2", "Art", localizedSlider("Inner Radius", 1.0, 3.0, 1.5),
                                    localizedSlider("Outer Radius", 3.0, 12.0, 3.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    // The window sum of R + G + B over columns x - r .. x + r - 1 and rows y - r .. y + r - 1,
    // positions clamped to the image.
    uint32_t window_sum(int32_t x, int32_t y, int32_t r) const;

    int32_t m_inner_radius = 0;
    int32_t m_outer_radius = 0;
    // Summed-area table of R + G + B over the image extended by m_pad copies of its edge pixels
    // on every side; sums wrap modulo 2^32, window sums are far below it. Null: no shortcut.
    std::unique_ptr<uint32_t[]> m_sums;
    int32_t m_pad = 0;
    size_t m_sums_stride = 0;
    // Exact differences of scaled window sums beyond this decide without the slow sums.
    double m_margin = 0.0;
};
