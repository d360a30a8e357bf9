#pragma once

// What the engine relies on of the editor window: the receiver of finished renders and progress,
// the frame it shows over the picture, and its undo manager. Every message comes on the main
// thread. The manager does not own its delegate.

#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>

class CustomPreset;
class PostProcess;
class PostProcessesManager;
namespace foundation {
class UndoManager;
}

// Posted by the manager, no object and no user info, on every mask or hide-mask change; the editor
// refreshes its undo and redo buttons on it.
inline constexpr const char* UndoManagerStackChanged = "UndoManagerStackChanged";

class PostProcessesManagerDelegate {
  public:
    virtual ~PostProcessesManagerDelegate() = default;

    // A render has ended, after its frame pass if there was one. result is the picture with the
    // frame; beforeFrame the one without it (null when no frame was applied). A null result means
    // the run failed ("ProcessFailed": the look could not prepare, or memory ran out): keep the
    // picture shown, add no undo step. A cancelled render sends no finish at all. The same holds
    // for finishPreset.
    virtual void finishPostProcess(PostProcessesManager& manager, PostProcess* effect,
                                   graphics::ImagePtr result, graphics::ImagePtr beforeFrame,
                                   bool isPreview) {
        (void)manager, (void)effect, (void)result, (void)beforeFrame, (void)isPreview;
    }
    virtual void finishPreset(PostProcessesManager& manager, const std::shared_ptr<CustomPreset>& preset,
                              graphics::ImagePtr result, graphics::ImagePtr beforeFrame, bool isPreview) {
        (void)manager, (void)preset, (void)result, (void)beforeFrame, (void)isPreview;
    }
    // Percent of a full-size render, frame pass included.
    virtual void didChangedProgress(PostProcessesManager& manager, int64_t progress) {
        (void)manager, (void)progress;
    }

    // The frame shown over the picture (an effect whose isFrame() is true), or null. Plain reads.
    virtual PostProcess* currentFrameEffect() = 0;
    virtual double frameParametr() = 0;
    // Where the undo of every mask change is registered; may be null.
    virtual foundation::UndoManager* undoManager() = 0;
};

// Sets PostProcess::g_preview_quality from the user default "k_Preview_Quality": "Low" 0,
// "Normal" 1, "High" 2; any other text leaves it. With no setting stored, "High" is stored and
// used. Answers whether the value changed, in which case the shared working image must be
// rebuilt (PostProcessesManager::cleanWorkingImage) before the next preview.
bool validatePreviewQualityParametr();
