#pragma once
// The editor's side of batch processing: scaling an input file for a request, and applying the
// selected (previewed, not applied) effect or preset to it through the engine's synchronous runs.
#include "editor/KXBatchProcessing.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <string>

class CustomPreset;
class PostProcess;

namespace BatchImageProcessor {

// The input at W x H: a thumbnail covers the size (never enlarged) and is cropped to it around
// its centre, upright; a full request takes the whole upright image drawn into W x H. Null when
// the file cannot be opened as an image.
graphics::ImagePtr croppedImageFromUrl(const std::string& path, QSize size, bool isThumbnail);

// One request: the scaled input, processed by the preset (when set) or else the effect (when
// set) when the request asks for processing. Null when the input cannot be read.
graphics::ImagePtr processRequest(const KXBatchImageRequest& request, PostProcess* effect,
                                  const std::shared_ptr<CustomPreset>& preset);

// The Batch button: with nothing selected, a sheet on `window` says what to do and false is
// answered; otherwise the window gets its blocks and shows. When it is done, the shared working
// image is cleared and the selection's browser thumbnail queued again.
bool batchProcessingButtonPressed(QWidget* window, KXBatchProcessing& batch, PostProcess* effect,
                                  std::shared_ptr<CustomPreset> preset);

} // namespace BatchImageProcessor
