#pragma once
// The kernels of the view's and the mask canvas's own filters, compiled in and registered with
// the kernel table under their filter names ("RadialBrush", "ComposeTwoMasks", "EraseFilter",
// "SetAlpha") once per process. Colours are premultiplied.
#include "platform/coreimage/Kernel.h"

namespace CustomFilterKernels {

// Safe to call any number of times from any thread.
void registerKernels();

// samplers: a constant (unused); values: centre, colour 0, colour 1, radius 0, radius 1,
// opacity, softness (ignored). Colour 0 up to radius 0, colour 1 from radius 1 on, a smoothstep
// between; all times the opacity.
void radialBrushRow(const coreimage::KernelRow& row);
// samplers: a, b. Opaque; each colour channel the larger of the two.
void composeTwoMasksRow(const coreimage::KernelRow& row);
// samplers: a (the dab), b (the mask). Opaque; b's colour times 1 - a's alpha.
void eraseFilterRow(const coreimage::KernelRow& row);
// samplers: the image; values: p. Alpha becomes a + p (1 - a), the colour kept.
void setAlphaRow(const coreimage::KernelRow& row);

} // namespace CustomFilterKernels
