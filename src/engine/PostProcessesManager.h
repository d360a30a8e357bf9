#pragma once

// The one owner of every effect the user can pick: the catalogue, built once in a fixed order,
// each effect's index being its position. The editor, the browser and the presets find effects
// here by position or by display name. Main thread only, except the first call of the shared
// instance, which may come from any thread.
//
// It also runs effects (PostProcessesManagerRendering.cpp): thumbnails for the browser from a
// bounded queue, previews and full-size results of an effect or a preset for the editor, each
// blended through the user's mask and followed by the editor's frame as a second pass. One run at
// a time on a worker thread: every start first cancels and joins the worker before it, so the
// shared working image never has two users. Each run has a serial number; notifications of any
// other run are ignored. Results and progress go to the delegate, on the main thread.

#include "engine/ProgressSpan.h"
#include "engine/RenderRunState.h"
#include "platform/coreimage/Image.h"
#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include "platform/graphics/Point.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

class CustomPreset;
class PostProcess;
class PostProcessesManagerDelegate;
namespace foundation {
class Thread;
class UndoManager;
struct Notification;
} // namespace foundation

// Posted by setHideMask, no object and no user info.
inline constexpr const char* PostProcessesManagerHideMaskDidChange = "PostProcessesManagerHideMaskDidChange";

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
    // Each axis by its own factor.
    static coreimage::ImagePtr scaledImageFromImage(const coreimage::ImagePtr& image, double scaleX,
                                                    double scaleY);

    // ---- Thumbnail queue ----

    // An entry of the queue: it holds effects or presets, never both. Oldest first.
    using QueueEntry = std::variant<PostProcess*, std::shared_ptr<CustomPreset>>;

    // Queue an item for a thumbnail. Ignored without a source image, for null, for an item already
    // queued, and for an effect that has a thumbnail (or a thumbnail file of its own). An item of
    // the other kind empties the queue first, stopping the thumbnail being made.
    void pushEffectForGenerating(PostProcess* effect);
    void pushPresetForGenerating(std::shared_ptr<CustomPreset> preset);
    void cleanGeneratedEffectsPresets() { _stackEffects.clear(); }
    // Store the limit, then drop the oldest entries above it.
    void setMaxCountEffects(uint64_t count);
    void setMaxCountPresets(uint64_t count);
    bool isGeneratingOn() const { return _isGeneratingOn; }
    // A change stops the running effect and then starts the next thumbnail if on.
    void setGeneratingOn(bool on);
    // Starts the oldest queued item when no worker exists, generation is on and a source is set.
    void startGeneratingPreviewsIfNeaded();
    // Stops the running effect and waits for its thread to end.
    void cancelGeneratingPreview();

    const graphics::ImagePtr& originalImage() const { return _originalImage; }
    // A different image stops the runs, drops the shared working image and the mask cache, and
    // restarts the queue over the new one.
    void setOriginalImage(graphics::ImagePtr image);

    // ---- Renders, results through the delegate ----

    void generateImageForPostProcess(PostProcess* effect, bool isPreview,
                                     PostProcessesManagerDelegate* delegate);
    void generateImageForPreset(std::shared_ptr<CustomPreset> preset, bool isPreview,
                                PostProcessesManagerDelegate* delegate);
    // The frame pass: the frame effect over the given image.
    void generateImageForImage(graphics::ImagePtr image, PostProcess* frameProcess, bool isPreview,
                               PostProcessesManagerDelegate* delegate);
    // Stops a render and resumes thumbnails.
    void cancelGeneratingImage();
    // Stops every run, frees the shared working image and resumes thumbnails over the source.
    // The one safe way to drop the working image while thumbnails may be queued: a bare
    // PostProcess::global_clean() after cancelGeneratingImage() frees the picture under the
    // thumbnail that the cancel restarted.
    void cleanWorkingImage();

    // ---- Synchronous, on the calling thread; the caller clears the shared working image first ----

    graphics::ImagePtr getProcessedImageForPostProcess(PostProcess* effect, graphics::ImagePtr image);
    // Each runnable record in turn over the result so far; none gives image itself.
    graphics::ImagePtr getProcessedImageForPreset(const std::shared_ptr<CustomPreset>& preset,
                                                  graphics::ImagePtr image);
    // One picture of a batch: stops every run, leaves thumbnails off (cleanWorkingImage() resumes
    // them when the batch is done), frees the working image, then the preset's result if there
    // is a preset, else the effect's, else image itself.
    graphics::ImagePtr getProcessedImageForBatch(PostProcess* effect,
                                                 const std::shared_ptr<CustomPreset>& preset,
                                                 graphics::ImagePtr image);
    // The frame's whole-image result over image with its first parameter set to frameParametr.
    graphics::ImagePtr getFramedImageForPPFrame(PostProcess* frame, double frameParametr,
                                                graphics::ImagePtr image);

    // ---- Mask: a full-size opaque grey image, white where the effect shows ----

    const coreimage::ImagePtr& mask() const { return _mask; }
    // A different mask shows the mask, registers its undo with the delegate's undo manager, posts
    // UndoManagerStackChanged and clears every non-frame effect's thumbnail.
    void setMask(coreimage::ImagePtr mask);
    bool hideMask() const { return _hideMask; }
    // A change registers its undo with undoManager() and posts UndoManagerStackChanged, then
    // PostProcessesManagerHideMaskDidChange.
    void setHideMask(bool hide);
    // The source image at each result size the mask blend has met, keyed "{width, height}".
    const std::map<std::string, coreimage::ImagePtr>& maskCashedProperties() const {
        return _maskCashedProperties;
    }

    // ---- Plain state of rendering and of the thumbnail queue ----

    PostProcessesManagerDelegate* delegate() const { return _delegate; }
    void setDelegate(PostProcessesManagerDelegate* delegate) { _delegate = delegate; }
    const std::vector<QueueEntry>& stackEffects() const { return _stackEffects; }
    PostProcess* currentPostProcess() const { return _currentPP; }
    RenderRunState::State runState() const { return _run.state(); }
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
    // A preset record whose effect the catalogue has.
    struct PresetStep {
        PostProcess* effect;
        const foundation::Dictionary* record;
    };

    void startObservingRuns();
    void stopRuns();
    void checkMaxCount();
    void removeFromQueue(const QueueEntry& entry);
    // Starts the effect's process() on a new worker under a new serial number.
    void startRun(PostProcess* effect);
    // Every change of _run goes through here: a refused transition is a fault of this class.
    void enter(RenderRunState::State state);
    // The end of the run under way: Finished with a result, else Failed.
    void endRun(bool hasResult);
    // A full-size run may have replaced the working image.
    bool runsFullSize() const;
    // The 80/20 split of a full-size render's bar between its main run and its frame pass.
    void splitProgressForFrame(bool split);
    // 0 thumbnail (small preview buffer), 1 preview (preview buffer), 2 full size.
    int32_t presetKind() const;
    // Before a run over the source: a working image left by a full-size result, or built from
    // another picture, gives way to the source's own pixels.
    void useSourceAsWorkingImage();
    // Joins the worker and forgets it, without the clean-up of a cancel.
    void releaseWorker();
    // The notification's run when it is the awaited one, else 0.
    int64_t runOf(const foundation::Notification& notification) const;
    void runEnded(const foundation::Notification& notification, bool failed);
    void processFinish(graphics::ImagePtr result, bool failed);
    void processDoneGeneratePresetStep(graphics::ImagePtr result, bool failed);
    void progressDidChange(const foundation::Notification& notification);
    void previewGeneretingForSelectedPreset();
    // Steps 3-6 of a chain with its result; null when the chain failed.
    void finishSelectedPreset(graphics::ImagePtr result);
    void abandonSelectedPreset();
    // A render replaced or cancelled during its frame pass must not hand its kept image and
    // effect to the next one's finish.
    void forgetFramePass();
    // Generation off, the running effect stopped, no render pending.
    void stopEveryRun();
    std::vector<PresetStep> runnableSteps(const CustomPreset& preset);
    void applyRecord(PostProcess* effect, const foundation::Dictionary& record);
    void restoreSavedValues(PostProcess* effect);
    // Gives the frame's first parameter the delegate's value, keeping the old one to give back.
    void setFrameParametr(PostProcess* frame);
    void leavePreviewOfCurrentEffect(PostProcess* next, bool isPreview);
    graphics::ImagePtr blendWithMask(const graphics::ImagePtr& result);
    PostProcess* currentFrameEffect() const;
    bool isInCatalogue(const PostProcess* effect) const;

    std::vector<std::unique_ptr<PostProcess>> _postProcesses;
    PostProcessesManagerDelegate* _delegate = nullptr;
    graphics::ImagePtr _originalImage;
    graphics::ImagePtr _imagePreviewSource;
    uint64_t _maxCountEffects = 7;
    uint64_t _maxCountPresets = 7;
    bool _isGeneratingOn = false;
    bool _isForPresetsGenarating = false;
    bool _isPreviewMode = false;
    RenderRunState _run;
    std::unique_ptr<foundation::Thread> _progress;
    int64_t _runSerial = 0;
    int64_t _awaitedRun = 0; // the run whose end is awaited; 0 when none
    PostProcess* _currentPP = nullptr;
    std::shared_ptr<CustomPreset> _currentPreset;
    std::vector<PresetStep> _presetSteps;
    uint64_t _generatingIndex = 0;
    // Only what a preset step or a frame pass actually overrode is given back.
    std::optional<double> _savedParam1;
    std::optional<double> _savedParam2;
    std::optional<graphics::Point> _savedEffectCenter;
    PostProcess* m_superFilter = nullptr;
    // Where a full-size render's main run and its frame pass show on the bar: 80/20 when a frame
    // follows. Set by full-size renders only; previews and thumbnails report no progress.
    ProgressSpan _mainRunSpan;
    ProgressSpan _framePassSpan;
    graphics::ImagePtr _beforeFrameResult;
    PostProcess* _beforeFrameProcess = nullptr;
    coreimage::ImagePtr _recentMask;
    coreimage::ImagePtr _mask;
    std::map<std::string, coreimage::ImagePtr> _maskCashedProperties;
    bool _generateWithoutMask = false;
    bool _hideMask = false;
    foundation::UndoManager* _undoManager = nullptr;
    std::vector<QueueEntry> _stackEffects;
    std::set<std::string> _reportedUnknownEffects;
};
