#pragma once
// A stand-in for the editor window as the manager's delegate: records every finished render and
// every progress value, and answers the frame and undo questions with what the test set.
// Header only.

#include "engine/CustomPreset.h"
#include "engine/PostProcessesManagerDelegate.h"

#include <cstdint>
#include <memory>
#include <vector>

class FakeManagerDelegate : public PostProcessesManagerDelegate {
  public:
    struct Finish {
        PostProcess* effect = nullptr;        // null for a preset
        std::shared_ptr<CustomPreset> preset; // null for an effect
        graphics::ImagePtr result;
        graphics::ImagePtr beforeFrame;
        bool isPreview = false;
    };

    PostProcess* frame = nullptr;
    double frameValue = 0;
    foundation::UndoManager* undo = nullptr;

    std::vector<Finish> finishes;
    std::vector<int64_t> progress;

    void finishPostProcess(PostProcessesManager&, PostProcess* effect, graphics::ImagePtr result,
                           graphics::ImagePtr beforeFrame, bool isPreview) override {
        finishes.push_back({effect, nullptr, std::move(result), std::move(beforeFrame), isPreview});
    }
    void finishPreset(PostProcessesManager&, const std::shared_ptr<CustomPreset>& preset,
                      graphics::ImagePtr result, graphics::ImagePtr beforeFrame, bool isPreview) override {
        finishes.push_back({nullptr, preset, std::move(result), std::move(beforeFrame), isPreview});
    }
    void didChangedProgress(PostProcessesManager&, int64_t value) override { progress.push_back(value); }

    PostProcess* currentFrameEffect() override { return frame; }
    double frameParametr() override { return frameValue; }
    foundation::UndoManager* undoManager() override { return undo; }
};
