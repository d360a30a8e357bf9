#pragma once
// Animations that run together on the group's time: each child starts at its begin time after
// the group's start and is cut off at the group's end. Only the group's delegate is told.
#include "platform/quartz/Animation.h"

#include <vector>

namespace quartz {

class AnimationGroup : public Animation {
  public:
    AnimationGroup() = default;
    AnimationGroup(const AnimationGroup& other);
    AnimationGroup& operator=(const AnimationGroup& other);

    const std::vector<std::shared_ptr<Animation>>& animations() const { return animations_; }
    // Keeps copies of the children.
    void setAnimations(const std::vector<std::shared_ptr<Animation>>& animations);

    std::shared_ptr<Animation> copy() const override { return std::make_shared<AnimationGroup>(*this); }
    void apply(double t, LayerValues& values, bool holdEnd = false) const override;
    // Children without a duration last as long as the group.
    void settleDuration(double defaultDuration) override;

  private:
    std::vector<std::shared_ptr<Animation>> animations_;
};

} // namespace quartz
