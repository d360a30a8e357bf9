#pragma once
// A filter by name: string-keyed inputs in, a lazy output image out. Besides the built-in
// filters ("CIColorMatrix", "CIAffineTransform", "CICrop", "CIBlendWithMask",
// "CISourceInCompositing", "CISourceOverCompositing", "CIConstantColorGenerator",
// "CIColorInvert", "CIPixellate"), any name registered with FilterRegistry can be made.
// Custom filters derive from Filter, read their inputs with value() and build their output,
// usually by applying a Kernel. A filter belongs to one thread at a time; its output images
// are independent of it and may go anywhere.
#include "platform/coreimage/FilterAttributes.h"
#include "platform/coreimage/FilterValue.h"
#include "platform/coreimage/Image.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace coreimage {

class Filter;
using FilterPtr = std::shared_ptr<Filter>;

class Filter {
  public:
    virtual ~Filter() = default;
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    // A new filter of the built-in or registered name with its defaults set; null for a name
    // that is neither (or a registered constructor that answers null).
    static FilterPtr filterWithName(const std::string& name);

    const std::string& name() const { return name_; }

    // Every input that has a default in attributes() takes it.
    void setDefaults();
    // Sets an input; an empty value removes it. "outputImage" is not an input and is ignored.
    void setValue(const std::string& key, FilterValue value);
    // The input, or the output image for "outputImage"; nothing when not set.
    FilterValue value(const std::string& key) const;

    // Null when a required input is missing or of the wrong kind.
    virtual ImagePtr outputImage() const = 0;

    // The class attributes (display name, categories, inputs) with customAttributes() merged
    // into the inputs.
    FilterAttributes attributes() const;
    // The names of the inputs in attributes(), sorted.
    std::vector<std::string> inputKeys() const;
    // Per-input attributes a custom filter adds.
    virtual std::map<std::string, InputAttributes> customAttributes() const { return {}; }

  protected:
    explicit Filter(std::string name, FilterAttributes classAttributes = {});

  private:
    std::string name_;
    FilterAttributes classAttributes_;
    std::map<std::string, FilterValue> inputs_;
};

} // namespace coreimage
