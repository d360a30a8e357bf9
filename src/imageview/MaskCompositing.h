#pragma once
// The built-in filters the mask canvas composes with, as one-call helpers over lazy images.
#include "platform/coreimage/Image.h"
#include "platform/graphics/PixelFormat.h"

namespace MaskCompositing {

// The committed mask's storage: 16-bit premultiplied RGBA.
inline const graphics::PixelFormat kRGBA16{
    16, {graphics::Channel::R, graphics::Channel::G, graphics::Channel::B, graphics::Channel::A}, true};

// "CIConstantColorGenerator": the colour everywhere.
coreimage::ImagePtr constant(double r, double g, double b, double a);
// "CIBlendWithMask": front where the mask's green is 1, back where it is 0.
coreimage::ImagePtr blend(const coreimage::ImagePtr& front, const coreimage::ImagePtr& back,
                          const coreimage::ImagePtr& mask);
// A two-image compositing filter by name ("CISourceInCompositing", "CISourceOverCompositing").
coreimage::ImagePtr composite(const char* name, const coreimage::ImagePtr& source,
                              const coreimage::ImagePtr& destination);

} // namespace MaskCompositing
