#pragma once
// "Linocut 2" by box means of the working image: black where the mean over the inner radius is
// darker than the mean over the outer radius, white elsewhere.
//
// The means are single-precision sums, whose rounding decides near-ties. Exact integer window
// sums settle every pixel whose two means differ by more than that rounding could move them; only
// the others are summed the slow way, so the bytes are those of the plain sums. Each thread keeps
// the window sums of the row it works on, slid down from its last row, rather than a table of
// the whole picture.
#include "engine/PostProcess.h"
#include "engine/effects/ThreadRows.h"

#include <cstdint>
#include <vector>

class PP_LinocutInv : public PostProcess {
  public:
    PP_LinocutInv();
    ~PP_LinocutInv() override;
    std::string class_name() const override { return "PP_LinocutInv"; }
    static constexpr LookSpec kLook{"Linocut 2", "Art", localizedSlider("Inner Radius", 1.0, 3.0, 1.5),
                                    localizedSlider("Outer Radius", 3.0, 12.0, 3.2)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;
    void process_ended() override;

  private:
    struct Rows;
    // The calling thread's window sums for row y, or null without the shortcut.
    const Rows* rows_at(int32_t y);
    // Adds (sign 1) or takes away (sign -1) source row y, clamped to the picture, in every padded
    // column of sums.
    void add_row(std::vector<uint32_t>& sums, int64_t y, uint32_t sign) const;

    int32_t m_inner_radius = 0;
    int32_t m_outer_radius = 0;
    // Columns beyond each side, copies of the edge pixels: the widest radius.
    int32_t m_pad = 0;
    ThreadRows<Rows> m_thread_rows; // started only when the shortcut is taken
    // Exact differences of scaled window sums beyond this decide without the slow sums.
    double m_margin = 0.0;
};
