#include "engine/PostProcessParameter.h"

#include "platform/services/KXSLocalization.h"

#include <cstdio>

PostProcessParameter::PostProcessParameter(std::string name, double minValue, double maxValue,
                                           double defaultValue)
    : m_min_value(minValue), m_max_value(maxValue), m_default_value(defaultValue), m_value(defaultValue),
      m_name(std::move(name)) {}

double PostProcessParameter::value() const {
    // The acquire pairs with setValue's release: a reader that sees the mark sees the value too.
    return m_isChanged.load(std::memory_order_acquire) ? m_value.load(std::memory_order_relaxed)
                                                       : m_default_value;
}

void PostProcessParameter::setValue(double value) {
    m_value.store(value, std::memory_order_relaxed);
    m_isChanged.store(true, std::memory_order_release);
}

float PostProcessParameter::get_inverted_value() const {
    return static_cast<float>(m_max_value - m_value.load(std::memory_order_relaxed) + m_min_value);
}

std::string PostProcessParameter::description() const {
    const char* format = "\nname - %s\nmin - %f\nmax - %f\ndefault - %f\nvalue -%f\n";
    const double value = m_value.load(std::memory_order_relaxed);
    const int length =
        std::snprintf(nullptr, 0, format, m_name.c_str(), m_min_value, m_max_value, m_default_value, value);
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, m_name.c_str(), m_min_value, m_max_value,
                  m_default_value, value);
    return text;
}

PostProcessParameter* parameterFromSlider(std::shared_ptr<PostProcessParameter>& slot,
                                          const SliderSpec* slider) {
    if (slot || !slider || !slider->key) return slot.get();
    const std::string name =
        slider->literal ? slider->key : services::KXSLocalization::localizedStringForKey(slider->key, "");
    slot = std::make_shared<PostProcessParameter>(name, slider->min, slider->max, slider->def);
    return slot.get();
}
