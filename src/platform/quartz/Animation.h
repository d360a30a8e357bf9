#pragma once
// What every animation has: timing, fill and removal, and a delegate. A layer keeps its own copy
// of an animation it is given, so changing the original afterwards changes nothing on screen.
#include "platform/quartz/LayerValues.h"
#include "platform/quartz/TimingFunction.h"

#include <memory>
#include <optional>

namespace quartz {

class AnimationDelegate;

class Animation {
  public:
    virtual ~Animation() = default;
    virtual std::shared_ptr<Animation> copy() const = 0;

    // Zero takes the default of a quarter second when added (the group's duration inside a group).
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds; }
    // On the clock; zero starts the animation when it is added. Inside a group: seconds after
    // the group's start.
    double beginTime() const { return beginTime_; }
    void setBeginTime(double time) { beginTime_ = time; }
    const TimingFunction& timingFunction() const { return timing_; }
    void setTimingFunction(const TimingFunction& timing) { timing_ = timing; }
    // Holds the end values once the animation has run out, for as long as it stays on the layer.
    bool fillsForwards() const { return fillsForwards_; }
    void setFillsForwards(bool fills) { fillsForwards_ = fills; }
    bool isRemovedOnCompletion() const { return removedOnCompletion_; }
    void setRemovedOnCompletion(bool removed) { removedOnCompletion_ = removed; }
    AnimationDelegate* delegate() const { return delegate_; }
    void setDelegate(AnimationDelegate* delegate) { delegate_ = delegate; }

    // Changes `values` as the animation shows them `t` seconds after its start. `holdEnd` holds
    // the end values past the end even without fill (a filled group at its own end).
    virtual void apply(double t, LayerValues& values, bool holdEnd = false) const = 0;

    // Gives a zero duration its default; a layer does this to its copy when the animation is added.
    virtual void settleDuration(double defaultDuration) {
        if (duration_ <= 0) duration_ = defaultDuration;
    }

  protected:
    // Paced progress at `t`, or none when the animation shows nothing then.
    std::optional<double> progressAt(double t, bool holdEnd) const;

  private:
    double duration_ = 0;
    double beginTime_ = 0;
    TimingFunction timing_ = TimingFunction::linear();
    bool fillsForwards_ = false;
    bool removedOnCompletion_ = true;
    AnimationDelegate* delegate_ = nullptr;
};

// A quarter second, as an animation or transaction without a duration runs.
inline constexpr double kDefaultAnimationDuration = 0.25;

} // namespace quartz
