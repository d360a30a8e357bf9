// opalene_artwork <bundle folder>: draws every picture the effects load and writes it into the
// bundle folder and its Textures.bundle/. The same build writes the same pixels on any machine.
#include "Artwork.h"

#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/TypeIdentifiers.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <bundle folder>\n", argv[0]);
        return 2;
    }
    const fs::path bundle = argv[1];
    const fs::path shared = bundle / "Textures.bundle";
    std::error_code error;
    fs::create_directories(shared, error);

    int failures = 0;
    const artwork::Write write = [&](artwork::Folder folder, const std::string& file,
                                     const artwork::Raster& raster) {
        const fs::path path = (folder == artwork::Folder::Shared ? shared : bundle) / file;
        const std::string type = imageio::typeForExtension(path.extension().string().substr(1));
        auto destination = imageio::ImageDestination::createWithPath(path.string(), type);
        bool written = false;
        if (destination) {
            foundation::Dictionary properties;
            properties[imageio::kLossyCompressionQuality] = foundation::Value(0.93);
            destination->addImage(artwork::toImage(raster), std::move(properties));
            written = destination->finalize();
        }
        if (!written) {
            std::fprintf(stderr, "opalene_artwork: cannot write %s\n", path.c_str());
            ++failures;
        }
    };

    artwork::writeSketchPapers(write);
    artwork::writeBlendTextures(write);
    artwork::writeOverlays(write);
    artwork::writeBrushes(write);
    return failures == 0 ? 0 : 1;
}
