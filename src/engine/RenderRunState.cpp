#include "engine/RenderRunState.h"

bool RenderRunState::atRest(State state) {
    return state == State::Idle || state == State::Finished || state == State::Failed ||
           state == State::Cancelled;
}

bool RenderRunState::allowed(State from, State to) {
    switch (to) {
    case State::Idle:
        return false;
    case State::Finished:
    case State::Failed:
    case State::Cancelled:
        return !atRest(from);
    case State::FramePass:
        return atRest(from) || from == State::Render || from == State::PresetRender;
    default:
        return atRest(from);
    }
}

bool RenderRunState::moveTo(State next) {
    if (!allowed(_state, next)) return false;
    _state = next;
    return true;
}
