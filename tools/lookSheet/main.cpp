// Renders every look of the catalogue over one photograph, through the manager as the browser and
// the editor do: the thumbnail from the queue and the full-size result. Writes both for each look
// and one contact sheet of the thumbnails with their names, for people to judge the looks.
//
//   opalene_looksheet <photo> <output folder>
//
// A test-support program: not part of the product, never installed.
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/PixelConversion.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kTimeout = 1800; // seconds a single render may take
constexpr int kColumns = 6;
constexpr int kCellW = 320, kCellH = 220, kLabelH = 30, kGap = 8;

struct Delegate : PostProcessesManagerDelegate {
    bool finished = false;
    graphics::ImagePtr result;
    void finishPostProcess(PostProcessesManager&, PostProcess*, graphics::ImagePtr image, graphics::ImagePtr,
                           bool) override {
        finished = true;
        result = std::move(image);
    }
    void finishPreset(PostProcessesManager&, const std::shared_ptr<CustomPreset>&, graphics::ImagePtr,
                      graphics::ImagePtr, bool) override {}
    PostProcess* currentFrameEffect() override { return nullptr; }
    double frameParametr() override { return 0; }
    foundation::UndoManager* undoManager() override { return nullptr; }
};

// "17 Old TV" becomes "17_Old_TV": safe in any file system.
std::string fileStem(int position, const std::string& name) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d_", position);
    std::string stem = prefix;
    for (char c : name)
        stem += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return stem;
}

bool write(const graphics::ImagePtr& image, const std::filesystem::path& path, const char* type) {
    auto destination = imageio::ImageDestination::createWithPath(path.string(), type);
    if (!destination) return false;
    destination->addImage(image, {{imageio::kLossyCompressionQuality, 0.9}});
    return destination->finalize();
}

OIIO::ImageBuf bufferOf(const graphics::ImagePtr& image) {
    OIIO::ImageBuf buffer(OIIO::ImageSpec(image->width(), image->height(), 4, OIIO::TypeDesc::UINT8));
    graphics::convertPixels(image->data(), image->rowBytes(), image->format(),
                            static_cast<uint8_t*>(buffer.localpixels()), size_t(image->width()) * 4,
                            graphics::PixelFormat{}, image->width(), image->height());
    return buffer;
}

// Thumbnails fitted into equal cells on white, each name centred under its picture.
bool writeSheet(const std::vector<std::pair<std::string, graphics::ImagePtr>>& looks,
                const std::filesystem::path& path) {
    const int rows = (int(looks.size()) + kColumns - 1) / kColumns;
    const int pitchX = kCellW + kGap, pitchY = kCellH + kLabelH + kGap;
    OIIO::ImageBuf sheet(
        OIIO::ImageSpec(kColumns * pitchX + kGap, rows * pitchY + kGap, 3, OIIO::TypeDesc::UINT8));
    const float white[] = {1, 1, 1}, black[] = {0, 0, 0};
    OIIO::ImageBufAlgo::fill(sheet, white);
    for (size_t i = 0; i < looks.size(); ++i) {
        const int x = kGap + int(i % kColumns) * pitchX, y = kGap + int(i / kColumns) * pitchY;
        const OIIO::ImageBuf picture = bufferOf(looks[i].second);
        OIIO::ImageBuf cell = OIIO::ImageBufAlgo::fit(picture, "", 0.0f, "letterbox", false,
                                                      OIIO::ROI(0, kCellW, 0, kCellH, 0, 1, 0, 3));
        OIIO::ImageBufAlgo::paste(sheet, x, y, 0, 0, cell);
        if (!OIIO::ImageBufAlgo::render_text(sheet, x + kCellW / 2, y + kCellH + 21, looks[i].first, 18,
                                             "DejaVuSans", black, OIIO::ImageBufAlgo::TextAlignX::Center))
            std::fprintf(stderr, "No label for %s: %s\n", looks[i].first.c_str(), sheet.geterror().c_str());
    }
    return sheet.write(path.string());
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <photo> <output folder>\n", argv[0]);
        return 2;
    }
    std::string failure;
    auto source = imageio::ImageSource::createWithPath(argv[1], &failure);
    const graphics::ImagePtr photo = source ? source->createImage() : nullptr;
    if (!photo) {
        std::fprintf(stderr, "Cannot read %s: %s\n", argv[1],
                     source ? source->failureReason().c_str() : failure.c_str());
        return 1;
    }
    const std::filesystem::path folder = argv[2];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "Cannot make %s: %s\n", argv[2], error.message().c_str());
        return 1;
    }

    PostProcessesManager manager(PostProcessesManager::catalogueEntries());
    manager.setOriginalImage(photo);
    std::printf("%d x %d\n", photo->width(), photo->height());
    Delegate delegate;
    std::vector<std::pair<std::string, graphics::ImagePtr>> thumbnails;
    bool complete = true;
    for (const auto& entry : manager.postProcesses()) {
        PostProcess* effect = entry.get();
        const std::string name = effect->get_name();
        const std::string stem = fileStem(effect->get_index(), name);

        auto start = std::chrono::steady_clock::now();
        manager.setGeneratingOn(true);
        manager.pushEffectForGenerating(effect);
        foundation::RunLoop::runUntil([&] { return effect->previewImage() != nullptr; }, kTimeout);
        const graphics::ImagePtr thumbnail = effect->previewImage();
        const double thumbMs = millisecondsSince(start);

        start = std::chrono::steady_clock::now();
        delegate = {};
        manager.generateImageForPostProcess(effect, false, &delegate);
        foundation::RunLoop::runUntil([&] { return delegate.finished; }, kTimeout);
        const double fullMs = millisecondsSince(start);
        // The next thumbnail runs over the photograph again: the manager takes its pixels back from
        // the working image this render replaced.
        manager.cancelGeneratingPreview();

        const bool written = thumbnail && delegate.result &&
                             write(thumbnail, folder / (stem + "_thumb.png"), "public.png") &&
                             write(delegate.result, folder / (stem + ".jpg"), "public.jpeg");
        if (!written) {
            std::fprintf(stderr, "%s: no %s\n", name.c_str(), !thumbnail ? "thumbnail" : "result");
            complete = false;
            continue;
        }
        std::printf("%-24s full %8.0f ms   thumbnail %6.0f ms\n", name.c_str(), fullMs, thumbMs);
        std::fflush(stdout);
        thumbnails.emplace_back(name, thumbnail);
    }
    const std::filesystem::path sheet = folder / "contact-sheet.png";
    if (!writeSheet(thumbnails, sheet)) {
        std::fprintf(stderr, "Cannot write %s\n", sheet.c_str());
        return 1;
    }
    std::printf("%s\n", sheet.c_str());
    return complete ? 0 : 1;
}
