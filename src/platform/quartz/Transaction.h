#pragma once
// Groups layer changes: the duration and pacing of the implicit animations that changing a
// layer in a tree starts, whether such animations start at all, and a completion block that
// runs once every animation added after it was set has stopped (on the next tick when there is
// none). Transactions nest; a setting not made in the inner one is the outer one's. A setting
// made outside any begin/commit opens an implicit transaction that commits on the next pass of
// the event loop (or the next virtual clock step).
#include "platform/quartz/TimingFunction.h"

#include <functional>
#include <memory>
#include <vector>

namespace quartz {

class Transaction {
  public:
    static void begin();
    static void commit();

    // A quarter second unless set; zero sets values without animating them.
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static TimingFunction animationTimingFunction();
    static void setAnimationTimingFunction(const TimingFunction& timing);
    static bool disableActions();
    static void setDisableActions(bool disable);
    static void setCompletionBlock(std::function<void()> block);

    // Used by layers: what an animation added now must report to when it stops.
    struct Completion;
    static std::vector<std::shared_ptr<Completion>> openCompletions();
    // Called once per stopped animation for each completion it held.
    static void release(const std::shared_ptr<Completion>& completion);
};

} // namespace quartz
