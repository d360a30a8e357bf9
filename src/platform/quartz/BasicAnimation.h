#pragma once
// One key path from a value to a value. Key paths: "opacity" (number), "position" (point),
// "bounds" (rectangle), "transform" (affine transform) and "transform.rotation" (radians, the
// turn of the layer's transform with its other parts kept). A missing from or to value is the
// value the layer would show without this animation.
#include "platform/quartz/Animation.h"
#include "platform/quartz/AnimationValue.h"

#include <optional>
#include <string>

namespace quartz {

class BasicAnimation : public Animation {
  public:
    explicit BasicAnimation(std::string keyPath) : keyPath_(std::move(keyPath)) {}

    const std::string& keyPath() const { return keyPath_; }
    const std::optional<AnimationValue>& fromValue() const { return from_; }
    void setFromValue(std::optional<AnimationValue> value) { from_ = std::move(value); }
    const std::optional<AnimationValue>& toValue() const { return to_; }
    void setToValue(std::optional<AnimationValue> value) { to_ = std::move(value); }

    std::shared_ptr<Animation> copy() const override { return std::make_shared<BasicAnimation>(*this); }
    void apply(double t, LayerValues& values, bool holdEnd = false) const override;

  private:
    std::string keyPath_;
    std::optional<AnimationValue> from_, to_;
};

} // namespace quartz
