#pragma once
// What the effect browser asks of the editor window that owns it. The editor implements it; the
// browser keeps a plain pointer and never owns it.
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>

class CustomPreset;
class PostProcess;

class SelectPostProcessViewControllerOwner {
  public:
    virtual ~SelectPostProcessViewControllerOwner() = default;
    // The working image; without one the strip has no columns.
    virtual graphics::ImagePtr image() const = 0;
    // After the browser registered an undo step of its own.
    virtual void validateUndoRedoButtonsState() = 0;
    // Before the browser shows another tab (0 Effects, 1 Frames, 2 Presets).
    virtual void newTabSelected(int32_t tab) = 0;
    // Tool numbers as the editor has them; 0 is the effect browser.
    virtual void setTool(int32_t tool) = 0;
    // The frame the photo shows now, or null.
    virtual PostProcess* currentFrameEffect() const = 0;

    // ---- Selection ----
    // The user chose an effect (or frame) or a preset in the strip: preview it.
    virtual void selectPostProcess(PostProcess* effect) = 0;
    virtual void selectPreset(std::shared_ptr<CustomPreset> preset) = 0;
    virtual void showEffectsSidebar() = 0;
    // The selected frame was chosen again (deselected): the frame button's own action.
    virtual void frameButtonClick() = 0;
    // ---- The image view, as the browser needs it ----
    // Next and previous do nothing while the image view is disabled.
    virtual bool imageViewIsDisabled() const = 0;
    // No preset to show: the image view drops its preview (animated).
    virtual void clearPreviewImage() = 0;
    // A selection whose effect takes a centre: the image view's crosshair cursor.
    virtual void forceCustomCursorSet() = 0;
    // After every selection step: the effect-centre spinner goes to the preview's centre, stopped,
    // its background hidden.
    virtual void stopEffectCenterProgress() = 0;
    // A click on the preview sets the effect's centre: the spinner shows, in front, turning.
    virtual void startEffectCenterProgress() = 0;
    // The effect's settings changed: render its preview again.
    virtual void slidersDidChange() = 0;
    // The strip collapsed or expanded: the space the bottom panel covers under the image view, and
    // the picture fitted to what is left.
    virtual void setImageViewBottomMargin(double margin) = 0;
    virtual void zoomImageViewToFit(bool animated) = 0;
    // The sharing window for one preset, asked by the older preset cells.
    virtual void showPresetsSharingWindowForPreset(std::shared_ptr<CustomPreset> preset) { (void)preset; }
};
