#pragma once
// What a multi-handle slider tells its owner. Every message is optional: the default does nothing.
#include <cstdint>

class DSSUISlider;

class DSSUISliderDelegate {
  public:
    virtual ~DSSUISliderDelegate() = default;
    // A handle move reported after the mouse went up.
    virtual void valueDidChangedForButtonWithIndex(DSSUISlider*, uint64_t) {}
    // A drag ended by `drag_end`.
    virtual void dragDidEndForButtonWithIndex(DSSUISlider*, uint64_t) {}
    // Handle 0 or 1 is moving.
    virtual void valueIsChangingForButtonAtIndex(DSSUISlider*, uint64_t) {}
};
