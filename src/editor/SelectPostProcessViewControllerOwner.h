#pragma once
// What the effect browser asks of the editor window that owns it. The editor implements it; the
// browser keeps a plain pointer and never owns it.
#include "platform/graphics/Image.h"

#include <cstdint>

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
};
