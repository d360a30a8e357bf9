#include "platform/coreimage/Filter.h"

#include "platform/coreimage/BuiltinFilters.h"
#include "platform/coreimage/FilterRegistry.h"

namespace coreimage {

namespace {
constexpr char kOutputImage[] = "outputImage";
}

Filter::Filter(std::string name, FilterAttributes classAttributes)
    : name_(std::move(name)), classAttributes_(std::move(classAttributes)) {
    if (classAttributes_.displayName.empty()) classAttributes_.displayName = name_;
}

FilterPtr Filter::filterWithName(const std::string& name) {
    FilterPtr filter = makeBuiltinFilter(name);
    if (!filter) {
        auto entry = FilterRegistry::entryNamed(name);
        if (!entry) return nullptr;
        filter = entry->constructor(name);
        if (!filter) return nullptr;
        filter->classAttributes_ = std::move(entry->classAttributes);
        if (filter->classAttributes_.displayName.empty()) filter->classAttributes_.displayName = name;
    }
    filter->setDefaults();
    return filter;
}

void Filter::setDefaults() {
    for (const auto& [key, input] : attributes().inputs)
        if (!std::holds_alternative<std::monostate>(input.defaultValue)) inputs_[key] = input.defaultValue;
}

void Filter::setValue(const std::string& key, FilterValue value) {
    if (key == kOutputImage) return;
    if (std::holds_alternative<std::monostate>(value))
        inputs_.erase(key);
    else
        inputs_[key] = std::move(value);
}

FilterValue Filter::value(const std::string& key) const {
    if (key == kOutputImage) {
        ImagePtr output = outputImage();
        return output ? FilterValue(std::move(output)) : FilterValue();
    }
    const auto it = inputs_.find(key);
    return it == inputs_.end() ? FilterValue() : it->second;
}

FilterAttributes Filter::attributes() const {
    FilterAttributes all = classAttributes_;
    for (auto& [key, input] : customAttributes())
        all.inputs[key] = std::move(input);
    return all;
}

std::vector<std::string> Filter::inputKeys() const {
    std::vector<std::string> keys;
    for (const auto& [key, input] : attributes().inputs)
        keys.push_back(key);
    return keys;
}

} // namespace coreimage
