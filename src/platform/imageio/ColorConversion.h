#pragma once
// Colour on the way in and out of files: embedded ICC profiles are converted to sRGB with
// Little CMS, and scene-linear data (OpenEXR, Radiance) is encoded to sRGB and back. Pixels
// here are rows of interleaved components of one of three depths: 8 and 16 bit unsigned, or
// 32-bit float.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imageio {

enum class ColorModel { Gray, RGB, CMYK };

// The colour model and description of an ICC profile; false for data Little CMS cannot parse.
bool describeProfile(const std::vector<uint8_t>& icc, ColorModel* model, std::string* name);

// Converts width x height pixels of `model`, followed by one more component when `extra` (alpha
// or a skipped one; it is copied), described by `icc`, into four-component sRGB pixels whose
// fourth component is the copied one or left untouched. src and dst may be the same rows for
// RGB pixels with an extra component. False, with nothing written, when the profile does not
// fit the pixels or already is sRGB.
bool convertProfileToSRGB(const std::vector<uint8_t>& icc, ColorModel model, bool extra, int bitsPerComponent,
                          const uint8_t* src, size_t srcRowBytes, uint8_t* dst, size_t dstRowBytes, int width,
                          int height);

// Encodes the colour of linear float RGBA (or RGBX) pixels to sRGB in place. Premultiplied
// colour is divided by alpha first; the result is never premultiplied.
void encodeLinearToSRGB(float* pixels, size_t rowBytes, int width, int height, bool premultiplied);
// The inverse for writing linear files, over pixels of three (RGB) or four (RGBA) floats:
// straight sRGB in, linear colour out, premultiplied by alpha for four (OpenEXR stores
// associated alpha).
void decodeSRGBToLinear(float* pixels, size_t rowBytes, int width, int height, int components);

} // namespace imageio
