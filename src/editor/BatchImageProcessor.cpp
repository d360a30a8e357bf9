#include "editor/BatchImageProcessor.h"

#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "kernels/drawing/ARGBBitmapContext.h"
#include "platform/graphics/Drawing.h"
#include "platform/imageio/ImageSource.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXStatistics.h"

#include <QMessageBox>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace BatchImageProcessor {

graphics::ImagePtr croppedImageFromUrl(const std::string& path, QSize size, bool isThumbnail) {
    std::unique_ptr<imageio::ImageSource> source = imageio::ImageSource::createWithPath(path);
    if (!source || source->count() == 0 || size.isEmpty()) return nullptr;
    const foundation::Dictionary& properties = source->copyProperties();
    const double W = size.width(), H = size.height();
    graphics::ImagePtr picture;
    graphics::Rect from;
    if (isThumbnail) {
        const auto number = [&](const char* key) {
            auto found = properties.find(key);
            return found == properties.end() ? 0.0 : found->second.getDouble().value_or(0.0);
        };
        double width = number("PixelWidth"), height = number("PixelHeight");
        if (number("Orientation") > 4) std::swap(width, height);
        if (width <= 0 || height <= 0) return nullptr;
        const double scale = std::min(1.0, std::max(W / width, H / height));
        picture = source->createThumbnail(int(std::max(width * scale, height * scale)));
        if (!picture) return nullptr;
        from = graphics::Rect((picture->width() - W) * 0.5, (picture->height() - H) * 0.5, W, H);
    } else {
        picture = source->createThumbnail(0); // the whole image, upright
        if (!picture) return nullptr;
        from = graphics::Rect(0, 0, picture->width(), picture->height());
    }
    auto context = CreateARGBBitmapContext(size_t(size.width()), size_t(size.height()));
    if (!context) return nullptr;
    uint8_t* pixels = context->data();
    // Draw the source rectangle into the whole of W x H: scale by W / from.width, placed so that
    // the rectangle's corner lands on the origin.
    const double sx = W / from.size.width, sy = H / from.size.height;
    graphics::drawImage(*context,
                        graphics::Rect(-from.origin.x * sx, -from.origin.y * sy, picture->width() * sx,
                                       picture->height() * sy),
                        picture);
    graphics::ImagePtr result = graphics::createImage(*context);
    context.reset();
    std::free(pixels);
    return result;
}

graphics::ImagePtr processRequest(const KXBatchImageRequest& request, PostProcess* effect,
                                  const std::shared_ptr<CustomPreset>& preset) {
    graphics::ImagePtr scaled = croppedImageFromUrl(request.imageUrl, request.imageSize, request.isThumbnail);
    if (!scaled || !request.shouldProcess) return scaled;
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    return manager.getProcessedImageForBatch(effect, preset, scaled);
}

bool batchProcessingButtonPressed(QWidget* window, KXBatchProcessing& batch, PostProcess* effect,
                                  std::shared_ptr<CustomPreset> preset) {
    services::KXStatistics::useBatch();
    if (!effect && !preset) {
        const auto text = [](const char* key) {
            return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
        };
        auto* alert =
            new QMessageBox(QMessageBox::Information, QString(),
                            text("To launch batch processing, select a photo effect first from the bottom "
                                 "toolbar. But don't click Apply."),
                            QMessageBox::NoButton, window);
        alert->addButton(text("OK"), QMessageBox::AcceptRole);
        alert->setAttribute(Qt::WA_DeleteOnClose);
        alert->setWindowModality(Qt::WindowModal);
        alert->open();
        return false;
    }
    batch.setImageProcessBlock([effect, preset](const KXBatchImageRequest& request) {
        return processRequest(request, effect, preset);
    });
    batch.showBatchProcessingIfNeededWithCompletionHandler([effect, preset] {
        PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
        manager.cleanWorkingImage();
        if (preset)
            manager.pushPresetForGenerating(preset);
        else if (effect)
            manager.pushEffectForGenerating(effect);
    });
    return true;
}

} // namespace BatchImageProcessor
