#pragma once
// What an extension hands back for one edit: the edited photo, written by the extension at
// renderedContentURL, and the adjustment data it sets. The host names both files: the photo's
// base name with ".jpg" in the input's output folder, and the record beside it.
#include "platform/photos/AdjustmentData.h"
#include "platform/photos/ContentEditingInput.h"

#include <memory>
#include <optional>
#include <string>

namespace photos {

class ContentEditingOutput {
  public:
    explicit ContentEditingOutput(std::shared_ptr<const ContentEditingInput> input);

    const std::shared_ptr<const ContentEditingInput>& input() const { return _input; }
    const std::string& renderedContentURL() const { return _renderedContentURL; }
    // Where the host stores the adjustment data once the edit is accepted.
    const std::string& adjustmentDataURL() const { return _adjustmentDataURL; }

    const std::optional<AdjustmentData>& adjustmentData() const { return _adjustmentData; }
    void setAdjustmentData(AdjustmentData data) { _adjustmentData = std::move(data); }

  private:
    std::shared_ptr<const ContentEditingInput> _input;
    std::string _renderedContentURL;
    std::string _adjustmentDataURL;
    std::optional<AdjustmentData> _adjustmentData;
};

} // namespace photos
