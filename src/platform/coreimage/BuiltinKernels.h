#pragma once
// The row functions of the built-in filters that work pixel by pixel on premultiplied RGBA.
#include "platform/coreimage/Kernel.h"

namespace coreimage {

// values: the R, G, B and A vectors, then the bias. Works on unpremultiplied colour:
// out = (c.R, c.G, c.B, c.A) + bias, clamped to 0..1, then premultiplied again.
void colorMatrixRow(const KernelRow& row);
// Colour c becomes 1 - c, alpha kept.
void colorInvertRow(const KernelRow& row);
// samplers: foreground, background, mask; fg.m + bg.(1 - m), m the mask's green channel.
void blendWithMaskRow(const KernelRow& row);
// samplers: source, destination; the source where the destination is, by its alpha.
void sourceInRow(const KernelRow& row);
// samplers: source, destination; the source over the destination.
void sourceOverRow(const KernelRow& row);

} // namespace coreimage
