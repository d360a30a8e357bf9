#include "platform/quartz/Transaction.h"

#include "platform/quartz/Animation.h"
#include "platform/quartz/Animator.h"

#include <optional>
#include <vector>

namespace quartz {

struct Transaction::Completion {
    std::function<void()> block;
    int pending = 0;
    bool committed = false;
    bool fired = false;
};

namespace {

struct Frame {
    std::optional<double> duration;
    std::optional<TimingFunction> timing;
    std::optional<bool> disableActions;
    std::shared_ptr<Transaction::Completion> completion;
    bool implicit = false;
};

std::vector<Frame>& frames() {
    static std::vector<Frame> stack;
    return stack;
}

void fireWhenDone(const std::shared_ptr<Transaction::Completion>& completion) {
    if (!completion || completion->fired || !completion->committed || completion->pending > 0) return;
    completion->fired = true;
    if (completion->block) completion->block();
}

void commitFrame(Frame frame) {
    if (!frame.completion) return;
    frame.completion->committed = true;
    // Never inside the commit itself: the code after commit runs first, as with animations.
    if (frame.completion->pending == 0) Animator::shared().post([c = frame.completion] { fireWhenDone(c); });
}

// Where a setting goes: the innermost transaction, or an implicit one opened for it.
Frame& settingsFrame() {
    auto& stack = frames();
    if (stack.empty()) {
        stack.push_back(Frame{});
        stack.back().implicit = true;
        Animator::shared().post([] {
            auto& s = frames();
            // Commits what explicit transactions left of the implicit one.
            while (!s.empty() && s.front().implicit && s.size() == 1) {
                Frame f = std::move(s.back());
                s.pop_back();
                commitFrame(std::move(f));
            }
        });
    }
    return stack.back();
}

} // namespace

void Transaction::begin() {
    frames().push_back(Frame{});
}

void Transaction::commit() {
    auto& stack = frames();
    if (stack.empty() || (stack.size() == 1 && stack.back().implicit)) return; // unbalanced commit
    Frame frame = std::move(stack.back());
    stack.pop_back();
    commitFrame(std::move(frame));
}

double Transaction::animationDuration() {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (it->duration) return *it->duration;
    return kDefaultAnimationDuration;
}

void Transaction::setAnimationDuration(double seconds) {
    settingsFrame().duration = seconds;
}

TimingFunction Transaction::animationTimingFunction() {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (it->timing) return *it->timing;
    return TimingFunction::linear();
}

void Transaction::setAnimationTimingFunction(const TimingFunction& timing) {
    settingsFrame().timing = timing;
}

bool Transaction::disableActions() {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (it->disableActions) return *it->disableActions;
    return false;
}

void Transaction::setDisableActions(bool disable) {
    settingsFrame().disableActions = disable;
}

void Transaction::setCompletionBlock(std::function<void()> block) {
    Frame& frame = settingsFrame();
    // A block set again starts a new group; the earlier one keeps the animations it already holds.
    if (frame.completion)
        commitFrame(Frame{std::nullopt, std::nullopt, std::nullopt, frame.completion, false});
    frame.completion = std::make_shared<Completion>();
    frame.completion->block = std::move(block);
}

std::vector<std::shared_ptr<Transaction::Completion>> Transaction::openCompletions() {
    std::vector<std::shared_ptr<Completion>> open;
    for (Frame& frame : frames())
        if (frame.completion) {
            ++frame.completion->pending;
            open.push_back(frame.completion);
        }
    return open;
}

void Transaction::release(const std::shared_ptr<Completion>& completion) {
    if (!completion) return;
    --completion->pending;
    fireWhenDone(completion);
}

} // namespace quartz
