#pragma once
// The protocol between the host and an editing extension, one edit at a time. The host calls
// every method on its main thread except finish, which it may call from any thread. The
// completion of finish runs on the main thread with the output, or with null when the edit
// produced nothing usable (the host then keeps the photo as it was).
#include "platform/graphics/Image.h"
#include "platform/photos/AdjustmentData.h"
#include "platform/photos/ContentEditingInput.h"
#include "platform/photos/ContentEditingOutput.h"

#include <functional>
#include <memory>

namespace photos {

class ContentEditingController {
  public:
    using CompletionHandler = std::function<void(std::shared_ptr<ContentEditingOutput>)>;

    virtual ~ContentEditingController() = default;
    // Whether the extension can resume an earlier edit from its record; when not, the host hands
    // it the rendered photo as a fresh input.
    virtual bool canHandleAdjustmentData(const AdjustmentData& data) = 0;
    virtual void startContentEditingWithInput(std::shared_ptr<const ContentEditingInput> input,
                                              graphics::ImagePtr placeholderImage) = 0;
    virtual void finishContentEditingWithCompletionHandler(CompletionHandler completionHandler) = 0;
    virtual void cancelContentEditing() = 0;
    virtual bool shouldShowCancelConfirmation() const = 0;
};

} // namespace photos
