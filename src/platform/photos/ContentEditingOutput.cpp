#include "platform/photos/ContentEditingOutput.h"

#include <filesystem>

namespace photos {

ContentEditingOutput::ContentEditingOutput(std::shared_ptr<const ContentEditingInput> input)
    : _input(std::move(input)) {
    if (!_input) return;
    const std::filesystem::path photo(_input->fullSizeImageURL);
    const std::filesystem::path folder(_input->outputDirectory);
    const std::string stem = photo.stem().empty() ? std::string("photo") : photo.stem().string();
    _renderedContentURL = (folder / (stem + ".jpg")).string();
    _adjustmentDataURL = (folder / (stem + ".adjustment.json")).string();
}

} // namespace photos
