#pragma once

// One user-tunable value of an effect (a slider): a named double with a range, a default and a
// "changed" mark. The value is the default until it is first set; from then on the set value
// counts even when it equals the default. Nothing keeps it inside the range: the slider does.
//
// The editor sets the value on the main thread while a run of the effect may still be reading it
// on a worker thread (the run is cancelled only afterwards), so the value and the mark are atomic.
// The name and the bounds are set up on the main thread before any run.

#include "engine/LookSpec.h"

#include <atomic>
#include <memory>
#include <string>

class PostProcessParameter {
  public:
    // name: already localised by the creating effect.
    PostProcessParameter(std::string name, double minValue, double maxValue, double defaultValue);
    PostProcessParameter(const PostProcessParameter&) = delete;
    PostProcessParameter& operator=(const PostProcessParameter&) = delete;

    double min_value() const { return m_min_value; }
    double max_value() const { return m_max_value; }
    double default_value() const { return m_default_value; }

    double value() const;
    void setValue(double value); // not clamped; marks the parameter changed

    // The stored value mirrored within the range, for effects whose slider runs the other way.
    float get_inverted_value() const;

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

    std::string description() const;

  private:
    double m_min_value;
    double m_max_value;
    double m_default_value;
    std::atomic<double> m_value;
    std::atomic<bool> m_isChanged{false};
    std::string m_name;
};

// The parameter in slot, made on first request from slider (localised or literal as it says);
// a slot already filled is kept, and without a slider (null, or no key) nothing is made.
PostProcessParameter* parameterFromSlider(std::shared_ptr<PostProcessParameter>& slot,
                                          const SliderSpec* slider);
