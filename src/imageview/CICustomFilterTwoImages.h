#pragma once
// A custom filter over two images ("inputImage", "inputImageSecond"): its kernel runs over the
// first image's extent and the result is cropped to it. "ComposeTwoMasks" and "EraseFilter".
#include "imageview/CICustomFilter.h"

#include <memory>

class CICustomFilterTwoImages : public CICustomFilter {
  public:
    static bool registerFilter(const std::string& name);
    // Null for a name without a kernel.
    static std::shared_ptr<CICustomFilterTwoImages> filterWithName(const std::string& name);

    // Null unless both images are set.
    coreimage::ImagePtr outputImage() const override;

  private:
    using CICustomFilter::CICustomFilter;
};
