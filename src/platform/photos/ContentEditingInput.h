#pragma once
// One edit's input as the host hands it to an editing extension: the photo at full size, the
// adjustment data stored with it by an earlier edit (if any), and where the host wants the
// edited photo written. Immutable once handed over.
#include "platform/photos/AdjustmentData.h"

#include <optional>
#include <string>

namespace photos {

struct ContentEditingInput {
    std::string fullSizeImageURL;
    std::optional<AdjustmentData> adjustmentData;
    // The host's folder for the output; the output names its files in it.
    std::string outputDirectory;
};

} // namespace photos
