#include "platform/coreimage/PixellateImage.h"

#include "platform/coreimage/ScratchBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace coreimage {

PixellateImage::PixellateImage(ImagePtr input, graphics::Point center, double scale)
    : Image(input->extent()), input_(std::move(input)), center_(center), scale_(scale),
      inside_(pixelsInside(extent())) {}

int PixellateImage::sourceIndex(int i, double center) const {
    const double cell = std::floor((i + 0.5 - center) / scale_);
    const double sample = std::floor(center + (cell + 0.5) * scale_);
    // Huge cells put the sample far away; keep it where integers and widths stay valid.
    constexpr double kLimit = double(1 << 29);
    return int(std::clamp(sample, -kLimit, kLimit));
}

void PixellateImage::render(const PixelRect& rect, float* out) const {
    const PixelRect live = rect.intersection(inside_);
    if (live != rect) std::memset(out, 0, rect.area() * 4 * sizeof(float));
    if (live.isEmpty()) return;

    std::vector<int> columns(size_t(live.width)), rows(size_t(live.height));
    for (int i = 0; i < live.width; ++i)
        columns[size_t(i)] = sourceIndex(live.x + i, center_.x);
    for (int j = 0; j < live.height; ++j)
        rows[size_t(j)] = sourceIndex(live.y + j, center_.y);
    // Both are non-decreasing, so their ends bound what is read.
    const PixelRect bounds{columns.front(), rows.front(), columns.back() - columns.front() + 1,
                           rows.back() - rows.front() + 1};

    // Small cells read nearly every pixel of the bounds: render them at once. Large cells read
    // a few pixels far apart: render just those, one by one.
    const bool dense = bounds.area() <= 4 * live.area();
    std::vector<int> uniqueColumns, uniqueRows;
    if (!dense) {
        uniqueColumns = columns;
        uniqueRows = rows;
        uniqueColumns.erase(std::unique(uniqueColumns.begin(), uniqueColumns.end()), uniqueColumns.end());
        uniqueRows.erase(std::unique(uniqueRows.begin(), uniqueRows.end()), uniqueRows.end());
    }
    ScratchBuffer buffer(dense ? bounds.area() * 4 : uniqueRows.size() * uniqueColumns.size() * 4);
    size_t bufferWidth = 0;
    if (dense) {
        input_->render(bounds, buffer.get());
        bufferWidth = size_t(bounds.width);
        for (int& c : columns)
            c -= bounds.x;
        for (int& r : rows)
            r -= bounds.y;
    } else {
        bufferWidth = uniqueColumns.size();
        for (size_t r = 0; r < uniqueRows.size(); ++r)
            for (size_t c = 0; c < bufferWidth; ++c)
                input_->render({uniqueColumns[c], uniqueRows[r], 1, 1},
                               buffer.get() + (r * bufferWidth + c) * 4);
        const auto indexIn = [](const std::vector<int>& unique, int v) {
            return int(std::lower_bound(unique.begin(), unique.end(), v) - unique.begin());
        };
        for (int& c : columns)
            c = indexIn(uniqueColumns, c);
        for (int& r : rows)
            r = indexIn(uniqueRows, r);
    }

    for (int j = 0; j < live.height; ++j) {
        float* d = out + (size_t(live.y + j - rect.y) * size_t(rect.width) + size_t(live.x - rect.x)) * 4;
        const float* s = buffer.get() + size_t(rows[size_t(j)]) * bufferWidth * 4;
        for (int i = 0; i < live.width; ++i, d += 4)
            std::memcpy(d, s + size_t(columns[size_t(i)]) * 4, 4 * sizeof(float));
    }
}

} // namespace coreimage
