#pragma once
// Where the manager's runs stand: one state at a time, changed only along the transitions below,
// so that a run ends exactly once and nothing starts over a run still awaited.
//
//   rest (Idle, Finished, Failed, Cancelled) -> a start (Thumbnail, PresetThumbnail, Render,
//                                               PresetRender, FramePass)
//   Render, PresetRender                     -> FramePass (the main run ended with a frame to follow)
//   a start                                  -> Finished, Failed or Cancelled
//
// A preset's steps all run within one PresetThumbnail or PresetRender.

#include <cstdint>

class RenderRunState {
  public:
    enum class State : uint8_t {
        Idle,
        Thumbnail,
        PresetThumbnail,
        Render,
        PresetRender,
        FramePass,
        Finished,
        Failed,
        Cancelled,
    };

    State state() const { return _state; }
    bool is(State state) const { return _state == state; }
    // A run or a preset's chain is under way.
    bool running() const { return !atRest(_state); }
    bool presetChain() const { return _state == State::PresetThumbnail || _state == State::PresetRender; }

    // False, with the state unchanged, for a transition the table above does not hold.
    [[nodiscard]] bool moveTo(State next);
    static bool allowed(State from, State to);

  private:
    static bool atRest(State state);

    State _state = State::Idle;
};
