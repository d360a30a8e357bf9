#include "platform/imageio/ImageDestination.h"

#include "platform/imageio/ImageSource.h"
#include "platform/imageio/MetadataBlocks.h"
#include "platform/imageio/PixelReader.h"
#include "platform/imageio/PixelWriter.h"
#include "platform/imageio/PropertyMapping.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "platform/imageio/TypeTable.h"

#include <OpenImageIO/filesystem.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace imageio {

namespace {

// The largest side the JPEG library takes.
constexpr int kMaxJPEGSide = 65500;

const foundation::Value* find(const foundation::Dictionary& d, const char* key) {
    auto it = d.find(key);
    return it == d.end() ? nullptr : &it->second;
}

std::string tiffCompression(const foundation::Dictionary& properties) {
    const foundation::Value* tiff = find(properties, "{TIFF}");
    const foundation::Value* code = tiff ? tiff->find("Compression") : nullptr;
    switch (code ? code->getInt64().value_or(1) : 1) {
    case 5:
        return "lzw";
    case 7:
        return "jpeg";
    case 8:
    case 32946:
        return "zip";
    case 32773:
        return "packbits";
    default:
        return "none";
    }
}

std::string folderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::string hiddenStem(const std::filesystem::path& p) {
    return "." + p.stem().string() + "-";
}

// Our temporaries are named ".<stem>-XXXXXX<ext>" (mkstemps' six letters or digits).
bool isTemporaryOf(const std::filesystem::path& target, const std::string& name) {
    const std::string stem = hiddenStem(target), ext = target.extension().string();
    if (name.size() != stem.size() + 6 + ext.size() || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    return std::all_of(name.begin() + long(stem.size()), name.begin() + long(stem.size() + 6),
                       [](unsigned char c) { return std::isalnum(c); });
}

// Saves of `path` that were killed left their temporaries behind.
void removeStaleTemporaries(const std::string& path) {
    const std::filesystem::path target(path);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folderOf(path), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (isTemporaryOf(target, it->path().filename().string()) && it->is_regular_file(typeError))
            std::filesystem::remove(it->path(), typeError);
    }
}

// A new empty file beside `path` keeping its extension (some writers choose by it), open in *fd;
// "" when none can be made.
std::string createTemporaryBeside(const std::string& path, int* fd) {
    const std::filesystem::path p(path);
    const std::string ext = p.extension().string();
    std::string name = (std::filesystem::path(folderOf(path)) / (hiddenStem(p) + "XXXXXX")).string() + ext;
    *fd = mkstemps(name.data(), int(ext.size()));
    if (*fd < 0) return {};
    // A new file gets the usual mode, a replaced one keeps its own.
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0) {
        fchmod(*fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(*fd, 0666 & ~mask);
    }
    return name;
}

// Every byte written and on the disk; a full disk shows here, not later.
bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writers that cannot write into memory write the file themselves and ignore some failed writes:
// what they wrote must read back whole. Its bytes into *bytes.
bool readBackWhole(const std::string& file, int width, int height, std::vector<unsigned char>* bytes) {
    std::string failure;
    auto in = openImageInput(file, &failure);
    if (!in || in->spec().width != width || in->spec().height != height || !readImage(*in, file, &failure))
        return false;
    std::ifstream stream(file, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

// Formats whose OpenImageIO writer fills an in-memory file correctly (JPEG 2000's writes nothing
// there, TIFF's loses its Exif directory).
// OpenImageIO converts a strided layout component by component; 8-bit colour over four-byte
// pixels is packed here in bands of rows instead, which costs the encoder a fifth less. Only for
// writers whose scanline path reads what it is given (the HEIF writer reads past a band).
bool writePixels(OIIO::ImageOutput& out, const OutputPixels& pixels, const OIIO::ImageSpec& spec,
                 const std::string& format) {
    const int w = spec.width, h = spec.height;
    const bool banded = format == "jpeg" || format == "png" || format == "tiff";
    if (!banded || pixels.type != OIIO::TypeDesc::UINT8 || spec.format != OIIO::TypeDesc::UINT8 ||
        pixels.channels != 3 || pixels.xstride != 4)
        return out.write_image(pixels.type, pixels.data, pixels.xstride, pixels.ystride);
    constexpr int kBand = 64;
    std::vector<uint8_t> band;
    try {
        band.resize(size_t(w) * 3 * size_t(std::min(h, kBand)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const auto* data = static_cast<const uint8_t*>(pixels.data);
    for (int y0 = 0; y0 < h; y0 += kBand) {
        const int y1 = std::min(h, y0 + kBand);
        uint8_t* d = band.data();
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = data + size_t(y) * size_t(pixels.ystride);
            for (int x = 0; x < w; ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        if (!out.write_scanlines(y0, y1, 0, OIIO::TypeDesc::UINT8, band.data())) return false;
    }
    return true;
}

bool writesIntoMemory(const std::string& format) {
    if (format == "jpeg2000" || format == "tiff") return false;
    auto out = OIIO::ImageOutput::create(format);
    return out && out->supports("ioproxy");
}

} // namespace

std::unique_ptr<ImageDestination> ImageDestination::createWithPath(const std::string& path,
                                                                   const std::string& type) {
    const auto& writable = destinationTypeIdentifiers();
    const TypeEntry* entry = typeEntry(type);
    if (!entry || std::find(writable.begin(), writable.end(), type) == writable.end()) return nullptr;
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec)) return nullptr;
    const std::string folder = folderOf(path);
    if (!std::filesystem::is_directory(folder, ec) || access(folder.c_str(), W_OK) != 0) return nullptr;
    return std::unique_ptr<ImageDestination>(new ImageDestination(path, entry->format));
}

void ImageDestination::addImage(graphics::ImagePtr image, foundation::Dictionary properties) {
    ++added_;
    image_ = std::move(image);
    properties_ = std::move(properties);
}

bool ImageDestination::finalize() {
    if (finalized_ || added_ != 1 || !image_) return false;
    finalized_ = true;
    removeStaleTemporaries(path_);
    int fd = -1;
    const std::string temporary = createTemporaryBeside(path_, &fd);
    if (temporary.empty()) return false;
    std::vector<unsigned char> bytes;
    bool written = encode(temporary, &bytes) && ftruncate(fd, 0) == 0 && lseek(fd, 0, SEEK_SET) == 0 &&
                   writeAll(fd, bytes) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ImageDestination::encode(const std::string& file, std::vector<unsigned char>* bytes) const {
    const bool exr = format_ == "openexr";
    // Radiance files hold linear light, as OpenEXR files do and as the sources read them.
    OutputPixels pixels;
    if (!outputPixels(*image_, exr || format_ == "hdr", &pixels)) return false;

    const foundation::Value* depth = find(properties_, "Depth");
    OIIO::TypeDesc type =
        depth && depth->getInt64().value_or(8) == 16 ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::UINT8;
    if (exr) type = OIIO::TypeDesc::HALF;
    if (format_ == "hdr") type = OIIO::TypeDesc::FLOAT;
    OIIO::ImageSpec spec(image_->width(), image_->height(), pixels.channels, type);
    if (pixels.channels == 4 && !exr) spec.attribute("oiio:UnassociatedAlpha", 1);
    addMetadataAttributes(properties_, spec);

    if (const foundation::Value* q = find(properties_, kLossyCompressionQuality)) {
        const int quality = std::clamp(int(std::lround(q->getDouble().value_or(1) * 100)), 1, 100);
        const char* codec = format_ == "jpeg"   ? "jpeg"
                            : format_ == "webp" ? "webp"
                            : format_ == "heif" ? "heic"
                                                : nullptr;
        if (codec) spec.attribute("Compression", std::string(codec) + ":" + std::to_string(quality));
    }
    if (format_ == "tiff") spec.attribute("Compression", tiffCompression(properties_));

    // The JPEG library ends the process on errors it cannot report: keep its limits.
    if (format_ == "jpeg" && std::max(image_->width(), image_->height()) > kMaxJPEGSide) return false;
    auto out = OIIO::ImageOutput::create(format_);
    if (!out) return false;
    const bool inMemory = writesIntoMemory(format_);
    OIIO::Filesystem::IOVecOutput memory(*bytes);
    if (inMemory && !out->set_ioproxy(&memory)) return false;
    if (!out->open(file, spec) || !writePixels(*out, pixels, spec, format_) || !out->close()) return false;
    out.reset();
    if (!inMemory && !readBackWhole(file, image_->width(), image_->height(), bytes)) return false;

    const foundation::Value* carried = find(properties_, kMetadataBlocksProperty);
    auto blocks = carried ? carried->getObject<const MetadataBlocks>("imageio.MetadataBlocks") : nullptr;
    if (blocks && MetadataBlocks::canHold(format_)) {
        MetadataBlocks::Changes changes{image_->width(), image_->height(), {}};
        if (const foundation::Value* tiff = find(properties_, "{TIFF}"))
            if (const foundation::Value* software = tiff->find("Software"))
                if (const std::string* s = software->getString()) changes.software = *s;
        return blocks->writeTo(bytes, changes);
    }
    return true;
}

} // namespace imageio
