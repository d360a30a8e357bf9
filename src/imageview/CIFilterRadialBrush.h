#pragma once
// "RadialBrush": a round dab, colour 0 inside radius 0 fading smoothly to colour 1 at radius 1,
// times the opacity, defined on the square of radius 1 (in single precision) about the centre.
#include "platform/coreimage/Filter.h"

#include <memory>

class CIFilterRadialBrush : public coreimage::Filter {
  public:
    CIFilterRadialBrush();

    // Always succeeds: the kernel is compiled in.
    static bool registerFilter();
    // A new brush whatever the name.
    static std::shared_ptr<CIFilterRadialBrush> filterWithName(const std::string& name);

    // Inputs "inputCenter" (vector), "inputColor0", "inputColor1" (colours), "inputRadius0",
    // "inputRadius1", "inputSoftness", "inputOpacity" (numbers); null when one is missing.
    coreimage::ImagePtr outputImage() const override;
};
