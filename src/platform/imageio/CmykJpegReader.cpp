#include "platform/imageio/CmykJpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <jpeglib.h>

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

} // namespace

bool readCmykJpeg(const std::string& path, int width, int height, std::vector<uint8_t>* inks, std::string* failure) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *failure = "The file cannot be read.";
        return false;
    }
    try {
        inks->assign(size_t(width) * size_t(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        *failure = "There is not enough memory for the image.";
        return false;
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = noteWarning;
    // No object with a destructor lives between here and the jump.
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        *failure = std::string("The image data is damaged: ") + errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    if ((info.jpeg_color_space != JCS_CMYK && info.jpeg_color_space != JCS_YCCK) || int(info.image_width) != width ||
        int(info.image_height) != height) {
        jpeg_destroy_decompress(&info);
        *failure = "The file changed since it was opened.";
        return false;
    }
    info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&info);
    const bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = inks->data() + size_t(info.output_scanline) * size_t(width) * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (errors.corrupt) {
        *failure = std::string("The image data is damaged: ") + errors.message;
        return false;
    }
    if (inverted)
        for (uint8_t& v : *inks) v = uint8_t(255 - v);
    return true;
}

} // namespace imageio
