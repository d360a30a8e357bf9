#include "platform/imageio/ImageDestination.h"

#include "platform/imageio/ImageSource.h"
#include "platform/imageio/MetadataBlocks.h"
#include "platform/imageio/PixelWriter.h"
#include "platform/imageio/PropertyMapping.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "platform/imageio/TypeTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <OpenImageIO/filesystem.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace imageio {

namespace {

const foundation::Value* find(const foundation::Dictionary& d, const char* key) {
    auto it = d.find(key);
    return it == d.end() ? nullptr : &it->second;
}

std::string tiffCompression(const foundation::Dictionary& properties) {
    const foundation::Value* tiff = find(properties, "{TIFF}");
    const foundation::Value* code = tiff ? tiff->find("Compression") : nullptr;
    switch (code ? code->getInt64().value_or(1) : 1) {
    case 5: return "lzw";
    case 7: return "jpeg";
    case 8:
    case 32946: return "zip";
    case 32773: return "packbits";
    default: return "none";
    }
}

std::string folderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// A new empty file beside `path` keeping its extension (some writers choose by it), or "".
std::string createTemporaryBeside(const std::string& path) {
    const std::filesystem::path p(path);
    const std::string ext = p.extension().string();
    std::string hidden = p.stem().string();
    hidden.insert(0, 1, '.');
    hidden += "-XXXXXX";
    std::string name = (std::filesystem::path(folderOf(path)) / hidden).string() + ext;
    const int fd = mkstemps(name.data(), int(ext.size()));
    if (fd < 0) return {};
    // A new file gets the usual mode, a replaced one keeps its own.
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0) {
        fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    close(fd);
    return name;
}

// Every byte written and the file closed without error.
bool writeWhole(const std::string& file, const std::vector<unsigned char>& bytes) {
    const int fd = open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    return close(fd) == 0 && done == bytes.size();
}

} // namespace

std::unique_ptr<ImageDestination> ImageDestination::createWithPath(const std::string& path, const std::string& type) {
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
    const std::string temporary = createTemporaryBeside(path_);
    if (temporary.empty()) return false;
    if (!write(temporary) || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ImageDestination::write(const std::string& file) const {
    const bool exr = format_ == "openexr";
    // Radiance files hold linear light, as OpenEXR files do and as the sources read them.
    OutputPixels pixels;
    if (!outputPixels(*image_, exr || format_ == "hdr", &pixels)) return false;

    const foundation::Value* depth = find(properties_, "Depth");
    OIIO::TypeDesc type = depth && depth->getInt64().value_or(8) == 16 ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::UINT8;
    if (exr) type = OIIO::TypeDesc::HALF;
    if (format_ == "hdr") type = OIIO::TypeDesc::FLOAT;
    OIIO::ImageSpec spec(image_->width(), image_->height(), pixels.channels, type);
    if (pixels.channels == 4 && !exr) spec.attribute("oiio:UnassociatedAlpha", 1);
    addMetadataAttributes(properties_, spec);

    if (const foundation::Value* q = find(properties_, kLossyCompressionQuality)) {
        const int quality = std::clamp(int(std::lround(q->getDouble().value_or(1) * 100)), 1, 100);
        const char* codec = format_ == "jpeg" ? "jpeg" : format_ == "webp" ? "webp" : format_ == "heif" ? "heic" : nullptr;
        if (codec) spec.attribute("Compression", std::string(codec) + ":" + std::to_string(quality));
    }
    if (format_ == "tiff") spec.attribute("Compression", tiffCompression(properties_));

    auto out = OIIO::ImageOutput::create(format_);
    if (!out) return false;
    // Encoders whose libraries end the process on a failed file write (JPEG) or ignore it (PNG)
    // write into memory, and the bytes are written here, where a full disk is an answer.
    std::vector<unsigned char> encoded;
    OIIO::Filesystem::IOVecOutput memory(encoded);
    const bool inMemory = format_ == "jpeg" || format_ == "png";
    if (inMemory && !out->set_ioproxy(&memory)) return false;
    if (!out->open(file, spec) ||
        !out->write_image(pixels.type, pixels.data, pixels.xstride, pixels.ystride) || !out->close())
        return false;
    out.reset();
    if (inMemory && !writeWhole(file, encoded)) return false;

    const foundation::Value* carried = find(properties_, kMetadataBlocksProperty);
    auto blocks = carried ? carried->getObject<const MetadataBlocks>("imageio.MetadataBlocks") : nullptr;
    if (blocks && MetadataBlocks::canHold(format_)) {
        MetadataBlocks::Changes changes{image_->width(), image_->height(), {}};
        if (const foundation::Value* tiff = find(properties_, "{TIFF}"))
            if (const foundation::Value* software = tiff->find("Software"))
                if (const std::string* s = software->getString()) changes.software = *s;
        return blocks->writeTo(file, changes);
    }
    return true;
}

} // namespace imageio
