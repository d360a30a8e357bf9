#pragma once

// The one owner of every effect the user can pick: the catalogue, built once in a fixed order,
// each effect's index being its position. The editor, the browser and the presets find effects
// here by position or by display name. Main thread only, except the first call of the shared
// instance, which may come from any thread.

#include "platform/coreimage/Image.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PostProcess;
namespace foundation {
class UndoManager;
}

class PostProcessesManager {
  public:
    // One row of the catalogue: the effect made ready for the given catalogue index.
    using CatalogueEntry = std::function<std::unique_ptr<PostProcess>(int32_t index)>;

    // Made on first use over catalogueEntries().
    static PostProcessesManager& sharedPostProcessesManager();
    // The program's catalogue rows, in order.
    static const std::vector<CatalogueEntry>& catalogueEntries();

    // Creates the shared gaussian kernel table, then one effect per row with its position as
    // index, then loads the favourite marks.
    explicit PostProcessesManager(const std::vector<CatalogueEntry>& entries);
    ~PostProcessesManager();
    PostProcessesManager(const PostProcessesManager&) = delete;
    PostProcessesManager& operator=(const PostProcessesManager&) = delete;

    const std::vector<std::unique_ptr<PostProcess>>& postProcesses() const { return _postProcesses; }
    // The catalogue without frame effects, in order.
    std::vector<PostProcess*> nonFrameProcesses() const;
    // The effect of that display name, or null. Text up to and including the first "." is
    // dropped first, so "12.Old TV" finds "Old TV" (and "Old TV.jpg" looks for "jpg").
    PostProcess* postProcessWithName(const std::string& name) const;
    // Each effect's mark from the user defaults (its display name + "_fav"; absent is off).
    void loadFavorites();

    static coreimage::ImagePtr scaledImageFromImage(const coreimage::ImagePtr& image, double scale);

    // ---- Plain state of rendering and of the thumbnail queue ----

    const graphics::ImagePtr& imagePreviewSource() const { return _imagePreviewSource; }
    void setImagePreviewSource(graphics::ImagePtr image) { _imagePreviewSource = std::move(image); }
    // The limits of queued thumbnails: 7 until the browser sets them.
    uint64_t maxCountEffects() const { return _maxCountEffects; }
    uint64_t maxCountPresets() const { return _maxCountPresets; }
    // Kept for callers; nothing reads it.
    PostProcess* superFilter() const { return m_superFilter; }
    void setSuperFilter(PostProcess* effect) { m_superFilter = effect; }
    const coreimage::ImagePtr& recentMask() const { return _recentMask; }
    void setRecentMask(coreimage::ImagePtr mask) { _recentMask = std::move(mask); }
    bool generateWithoutMask() const { return _generateWithoutMask; }
    void setGenerateWithoutMask(bool on) { _generateWithoutMask = on; }
    // Not owned: the editor's.
    foundation::UndoManager* undoManager() const { return _undoManager; }
    void setUndoManager(foundation::UndoManager* undoManager) { _undoManager = undoManager; }

  private:
    std::vector<std::unique_ptr<PostProcess>> _postProcesses;
    graphics::ImagePtr _imagePreviewSource;
    uint64_t _maxCountEffects = 7;
    uint64_t _maxCountPresets = 7;
    PostProcess* m_superFilter = nullptr;
    coreimage::ImagePtr _recentMask;
    bool _generateWithoutMask = false;
    foundation::UndoManager* _undoManager = nullptr;
};
