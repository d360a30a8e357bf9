#pragma once
// Row-parallel loops for whole-image passes. Splits [0, rows) into contiguous bands and runs
// fn(firstRow, endRow) for each on its own std::thread (the caller's thread takes one band),
// returning when all are done. Small jobs run inline on the caller's thread. fn must be safe to
// run concurrently on disjoint bands. The first exception thrown by a band is rethrown here
// once every band has ended.
#include <cstddef>
#include <functional>

namespace graphics {

// pixelsPerRow sizes the job: a few thousand pixels are not worth a thread.
void parallelRows(int rows, size_t pixelsPerRow, const std::function<void(int firstRow, int endRow)>& fn);

} // namespace graphics
