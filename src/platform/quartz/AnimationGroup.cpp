#include "platform/quartz/AnimationGroup.h"

namespace quartz {

AnimationGroup::AnimationGroup(const AnimationGroup& other) : Animation(other) {
    setAnimations(other.animations_);
}

AnimationGroup& AnimationGroup::operator=(const AnimationGroup& other) {
    if (this != &other) {
        Animation::operator=(other);
        setAnimations(other.animations_);
    }
    return *this;
}

void AnimationGroup::setAnimations(const std::vector<std::shared_ptr<Animation>>& animations) {
    animations_.clear();
    for (const auto& animation : animations)
        if (animation) animations_.push_back(animation->copy());
}

void AnimationGroup::settleDuration(double defaultDuration) {
    Animation::settleDuration(defaultDuration);
    for (const auto& child : animations_)
        child->settleDuration(duration());
}

void AnimationGroup::apply(double t, LayerValues& values, bool holdEnd) const {
    const std::optional<double> progress = progressAt(t, holdEnd);
    if (!progress) return;
    const double groupEnd = duration();
    const double local = *progress * groupEnd;
    const bool atEnd = t >= groupEnd;
    for (const auto& child : animations_) {
        // A child running to the group's end holds its end while the filled group does.
        const bool hold = atEnd && child->beginTime() + child->duration() >= groupEnd;
        child->apply(local - child->beginTime(), values, hold);
    }
}

} // namespace quartz
