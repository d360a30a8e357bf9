// The run machinery of the manager: thumbnail queue, renders, preset chains, frame pass, mask.
#include "engine/PostProcessesManager.h"

#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "platform/coreimage/Context.h"
#include "platform/coreimage/Filter.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UndoManager.h"

#include "platform/foundation/MainQueue.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

namespace {

std::optional<double> recordNumber(const foundation::Dictionary& record, const char* key) {
    const auto it = record.find(key);
    return it == record.end() ? std::nullopt : it->second.getDouble();
}

void post(const char* name) {
    foundation::NotificationCenter::defaultCenter().postNotificationName(name);
}

// The manager's state and the shared working image have no lock: every entry point the editor
// uses runs on the main thread.
void assertMainThread() {
    assert(foundation::MainQueue::isMainThread());
}

} // namespace

// ---- Runs and their notifications ----

void PostProcessesManager::startObservingRuns() {
    foundation::NotificationCenter& center = foundation::NotificationCenter::defaultCenter();
    center.addObserver(this, "EndProcess", nullptr,
                       [this](const foundation::Notification& n) { runEnded(n, false); });
    // A run that could not produce anything ends like one without a result, so nothing waits.
    center.addObserver(this, "ProcessFailed", nullptr,
                       [this](const foundation::Notification& n) { runEnded(n, true); });
    center.addObserver(this, "progressChanged", nullptr,
                       [this](const foundation::Notification& n) { progressDidChange(n); });
}

void PostProcessesManager::stopRuns() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    releaseWorker();
}

void PostProcessesManager::startRun(PostProcess* effect) {
    releaseWorker();
    _awaitedRun = ++_runSerial;
    const int64_t id = _awaitedRun;
    _progress =
        std::make_unique<foundation::Thread>([effect, id] { effect->process(foundation::Value(id)); });
}

void PostProcessesManager::enter(RenderRunState::State state) {
    const bool allowed = _run.moveTo(state);
    assert(allowed);
    (void)allowed;
}

void PostProcessesManager::endRun(bool hasResult) {
    enter(hasResult ? RenderRunState::State::Finished : RenderRunState::State::Failed);
}

bool PostProcessesManager::runsFullSize() const {
    using State = RenderRunState::State;
    return !_isPreviewMode &&
           (_run.is(State::Render) || _run.is(State::PresetRender) || _run.is(State::FramePass));
}

int32_t PostProcessesManager::presetKind() const {
    return _run.is(RenderRunState::State::PresetThumbnail) ? 0 : _isPreviewMode ? 1 : 2;
}

void PostProcessesManager::useSourceAsWorkingImage() {
    if (!PostProcess::restore_source(_originalImage)) PostProcess::global_clean();
}

void PostProcessesManager::splitProgressForFrame(bool split) {
    _mainRunSpan = split ? ProgressSpan(0, 80) : ProgressSpan();
    _framePassSpan = split ? ProgressSpan(80, 100) : ProgressSpan();
}

void PostProcessesManager::releaseWorker() {
    if (!_progress) return;
    _progress->cancel();
    _progress->join();
    _progress.reset();
}

int64_t PostProcessesManager::runOf(const foundation::Notification& notification) const {
    const foundation::Value* id = notification.userInfo.find("RunID");
    const int64_t run = id ? id->getInt64().value_or(0) : 0;
    return run != 0 && run == _awaitedRun ? run : 0;
}

void PostProcessesManager::runEnded(const foundation::Notification& notification, bool failed) {
    if (!runOf(notification) || notification.object.identity() != _currentPP) return;
    _awaitedRun = 0;
    graphics::ImagePtr result;
    if (const foundation::Value* image = notification.userInfo.find("ResultImage"))
        result = image->getObject<const graphics::Image>("Image");
    if (_run.presetChain())
        processDoneGeneratePresetStep(std::move(result), failed);
    else
        processFinish(std::move(result), failed);
}

void PostProcessesManager::progressDidChange(const foundation::Notification& notification) {
    const std::optional<int64_t> percent = notification.object.getInt64();
    if (!runOf(notification) || !_currentPP || !percent || !_delegate) return;
    int64_t value = *percent;
    // A preset's frame pass still counts as the chain's first share, as it always has.
    if (_currentPreset && !_presetSteps.empty())
        value = ProgressSpan().child(_generatingIndex, _presetSteps.size()).at(double(value));
    value = (_run.is(RenderRunState::State::FramePass) ? _framePassSpan : _mainRunSpan).at(double(value));
    _delegate->didChangedProgress(*this, value);
}

PostProcess* PostProcessesManager::currentFrameEffect() const {
    return _delegate ? _delegate->currentFrameEffect() : nullptr;
}

bool PostProcessesManager::isInCatalogue(const PostProcess* effect) const {
    return std::any_of(_postProcesses.begin(), _postProcesses.end(),
                       [effect](const auto& e) { return e.get() == effect; });
}

// ---- Thumbnail queue ----

void PostProcessesManager::pushEffectForGenerating(PostProcess* effect) {
    assertMainThread();
    if (_isForPresetsGenarating) {
        if (_isGeneratingOn) {
            cancelGeneratingPreview();
            _currentPP = nullptr;
            _currentPreset = nullptr;
        }
        _stackEffects.clear();
    }
    _isForPresetsGenarating = false;
    if (!effect || effect->has_custom_preview_file() || effect->previewImage() || !_originalImage) return;
    if (std::find(_stackEffects.begin(), _stackEffects.end(), QueueEntry(effect)) != _stackEffects.end())
        return;
    _stackEffects.emplace_back(effect);
    checkMaxCount();
    startGeneratingPreviewsIfNeaded();
}

void PostProcessesManager::pushPresetForGenerating(std::shared_ptr<CustomPreset> preset) {
    assertMainThread();
    if (!_isForPresetsGenarating) {
        if (_isGeneratingOn) {
            cancelGeneratingPreview();
            _currentPP = nullptr;
            _currentPreset = nullptr;
        }
        _stackEffects.clear();
    }
    _isForPresetsGenarating = true;
    if (!preset || preset->previewImage() || !_originalImage) return;
    const QueueEntry entry(preset);
    if (std::find(_stackEffects.begin(), _stackEffects.end(), entry) != _stackEffects.end()) return;
    _stackEffects.push_back(entry);
    checkMaxCount();
    startGeneratingPreviewsIfNeaded();
}

void PostProcessesManager::setMaxCountEffects(uint64_t count) {
    _maxCountEffects = count;
    checkMaxCount();
}

void PostProcessesManager::setMaxCountPresets(uint64_t count) {
    _maxCountPresets = count;
    checkMaxCount();
}

void PostProcessesManager::checkMaxCount() {
    const uint64_t limit = _isForPresetsGenarating ? _maxCountPresets : _maxCountEffects;
    if (_stackEffects.size() > limit)
        _stackEffects.erase(_stackEffects.begin(), _stackEffects.end() - std::ptrdiff_t(limit));
}

void PostProcessesManager::removeFromQueue(const QueueEntry& entry) {
    std::erase(_stackEffects, entry);
}

void PostProcessesManager::setGeneratingOn(bool on) {
    assertMainThread();
    if (on == _isGeneratingOn) return;
    _isGeneratingOn = on;
    cancelGeneratingPreview();
    startGeneratingPreviewsIfNeaded();
}

void PostProcessesManager::startGeneratingPreviewsIfNeaded() {
    if (_progress || !_isGeneratingOn || _stackEffects.empty() || !_originalImage) return;
    cancelGeneratingPreview();
    useSourceAsWorkingImage();
    if (_isForPresetsGenarating) {
        _currentPreset = std::get<std::shared_ptr<CustomPreset>>(_stackEffects.front());
        _generatingIndex = 0;
        enter(RenderRunState::State::PresetThumbnail);
        _imagePreviewSource = _originalImage;
        previewGeneretingForSelectedPreset();
        return;
    }
    if (_currentPP) {
        _currentPP->freeMemory();
        _currentPP->on_preview_exit();
    }
    PostProcess* effect = std::get<PostProcess*>(_stackEffects.front());
    _currentPP = effect;
    effect->prepare(_originalImage);
    effect->set_preview_mode(true);
    effect->setIsSmallPreview(true);
    effect->set_silent_mode(true);
    enter(RenderRunState::State::Thumbnail);
    startRun(effect);
}

void PostProcessesManager::cancelGeneratingPreview() {
    if (!_progress) return;
    const bool interrupted = _awaitedRun != 0;
    const bool fullSize = interrupted && runsFullSize();
    // Joined before anything below touches the working image: the run may not have reached its
    // lock yet when it was cancelled.
    releaseWorker();
    _awaitedRun = 0;
    if (_currentPP) {
        _currentPP->freeMemory();
        // A preset step or a frame pass cut short must not leave its borrowed values behind.
        if (interrupted) restoreSavedValues(_currentPP);
    }
    // A full-size run may have installed its output before the cancel reached it; later previews
    // must start again from the source image.
    if (fullSize || (_currentPreset && _generatingIndex != 0)) PostProcess::global_clean();
    if (interrupted) enter(RenderRunState::State::Cancelled);
    _generatingIndex = 0;
}

void PostProcessesManager::setOriginalImage(graphics::ImagePtr image) {
    assertMainThread();
    if (image == _originalImage) return;
    cancelGeneratingPreview();
    setGeneratingOn(false);
    PostProcess::global_clean();
    _originalImage = std::move(image);
    _maskCashedProperties.clear();
    setGeneratingOn(true);
}

// ---- Renders ----

void PostProcessesManager::leavePreviewOfCurrentEffect(PostProcess* next, bool isPreview) {
    if (_isPreviewMode && next == _currentPP) return;
    if (_currentPP) _currentPP->on_preview_exit();
    if (isPreview) next->on_preview_entered();
}

void PostProcessesManager::generateImageForPostProcess(PostProcess* effect, bool isPreview,
                                                       PostProcessesManagerDelegate* delegate) {
    assertMainThread();
    if (!effect) return;
    forgetFramePass();
    setGeneratingOn(false);
    _delegate = delegate;
    cancelGeneratingPreview();
    leavePreviewOfCurrentEffect(effect, isPreview);
    if (_currentPP) _currentPP->freeMemory();
    _isPreviewMode = isPreview;
    _currentPP = effect;
    _currentPreset = nullptr;
    useSourceAsWorkingImage();
    effect->prepare(_originalImage);
    effect->set_preview_mode(isPreview);
    effect->set_silent_mode(isPreview);
    effect->setIsSmallPreview(false);
    if (!isPreview) splitProgressForFrame(currentFrameEffect() && !effect->isFrame());
    enter(RenderRunState::State::Render);
    startRun(effect);
}

void PostProcessesManager::generateImageForImage(graphics::ImagePtr image, PostProcess* frameProcess,
                                                 bool isPreview, PostProcessesManagerDelegate* delegate) {
    assertMainThread();
    if (!frameProcess) return;
    setGeneratingOn(false);
    _delegate = delegate;
    cancelGeneratingPreview();
    leavePreviewOfCurrentEffect(frameProcess, isPreview);
    if (_currentPP) _currentPP->freeMemory();
    _isPreviewMode = isPreview;
    _currentPP = frameProcess;
    _currentPreset = nullptr;
    frameProcess->prepare(std::move(image));
    frameProcess->set_preview_mode(isPreview);
    frameProcess->set_silent_mode(isPreview);
    if (isPreview) frameProcess->setIsSmallPreview(false);
    enter(RenderRunState::State::FramePass);
    startRun(frameProcess);
}

void PostProcessesManager::generateImageForPreset(std::shared_ptr<CustomPreset> preset, bool isPreview,
                                                  PostProcessesManagerDelegate* delegate) {
    assertMainThread();
    if (!preset) return;
    forgetFramePass();
    setGeneratingOn(false);
    _delegate = delegate;
    cancelGeneratingPreview();
    if (_currentPP) {
        _currentPP->on_preview_exit();
        _currentPP->freeMemory();
    }
    _currentPP = nullptr;
    _isPreviewMode = isPreview;
    _currentPreset = std::move(preset);
    _generatingIndex = 0;
    if (!isPreview) splitProgressForFrame(currentFrameEffect() != nullptr);
    useSourceAsWorkingImage();
    enter(RenderRunState::State::PresetRender);
    _imagePreviewSource = _originalImage;
    previewGeneretingForSelectedPreset();
}

void PostProcessesManager::cancelGeneratingImage() {
    assertMainThread();
    cancelGeneratingPreview();
    forgetFramePass();
    setGeneratingOn(true);
    if (_currentPP && !isInCatalogue(_currentPP)) _currentPP = nullptr;
}

void PostProcessesManager::cleanWorkingImage() {
    assertMainThread();
    // Generation off first: turning it on before the clean would start a queued thumbnail over
    // the picture the clean is about to free.
    stopEveryRun();
    PostProcess::global_clean();
    setGeneratingOn(true);
}

void PostProcessesManager::stopEveryRun() {
    setGeneratingOn(false);
    cancelGeneratingPreview();
    forgetFramePass();
    if (_currentPP && !isInCatalogue(_currentPP)) _currentPP = nullptr;
}

void PostProcessesManager::forgetFramePass() {
    _beforeFrameResult = nullptr;
    _beforeFrameProcess = nullptr;
}

// ---- Ends of runs ----

void PostProcessesManager::processFinish(graphics::ImagePtr result, bool failed) {
    PostProcess* effect = _currentPP;
    const bool preview = _isPreviewMode;
    const bool thumbnail = _run.is(RenderRunState::State::Thumbnail);
    const bool framePass = _run.is(RenderRunState::State::FramePass);
    if (!result && !failed)
        result = PostProcess::resultImageFromCurrentDataType(thumbnail ? 2 : (preview ? 1 : 0));
    if (result && !effect->isFrame() && _mask && !_generateWithoutMask && !_hideMask)
        result = blendWithMask(result);

    PostProcess* frame = nullptr;
    if (thumbnail) {
        endRun(result != nullptr);
        removeFromQueue(effect);
        if (result) effect->setPreviewImage(result);
        cancelGeneratingPreview();
        _currentPP = nullptr;
    } else if (_currentPreset) {
        // The end of a preset's frame pass. The preset already has its unframed thumbnail; the
        // frame keeps its own. All state is settled before the delegate hears of it.
        endRun(result != nullptr);
        std::shared_ptr<CustomPreset> preset = std::move(_currentPreset);
        graphics::ImagePtr beforeFrame = std::move(_beforeFrameResult);
        if (framePass) restoreSavedValues(effect);
        if (preview) removeFromQueue(preset);
        if (_delegate) _delegate->finishPreset(*this, preset, result, beforeFrame, preview);
        if (preview) setGeneratingOn(true);
    } else if (result && !effect->isFrame() && (frame = currentFrameEffect())) {
        if (preview) {
            effect->setPreviewImage(result);
            removeFromQueue(effect);
        }
        _beforeFrameResult = result;
        _beforeFrameProcess = effect;
        setFrameParametr(frame);
        generateImageForImage(result, frame, preview, _delegate);
    } else {
        endRun(result != nullptr);
        PostProcess* reported = _beforeFrameProcess ? _beforeFrameProcess : effect;
        graphics::ImagePtr beforeFrame = std::move(_beforeFrameResult);
        _beforeFrameProcess = nullptr;
        if (framePass) restoreSavedValues(effect);
        if (preview) setGeneratingOn(true);
        if (_delegate) _delegate->finishPostProcess(*this, reported, result, beforeFrame, preview);
    }
    startGeneratingPreviewsIfNeaded();
}

void PostProcessesManager::setFrameParametr(PostProcess* frame) {
    if (PostProcessParameter* p = frame->param_1()) {
        _savedParam1 = p->value();
        p->setValue(_delegate->frameParametr());
    }
}

// ---- Presets ----

std::vector<PostProcessesManager::PresetStep>
PostProcessesManager::runnableSteps(const CustomPreset& preset) {
    std::vector<PresetStep> steps;
    for (const EffectRecord& record : preset.ppStackArray()) {
        const auto name = record.find(CustomPresetEffectNameKey);
        const std::string* text = name == record.end() ? nullptr : name->second.getString();
        PostProcess* effect = text ? postProcessWithName(*text) : nullptr;
        if (effect) {
            steps.push_back({effect, &record});
            continue;
        }
        // An imported preset may name an effect this catalogue lacks: its step is skipped.
        const std::string shown = text ? *text : std::string();
        if (_reportedUnknownEffects.insert(shown).second)
            std::fprintf(stderr, "Preset \"%s\": no effect named \"%s\"; that step is skipped\n",
                         preset.name().c_str(), shown.c_str());
    }
    return steps;
}

void PostProcessesManager::applyRecord(PostProcess* effect, const foundation::Dictionary& record) {
    const auto set = [&](PostProcessParameter* parameter, const char* key, std::optional<double>& saved) {
        const std::optional<double> value = recordNumber(record, key);
        if (!value || !parameter) return;
        saved = parameter->value();
        parameter->setValue(double(float(*value)));
    };
    set(effect->param_1(), CustomPresetParam1NumberValueKey, _savedParam1);
    set(effect->param_2(), CustomPresetParam2NumberValueKey, _savedParam2);
    if (!effect->isCenterSupported()) return;
    _savedEffectCenter = effect->effectCenter();
    const std::optional<double> x = recordNumber(record, CustomPresetCenterEffectXValueKey);
    const std::optional<double> y = recordNumber(record, CustomPresetCenterEffectYValueKey);
    if (x && y) effect->setEffectCenter({double(float(*x)), double(float(*y))});
}

void PostProcessesManager::restoreSavedValues(PostProcess* effect) {
    if (_savedParam1 && effect->param_1()) effect->param_1()->setValue(*_savedParam1);
    if (_savedParam2 && effect->param_2()) effect->param_2()->setValue(*_savedParam2);
    if (_savedEffectCenter && effect->isCenterSupported()) effect->setEffectCenter(*_savedEffectCenter);
    _savedParam1.reset();
    _savedParam2.reset();
    _savedEffectCenter.reset();
}

void PostProcessesManager::previewGeneretingForSelectedPreset() {
    if (!_currentPreset) return;
    if (_generatingIndex != 0 && _currentPP) restoreSavedValues(_currentPP);
    if (_generatingIndex == 0) _presetSteps = runnableSteps(*_currentPreset);

    if (_generatingIndex < _presetSteps.size()) {
        const PresetStep step = _presetSteps[_generatingIndex];
        if (_currentPP) _currentPP->freeMemory();
        _currentPP = step.effect;
        applyRecord(step.effect, *step.record);
        const int32_t kind = presetKind();
        if (kind == 2) {
            step.effect->set_silent_mode(false);
            step.effect->set_preview_mode(false);
            step.effect->setIsSmallPreview(false);
        } else if (_generatingIndex == 0) {
            step.effect->set_preview_mode(true);
            step.effect->setIsSmallPreview(kind == 0);
        } else {
            // A later step runs at full size over what the step before made: its result image, the
            // preview buffer the first step wrote (made the working image here), or the working
            // image a later per-pixel step already replaced.
            step.effect->set_preview_mode(false);
            step.effect->setIsSmallPreview(false);
            if (!_imagePreviewSource && _generatingIndex == 1 &&
                !(kind == 1 ? PostProcess::updateContextForPreviewData()
                            : PostProcess::updateContextForSmallPreviewData())) {
                abandonSelectedPreset();
                return;
            }
        }
        step.effect->prepare(_imagePreviewSource);
        if (kind != 2) step.effect->set_silent_mode(true);
        startRun(step.effect);
        return;
    }

    if (!_imagePreviewSource) {
        const bool oneStep = _presetSteps.size() == 1;
        const int32_t kind = presetKind();
        _imagePreviewSource = PostProcess::resultImageFromCurrentDataType(oneStep && kind == 1   ? 1
                                                                          : oneStep && kind == 0 ? 2
                                                                                                 : 0);
    }
    _generatingIndex = 0;
    graphics::ImagePtr result = std::move(_imagePreviewSource);
    finishSelectedPreset(std::move(result));
}

void PostProcessesManager::processDoneGeneratePresetStep(graphics::ImagePtr result, bool failed) {
    releaseWorker();
    if (failed) {
        abandonSelectedPreset();
        return;
    }
    ++_generatingIndex;
    _imagePreviewSource = std::move(result);
    if (_imagePreviewSource) PostProcess::global_clean();
    previewGeneretingForSelectedPreset();
}

void PostProcessesManager::abandonSelectedPreset() {
    if (_currentPP) restoreSavedValues(_currentPP);
    _generatingIndex = 0;
    _imagePreviewSource = nullptr;
    finishSelectedPreset(nullptr);
}

void PostProcessesManager::finishSelectedPreset(graphics::ImagePtr result) {
    std::shared_ptr<CustomPreset> preset = _currentPreset;
    PostProcess::global_clean();
    if (presetKind() == 0) {
        endRun(result != nullptr);
        removeFromQueue(preset);
        if (result) {
            preset->setPreviewImage(result);
            CustomPresetsManager::sharedCustomPresetsManager().savePresets();
        }
    } else {
        const bool preview = _isPreviewMode;
        PostProcess* frame = result ? currentFrameEffect() : nullptr;
        if (!frame) endRun(result != nullptr);
        if (preview) {
            if (result) preset->setPreviewImage(result);
            removeFromQueue(preset);
        }
        if (!frame) {
            if (_delegate) _delegate->finishPreset(*this, preset, result, nullptr, preview);
            if (preview) setGeneratingOn(true);
        } else {
            _beforeFrameResult = result;
            _beforeFrameProcess = nullptr;
            setFrameParametr(frame);
            generateImageForImage(result, frame, preview, _delegate);
            _currentPreset = preset;
        }
    }
    startGeneratingPreviewsIfNeaded();
}

// ---- Synchronous ----

graphics::ImagePtr PostProcessesManager::getProcessedImageForPostProcess(PostProcess* effect,
                                                                         graphics::ImagePtr image) {
    assertMainThread();
    if (!effect) return nullptr;
    setGeneratingOn(false);
    cancelGeneratingPreview();
    leavePreviewOfCurrentEffect(effect, false);
    if (_currentPP) _currentPP->freeMemory();
    _isPreviewMode = false;
    _currentPP = effect;
    _currentPreset = nullptr;
    effect->prepare(std::move(image));
    effect->set_preview_mode(false);
    effect->set_silent_mode(false);
    graphics::ImagePtr result = effect->process();
    return result ? result : PostProcess::resultImageFromCurrentDataType(0);
}

graphics::ImagePtr
PostProcessesManager::getProcessedImageForPreset(const std::shared_ptr<CustomPreset>& preset,
                                                 graphics::ImagePtr image) {
    assertMainThread();
    if (!preset) return image;
    for (const PresetStep& step : runnableSteps(*preset)) {
        applyRecord(step.effect, *step.record);
        image = getProcessedImageForPostProcess(step.effect, std::move(image));
        restoreSavedValues(step.effect);
    }
    return image;
}

graphics::ImagePtr PostProcessesManager::getProcessedImageForBatch(
    PostProcess* effect, const std::shared_ptr<CustomPreset>& preset, graphics::ImagePtr image) {
    assertMainThread();
    stopEveryRun();
    PostProcess::global_clean();
    if (preset) return getProcessedImageForPreset(preset, std::move(image));
    if (effect) return getProcessedImageForPostProcess(effect, std::move(image));
    return image;
}

graphics::ImagePtr PostProcessesManager::getFramedImageForPPFrame(PostProcess* frame, double frameParametr,
                                                                  graphics::ImagePtr image) {
    assertMainThread();
    if (!frame) return nullptr;
    setGeneratingOn(false);
    std::optional<double> saved;
    if (PostProcessParameter* p = frame->param_1()) {
        saved = p->value();
        p->setValue(frameParametr);
    }
    frame->set_preview_mode(false);
    frame->setIsSmallPreview(false);
    frame->prepare(std::move(image));
    graphics::ImagePtr result = frame->custom_process_function();
    frame->freeMemory();
    if (saved) frame->param_1()->setValue(*saved);
    setGeneratingOn(true);
    return result;
}

// ---- Mask ----

void PostProcessesManager::setMask(coreimage::ImagePtr mask) {
    assertMainThread();
    if (mask == _mask) return;
    setHideMask(false);
    if (foundation::UndoManager* undo = _delegate ? _delegate->undoManager() : nullptr)
        undo->registerUndo(this, [this, old = _mask] { setMask(old); });
    post(UndoManagerStackChanged);
    if (_mask) _recentMask = _mask;
    _mask = std::move(mask);
    _maskCashedProperties.clear();
    for (PostProcess* effect : nonFrameProcesses())
        effect->setPreviewImage(nullptr);
}

void PostProcessesManager::setHideMask(bool hide) {
    assertMainThread();
    if (hide == _hideMask) return;
    if (_undoManager) _undoManager->registerUndo(this, [this, old = _hideMask] { setHideMask(old); });
    post(UndoManagerStackChanged);
    _hideMask = hide;
    post(PostProcessesManagerHideMaskDidChange);
}

graphics::ImagePtr PostProcessesManager::blendWithMask(const graphics::ImagePtr& result) {
    const int w = result->width(), h = result->height();
    const graphics::Rect bounds(0, 0, w, h);
    const coreimage::Context context;
    // The source at this size, made once: previews and thumbnails would resample it every time.
    coreimage::ImagePtr& background =
        _maskCashedProperties["{" + std::to_string(w) + ", " + std::to_string(h) + "}"];
    if (!background && _originalImage) {
        background = coreimage::Image::imageWithCGImage(_originalImage);
        if (_originalImage->width() != w || _originalImage->height() != h)
            background = coreimage::Image::imageWithCGImage(
                context.createCGImage(scaledImageFromImage(background, double(w) / _originalImage->width(),
                                                           double(h) / _originalImage->height()),
                                      bounds));
    }
    if (!background) return result;

    // Each axis by its own ratio: a preview's sides are rounded up separately.
    coreimage::ImagePtr mask = _mask;
    const graphics::Rect maskExtent = _mask->extent();
    if (maskExtent.size.width != w || maskExtent.size.height != h)
        mask = scaledImageFromImage(_mask, w / maskExtent.size.width, h / maskExtent.size.height);

    coreimage::FilterPtr filter = coreimage::Filter::filterWithName("CIBlendWithMask");
    filter->setValue("inputImage", coreimage::Image::imageWithCGImage(result));
    filter->setValue("inputBackgroundImage", background);
    filter->setValue("inputMaskImage", mask);
    graphics::ImagePtr blended = context.createCGImage(filter->outputImage(), bounds);
    return blended ? blended->withPointSize(result->pointSize()) : result;
}
