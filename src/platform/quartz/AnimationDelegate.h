#pragma once
// Told when an animation added to a layer starts and when it stops. `finished` is false when
// the animation was removed, replaced on its key or went with its layer before its end; every
// added animation stops exactly once. Never owned by the animation.
namespace quartz {

class Animation;

class AnimationDelegate {
  public:
    virtual ~AnimationDelegate() = default;
    virtual void animationDidStart(Animation* animation) { (void)animation; }
    virtual void animationDidStop(Animation* animation, bool finished) = 0;
};

} // namespace quartz
