#pragma once
// "Explosion": a zoom blur streaking toward the effect centre. Each pixel averages 35 samples along
// the line to the centre, spread by "Amount" and by the square of its distance from the centre
// ("Radius" runs the other way: higher keeps a larger middle sharp). The centre pixel itself has
// no direction and keeps its colour.
#include "engine/PostProcess.h"

#include <string>

class PP_Explosion : public PostProcess {
  public:
    std::string class_name() const override { return "PP_Explosion"; }
    static constexpr LookSpec kLook{"Explosion", "Blur", localizedSlider("Amount", 2.0, 10.0, 5.0),
                                    localizedSlider("Radius", 1.0, 10.0, 5.0)};
    const LookSpec* look_spec() const override { return &kLook; }
    bool isCenterSupported() override { return true; }
    bool pixels_are_independent() override { return true; }
    void prepare_for_process() override;
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override;

  private:
    double m_blur_scale = 0.0;
    double m_canter_radius = 0.0;
    // Fixed for the run by prepare_for_process.
    int32_t m_cx = 0;
    int32_t m_cy = 0;
};
