#pragma once
// "SetAlpha": alpha raised towards opaque by "inputParam1" (0 leaves the image as it is, 1 makes
// every pixel opaque with its colour kept), over the input's extent.
#include "imageview/CICustomFilter.h"

#include <memory>

class CIFilterSetAlpha : public CICustomFilter {
  public:
    static bool registerFilter(const std::string& name);
    // Null for a name without a kernel.
    static std::shared_ptr<CIFilterSetAlpha> filterWithName(const std::string& name);

    // Null without an image or a number.
    coreimage::ImagePtr outputImage() const override;
    // "inputParam1": 0 to 1, default 0.5, identity 0.
    std::map<std::string, coreimage::InputAttributes> customAttributes() const override;

  private:
    using CICustomFilter::CICustomFilter;
};
