#pragma once
// Factory of the bitmap contexts behind the working image, previews and histogram buffers:
// a zero-filled buffer of 4 x width x height bytes, rows of 4 x width bytes, 8 bits per
// component, device RGB. The context does not own the buffer: the caller takes it with
// data(), drops the context, then frees the buffer with std::free.
// Failures are reported on standard error and answer null.
#include "platform/graphics/BitmapContext.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// alpha_skip (low byte) 1: alpha byte first and ignored (X,R,G,B); 0: premultiplied alpha first (A,R,G,B).
std::unique_ptr<graphics::BitmapContext> CreateARGBBitmapContextAlphaSkip(size_t width, size_t height,
                                                                          uint8_t alpha_skip);
// The same with alpha_skip 1.
std::unique_ptr<graphics::BitmapContext> CreateARGBBitmapContext(size_t width, size_t height);
