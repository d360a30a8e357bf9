#pragma once
// A kernel: a C++ function that computes one destination row at a time from its arguments.
// Image arguments reach it as samplers, in order; the other arguments as Vec4 values, in
// order (a number in x, a vector's components, a colour premultiplied). Kernel-language source
// texts only name kernels: kernelsWithString finds the registered functions of those names.
#include "platform/coreimage/FilterValue.h"
#include "platform/coreimage/Image.h"
#include "platform/coreimage/Sampler.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace coreimage {

struct KernelRow {
    std::span<const Sampler> samplers;
    std::span<const Vec4> values;
    // Destination pixels (x + i, y) for i < count; the destination coordinate of pixel i is
    // its centre (x + i + 0.5, y + 0.5).
    int x = 0;
    int y = 0;
    int count = 0;
    float* out = nullptr; // count premultiplied RGBA pixels, all to be written
};

class Kernel;
using KernelPtr = std::shared_ptr<const Kernel>;

class Kernel {
  public:
    using Function = void (*)(const KernelRow& row);

    // roiMargin: how many pixels beyond the destination pixel the function reads its
    // samplers; they are rendered that much larger.
    Kernel(std::string name, Function function, int roiMargin = 0);

    // The registered kernels named by the source's declarations (`kernel vec4 name(...)`), in
    // order; empty when it declares none or names one that is not registered.
    static std::vector<KernelPtr> kernelsWithString(std::string_view source);

    const std::string& name() const { return name_; }

    // The kernel evaluated over the domain of definition (the output's extent; transparent
    // outside it). Null when an image argument is null or an argument is of a kind a kernel
    // cannot take (transform, rectangle, nothing).
    ImagePtr apply(const graphics::Rect& definition, const std::vector<FilterValue>& arguments) const;

  private:
    std::string name_;
    Function function_;
    int roiMargin_;
};

} // namespace coreimage
