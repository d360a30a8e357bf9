#include "platform/imageio/JpegReader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace imageio {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool corrupt; // the library warned of damaged data and went on with made-up pixels
};

[[noreturn]] void errorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void noteWarning(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !errors->corrupt) {
        errors->corrupt = true;
        info->err->format_message(info, errors->message);
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Where the pixel stored at (x, y) of the decoded picture lands in the turned one:
// origin + x * xStep + y * yStep, in bytes.
struct Placement {
    ptrdiff_t origin = 0, xStep = 4, yStep = 0;
    bool rowsInPlace() const { return xStep == 4; } // a stored row is a row of the result, in order
};

// w x h stored, rowBytes the result's.
Placement placement(int orientation, int w, int h, size_t rowBytes) {
    const auto R = ptrdiff_t(rowBytes), right = ptrdiff_t(w - 1) * 4, bottom = ptrdiff_t(h - 1);
    switch (orientation) {
    case 2:
        return {right, -4, R};
    case 3:
        return {bottom * R + right, -4, -R};
    case 4:
        return {bottom * R, 4, -R};
    case 5:
        return {0, R, 4};
    case 6:
        return {bottom * 4, R, -4};
    case 7:
        return {ptrdiff_t(w - 1) * R + bottom * 4, -R, -4};
    case 8:
        return {ptrdiff_t(w - 1) * R, -R, 4};
    }
    return {0, 4, R};
}

// Stored rows [y0, y0 + n) of `strip` (rows of w pixels) into their places.
void place(const uint8_t* const* strip, int y0, int n, int w, const Placement& p, uint8_t* out) {
    if (std::abs(p.xStep) == 4) {
        for (int j = 0; j < n; ++j) {
            uint8_t* d = out + p.origin + ptrdiff_t(y0 + j) * p.yStep;
            const uint8_t* s = strip[j];
            for (int x = 0; x < w; ++x, d += p.xStep)
                std::memcpy(d, s + size_t(x) * 4, 4);
        }
        return;
    }
    // A stored row is a column of the result: down the strip first, so writes stay in a line.
    for (int x = 0; x < w; ++x) {
        uint8_t* d = out + p.origin + ptrdiff_t(x) * p.xStep + ptrdiff_t(y0) * p.yStep;
        for (int j = 0; j < n; ++j, d += p.yStep)
            std::memcpy(d, strip[j] + size_t(x) * 4, 4);
    }
}

void invert(uint8_t* row, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        row[i] = uint8_t(255 - row[i]);
}

constexpr int kStripRows = 16; // the tallest block row a decoder hands out at once

} // namespace

void JpegPixels::Free::operator()(uint8_t* p) const {
    std::free(p);
}

int jpegScaleEighths(int stored, int wanted) {
    if (wanted <= 0 || wanted >= stored) return 8;
    return std::clamp(int((int64_t(wanted) * 8 + stored - 1) / stored), 1, 8);
}

namespace {

enum class Outcome { Decoded, Damaged, Changed, NoMemory };

// The decode itself, apart from anything with a destructor: the library's error exit jumps out of
// it. Damaged comes with errors->message.
Outcome decode(std::FILE* file, int width, int height, const JpegRequest& request, JpegPixels* out,
               ErrorManager* errors) {
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors->base);
    errors->base.error_exit = errorExit;
    errors->base.emit_message = noteWarning;
    if (setjmp(errors->jump)) {
        jpeg_destroy_decompress(&info);
        return errors->base.msg_code == JERR_OUT_OF_MEMORY ? Outcome::NoMemory : Outcome::Damaged;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (int(info.image_width) != width || int(info.image_height) != height) {
        jpeg_destroy_decompress(&info);
        return Outcome::Changed;
    }
    const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = inks ? JCS_CMYK : JCS_EXT_RGBA; // RGBA: the fourth byte is 255
    info.scale_num = unsigned(std::clamp(request.scaleEighths, 1, 8));
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    const int w = int(info.output_width), h = int(info.output_height);
    const bool turns = request.orientation >= 5 && request.orientation <= 8;
    out->width = turns ? h : w;
    out->height = turns ? w : h;
    out->rowBytes = size_t(out->width) * 4;
    out->inks = inks;
    out->data.reset(static_cast<uint8_t*>(std::malloc(out->rowBytes * size_t(out->height))));
    if (!out->data) {
        jpeg_destroy_decompress(&info);
        return Outcome::NoMemory;
    }
    const Placement p = placement(request.orientation, w, h, out->rowBytes);
    const bool inverted = inks && info.saw_Adobe_marker;
    // Rows land in the result directly when they keep their order, else in a strip first.
    JSAMPARRAY strip = p.rowsInPlace()
                           ? nullptr
                           : info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                    JDIMENSION(size_t(w) * 4), kStripRows);
    JSAMPROW rows[kStripRows];
    while (info.output_scanline < info.output_height) {
        const int y0 = int(info.output_scanline);
        const int wanted = std::min(kStripRows, h - y0);
        for (int j = 0; j < wanted; ++j)
            rows[j] = strip ? strip[j] : out->data.get() + p.origin + ptrdiff_t(y0 + j) * p.yStep;
        const int n = int(jpeg_read_scanlines(&info, rows, JDIMENSION(wanted)));
        if (inverted)
            for (int j = 0; j < n; ++j)
                invert(rows[j], size_t(w) * 4);
        if (strip) place(rows, y0, n, w, p, out->data.get());
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return errors->corrupt ? Outcome::Damaged : Outcome::Decoded;
}

} // namespace

bool readJpeg(const std::string& path, int width, int height, const JpegRequest& request, JpegPixels* out,
              std::string* failure) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *failure = "The file cannot be read.";
        return false;
    }
    *out = JpegPixels{};
    ErrorManager errors{};
    const Outcome outcome = decode(file.get(), width, height, request, out, &errors);
    if (outcome == Outcome::Decoded) return true;
    *out = JpegPixels{};
    if (outcome == Outcome::Changed)
        *failure = "The file changed since it was opened.";
    else if (outcome == Outcome::NoMemory)
        *failure = kNotEnoughMemory;
    else
        *failure = std::string("The image data is damaged: ") + errors.message;
    return false;
}

} // namespace imageio
