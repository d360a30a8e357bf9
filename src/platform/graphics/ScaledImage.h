#pragma once
// An image scaled onto a rectangle of a buffer exactly as drawImage draws it (Drawing.h), made a
// row or a column at a time on the calling thread, for callers that sample the drawn picture
// piece by piece and never hold it whole. drawImage draws through it, so the bytes are the same.
//
// Construction and scratch() throw std::bad_alloc when memory runs out. Any number of threads may
// draw at once, each with its own Scratch.
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelFormat.h"
#include "platform/graphics/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace graphics {

class ScaledImage {
  public:
    // The image drawn into `rect` (y-up pixel coordinates, as drawImage takes them) of a
    // width x height buffer of 4-byte pixels in `format`.
    ScaledImage(const ImagePtr& image, const Rect& rect, int width, int height, const PixelFormat& format);
    ~ScaledImage();
    ScaledImage(const ScaledImage&) = delete;
    ScaledImage& operator=(const ScaledImage&) = delete;

    // The drawn pixels: buffer columns [firstColumn, endColumn), rows [firstRow, endRow); none for
    // a null image or an empty rectangle.
    bool empty() const;
    int firstColumn() const;
    int endColumn() const;
    int firstRow() const;
    int endRow() const;
    // Work of one drawn row, in pixels, for sizing bands.
    size_t rowWork() const;

    // Buffers of one drawing thread; it keeps the last source rows it resampled, so that rows
    // drawn in order read each source row once.
    struct Scratch {
        std::vector<float> line, sum, column, pixels;
        std::vector<float> rows[2];
        int rowIndex[2] = {-1, -1};
        int columnIndex = -1;
    };
    Scratch scratch() const;

    // Composites buffer row y of the drawing over out, the row's pixel firstColumn(). Rows
    // outside [firstRow, endRow) draw nothing.
    void drawRow(int y, Scratch& scratch, uint8_t* out) const;
    // Composites buffer column x of the drawing over out, the column's pixel firstRow(), the
    // next rows every `stride` bytes. Columns outside [firstColumn, endColumn) draw nothing.
    void drawColumn(int x, Scratch& scratch, uint8_t* out, size_t stride) const;
    // Composites pixel (x, y) of the drawing over the 4 bytes at out, for callers that visit pixels
    // in no order; nothing outside what the drawing covers.
    void drawPixel(int x, int y, Scratch& scratch, uint8_t* out) const;

  private:
    struct Plan;
    const float* sourceRow(int y, Scratch& scratch) const;
    void sourcePixel(int y, int column, Scratch& scratch, float* out) const;

    std::unique_ptr<const Plan> plan_;
};

} // namespace graphics
