#pragma once
// The one place where whole-image passes split their work across threads. Work is cut into
// independent items (rows, column strips) whose results do not depend on how they are grouped, so
// the output is the same byte for byte whatever the thread count. The calling thread takes a chunk
// itself; small jobs run inline. The first exception thrown by a chunk is rethrown once every chunk
// has ended.
#include <cstddef>
#include <functional>

namespace graphics {

// Threads a pass may use; 0 restores the default (one per hardware thread), 1 runs everything on
// the calling thread.
void setParallelThreads(unsigned count);
unsigned parallelThreads();

// Runs fn(begin, end) over contiguous chunks covering [0, count), each at least minItems long
// (except when count itself is smaller), on up to parallelThreads() threads.
void parallelFor(int count, int minItems, const std::function<void(int begin, int end)>& fn);

// True when the thread whose work the caller does was cancelled: the caller's own, or in a chunk
// of parallelFor the thread that called it. Kernels that answer whether they finished poll it per
// row or strip and stop. parallelFor itself always runs every chunk: callers that keep what they
// drew (working images, cached textures) rely on it being whole.
bool workCancelled();

// Row bands sized by the pixels they hold: a few thousand pixels are not worth a thread.
void parallelRows(int rows, size_t pixelsPerRow, const std::function<void(int firstRow, int endRow)>& fn);

} // namespace graphics
